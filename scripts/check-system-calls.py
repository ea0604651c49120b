"""Fails when a kernel32 file, copy, delete, mutex or process call is made outside src/win/.

src/win/ is the one folder that reaches files, named objects and processes, so that its
path handling and its retries cover every such call. The private-profile calls belong to
src/settings/ and the directory search to src/catalogue/ (beside src/win/).
Usage: check-system-calls.py SRC_DIR
"""

import re
import sys
from pathlib import Path

ONLY_IN_WIN = """
    CreateFile ReadFile WriteFile GetFileSize GetFileSizeEx SetFilePointer SetFilePointerEx
    SetEndOfFile FlushFileBuffers LockFile LockFileEx UnlockFile CopyFile CopyFileEx MoveFile
    MoveFileEx ReplaceFile DeleteFile GetFileAttributes GetFileAttributesEx SetFileAttributes
    GetFileInformationByHandle CreateDirectory RemoveDirectory GetTempFileName GetFullPathName
    GetShortPathName GetLongPathName CreateMutex CreateMutexEx OpenMutex ReleaseMutex
    WaitForSingleObject WaitForMultipleObjects CreateEvent OpenEvent CreateSemaphore
    OpenProcess CreateProcess TerminateProcess QueryFullProcessImageName GetModuleFileName
""".split()
ONE_FOLDER = {
    "settings": "GetPrivateProfileString GetPrivateProfileInt GetPrivateProfileSection "
    "WritePrivateProfileString WritePrivateProfileSection".split(),
    "catalogue": "FindFirstFile FindFirstFileEx FindNextFile FindClose".split(),
}


def calls(names):
    # A call of the system's function (with or without its A or W), not a method or a
    # function of our own namespaces of the same name (win::ReplaceFile).
    return re.compile(r"(?<![\w:.>])(" + "|".join(names) + r")[AW]?\s*\(")


def main(src):
    src = Path(src)
    found = []
    rules = [(calls(ONLY_IN_WIN), {"win"})]
    # win/ keeps the handle owners (FindClose).
    rules += [(calls(names), {folder, "win"}) for folder, names in ONE_FOLDER.items()]
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".cpp", ".h", ".c"}:
            continue
        folder = path.relative_to(src).parts[0]
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            code = line.split("//", 1)[0]
            for pattern, allowed in rules:
                for match in pattern.finditer(code):
                    if folder not in allowed:
                        where = " or ".join(f"src/{a}/" for a in sorted(allowed))
                        found.append(f"{path}:{number}: {match[1]} belongs in {where}")
    print("\n".join(found) or "every file and process call is where it belongs")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
