"""The release as a person gets it: the zip and its checksums, and the setup program used
to install Veldana for one user, use it and remove it.

The per-user parts of the installation (Start-menu shortcut, entry in the list of
installed programs) live in the test screen's own Wine prefix, which goes with it.
"""

import getpass
import hashlib
import re
import shutil
import struct
import subprocess
import zipfile
import zlib
from pathlib import Path

import pytest

import veld
from veld import win

VERSION = re.search(r"^project\(Veldana VERSION ([0-9.]+)", (veld.ROOT / "CMakeLists.txt").read_text(), re.M)[1]
SETUP = veld.ROOT / "dist" / f"Veldana-{VERSION}-setup.exe"
ZIP = veld.ROOT / "dist" / f"Veldana-{VERSION}.zip"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veldana"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
# Windows' switch of the sign-in entry (Startup apps), and the desktop's wallpaper.
APPROVED = (r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run", "Veldana", "REG_BINARY")
WALLPAPER = (r"HKCU\Control Panel\Desktop", "Wallpaper", "REG_SZ")
SWITCHED_OFF = "03" + "00" * 11
STATE_FILES = {"veld.ini", "tmp_wallpaper.bmp", "veldstart.log"}
# Whether each stays when Veldana starts and when it is uninstalled: what an Add cut short
# left goes; what only reads so in the code page, a folder and a file held open stay.
LEFTOVERS = {"800x600/vel1A2b.TMP": False, "1024x768/velF.tmp": False, "800x600/vel12345.tmp": True,
             "800x600/velg.tmp": True, "800x600/vel\uff11.tmp": True, "800x600/vel\uff21.tmp": True,
             "800x600/vel3.tmp/": True, "1024x768/vel4.tmp": True}
HELD = "1024x768/vel4.tmp"

ACTIVE = veld.middle("CheckBox1")
SET_AS_DEFAULT = veld.middle("Label5")
ADD = veld.middle("Label7")
CLOSE = veld.middle("Label3")


def files_under(folder):
    return {p.relative_to(folder).as_posix() for p in folder.rglob("*") if p.is_file()}


def shipped_files():
    return files_under(veld.DIST) - STATE_FILES


def properties_version(program):
    """The file and product versions a program's properties show, each as a number and as text."""
    data = program.read_bytes()
    fixed = struct.unpack_from("<8H", data, data.index(b"\xbd\x04\xef\xfe") + 8)
    texts = {re.search(key.encode("utf-16-le") + rb"\0\0(?:\0\0)?((?:[^\0]\0)+)", data)[1].decode("utf-16-le")
             for key in ("FileVersion", "ProductVersion")}
    return {f"{fixed[i + 1]}.{fixed[i]}.{fixed[i + 3]}" for i in (0, 4)} | {fixed[2], fixed[6]} | texts


def stand_in(program, body, aside):
    """Puts a program whose main is body in program's place; the real one waits in aside."""
    program.rename(aside / program.name)
    subprocess.run(["x86_64-w64-mingw32-gcc", "-x", "c", "-", "-o", program], check=True,
                   input=f"#include <windows.h>\nint main(void) {{ {body} }}\n".encode())


def shortcut(env):
    programs = "AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
    return Path(env["WINEPREFIX"]) / "drive_c" / "users" / getpass.getuser() / programs / "Veldana.lnk"


class Installer:
    """setup.exe and Uninstall.exe run on a Display, without Wine's desktop menu entries."""

    def __init__(self, display, folder):
        self.display = display
        self.folder = folder
        self.env = dict(display.env, WINEDLLOVERRIDES=display.env["WINEDLLOVERRIDES"] + ";winemenubuilder.exe=d")

    def run(self, *args, wait=True):
        log = open(self.display.workdir / "installer.log", "ab")
        with log:
            process = subprocess.Popen(["wine", *map(str, args)], env=self.env, stdin=subprocess.DEVNULL,
                                       stdout=log, stderr=log)
        return process.wait(timeout=120) if wait else process

    def install(self, *switches, setup=SETUP, folder=None, code=0):
        # /D must come last and unquoted.
        assert self.run(setup, "/S", *switches, f"/D={win(folder or self.folder)}") == code

    def uninstall(self, *args, wait=True):
        """Runs Uninstall.exe as the list of programs does: it copies itself away and
        returns at once; the copy is done when it has deleted the original."""
        process = self.run(self.folder / "Uninstall.exe", *args, wait=wait)
        if wait:
            veld.wait_until(lambda: not (self.folder / "Uninstall.exe").exists(), what="the uninstaller to finish")
        return process

    def registry_entry(self, key=UNINSTALL_KEY):
        return self.display.registry(key)

    def windows(self):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Veldana"], env=self.env,
                                capture_output=True, text=True, timeout=30)
        return result.stdout.split()

    def press(self, window, *keys):
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=self.env,
                                  capture_output=True, text=True, timeout=30)
        if geometry.returncode != 0:
            return  # closed meanwhile
        place = dict(line.split("=") for line in geometry.stdout.split())
        # Without a window manager keys go to the window under the pointer. (A synced
        # move waits long when the pointer is already there.)
        self.display.xdotool("mousemove", int(place["X"]) + int(place["WIDTH"]) // 2, int(place["Y"]) + 10)
        self.display.key(*keys)

    def sign_in_entry(self):
        return self.display.registry_value(RUN_KEY, "Veldana")

    def value(self, where, data=None):
        if data:
            self.run("reg", "add", where[0], "/v", where[1], "/t", where[2], "/d", data, "/f")
        return self.display.registry_value(*where[:2])


def test_zip_and_checksums_hold_the_program_folder_with_stripped_programs():
    with zipfile.ZipFile(ZIP) as archive:
        packed = {n.removeprefix("Veldana/"): archive.read(n) for n in archive.namelist() if not n.endswith("/")}
    assert packed.keys() == shipped_files() and {"NOTICES.txt", "LICENSE.txt", "CHANGELOG.txt"} <= packed.keys()
    assert f"\r\n## {VERSION}\r\n" in packed["CHANGELOG.txt"].decode("utf-8-sig")  # the version has its entry
    assert max(map(len, packed["NOTICES.txt"].decode("utf-8-sig").splitlines())) <= 86
    assert all(data == (veld.DIST / name).read_bytes() for name, data in packed.items())
    # CMakeLists.txt's version, and only it, in the properties of every program and of the
    # setup program, which is drawn sharp at any scale.
    assert all(properties_version(p) == {VERSION, 0} for p in [*veld.DIST.glob("*.exe"), SETUP])
    assert re.search(rb"<dpiAware [^>]*>true</dpiAware>", SETUP.read_bytes())
    checked = subprocess.run(["sha256sum", "-c", "SHA256SUMS"], cwd=ZIP.parent, capture_output=True, text=True)
    assert checked.returncode == 0 and checked.stdout.count(": OK") == 2, checked.stdout

    # Each program ships without debug sections and without a path of the build folder,
    # and names its debug file under build/ with that file's checksum.
    programs = sorted(veld.DIST.glob("*.exe"))
    holder = re.search(r"^Copyright \(c\) (.+)$", (veld.ROOT / "LICENSE").read_text(), re.M)[1]
    assert programs
    for program in programs:
        sections = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", program], capture_output=True, text=True,
                                  check=True).stdout
        assert ".debug_" not in sections, program.name
        data = program.read_bytes()
        assert str(veld.ROOT).encode() not in data, program.name
        assert f"Copyright © {holder}".encode("utf-16-le") in data, program.name
        link = f"{program.name}.debug".encode() + b"\0"
        crc_at = (data.index(link) + len(link) + 3) // 4 * 4
        debug = (veld.BUILD / "debug" / program.name).with_suffix(".exe.debug").read_bytes()
        assert int.from_bytes(data[crc_at:crc_at + 4], "little") == zlib.crc32(debug), program.name
        assert b".debug_info" in debug


@pytest.fixture
def tmpfs():
    """Mounts small file systems (the tests run as root); each goes when the test ends."""
    mounted = []

    def mount(folder, options):
        folder.mkdir()
        done = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", folder], capture_output=True, text=True)
        if done.returncode != 0:
            pytest.skip(f"a file system cannot be mounted here: {done.stderr.strip()}")
        mounted.append(folder)
        return folder

    yield mount
    for folder in mounted:
        subprocess.run(["umount", "-l", folder], check=True)


@pytest.fixture
def installer(display_factory, workdir):
    if not SETUP.exists():
        pytest.fail(f"{SETUP} is missing: run make dist")
    display = display_factory(1024, 768)
    return Installer(display, workdir / "Local" / "Programs" / "Veldana")


def test_install_use_and_uninstall_leaves_only_the_added_wallpaper(installer, programs, workdir):
    folder = installer.folder
    installer.install()

    assert {"Veldana.exe", "NOTICES.txt"} <= shipped_files()
    assert files_under(folder) == shipped_files() | {"Uninstall.exe"}
    for name in shipped_files():
        assert (folder / name).read_bytes() == (veld.DIST / name).read_bytes(), name
    link = shortcut(installer.env).read_bytes()
    assert win(folder / "Veldana.exe").encode("utf-16-le") in link
    entry = installer.registry_entry()
    size_kb = sum((veld.DIST / name).stat().st_size for name in shipped_files()) / 1024
    assert abs(int(entry.pop("EstimatedSize"), 16) - size_kb) < 0.1 * size_kb
    uninstaller = f'"{win(folder / "Uninstall.exe")}"'
    assert entry == {
        "DisplayName": "Veldana", "DisplayVersion": VERSION, "Publisher": "Veldana",
        "DisplayIcon": win(folder / "Veldana.exe"), "InstallLocation": win(folder),
        "UninstallString": uninstaller, "QuietUninstallString": f"{uninstaller} /S",
        "NoModify": "0x1", "NoRepair": "0x1",
    }
    assert installer.sign_in_entry() == f'"{win(folder / "VeldanaStart.exe")}"'

    # Use it: switch it on, add an own picture through the dialog, make it the wallpaper.
    program = programs(installer.display, folder)
    display = program.display
    program.click_client(*ACTIVE)
    veld.wait_until(lambda: program.control("CheckBox1", program.probe())["checked"], what="active")
    own = workdir / "own pictures"
    own.mkdir()
    shutil.copy(veld.DIST / "1024x768" / "Tollrand_Spiegelsee.jpg", own / "Lake.jpg")
    program.click_client(*ADD)
    dialog = program.wait_dialog()
    display.move(*veld.centre(dialog["rect"]))
    display.xdotool("type", "--delay", 20, win(own / "Lake.jpg"))
    display.key("Return")
    listbox = veld.wait_until(lambda: (s := program.probe()) and not s["dialogs"]
                              and "Lake.jpg" in (l := program.control("ListBox1", s))["items"] and l,
                              what="the added file in the list")
    row = listbox["items"].index("Lake.jpg")
    display.click(listbox["screen"][0] + 40, listbox["screen"][1] + 2 + row * listbox["item_height"] + 6)
    veld.wait_until(lambda: not program.control("Animate1", program.probe())["visible"], what="the preview")
    program.click_client(*SET_AS_DEFAULT)
    veld.wait_until(lambda: (folder / "tmp_wallpaper.bmp").exists(), what="tmp_wallpaper.bmp")

    # While it runs, its files cannot be replaced: the uninstaller gives up and touches nothing.
    in_place = f"_?={win(folder)}"
    assert installer.run(folder / "Uninstall.exe", "/S", in_place) == 2
    assert installer.registry_entry() is not None and shortcut(installer.env).exists()
    written = {"1024x768/Lake.jpg", "veld.ini", "tmp_wallpaper.bmp"}
    assert files_under(folder) == shipped_files() | {"Uninstall.exe"} | written

    program.click_client(*CLOSE)
    program.wait_exit()
    # So is VeldanaStart.exe's while it sets a wallpaper (a stand-in that never ends): both
    # wait for it as long as the program does, then give up and touch nothing.
    stand_in(folder / "VeldanaStart.exe", "Sleep(INFINITE);", workdir)
    sleeper = installer.run(folder / "VeldanaStart.exe", wait=False)
    assert installer.run(folder / "Uninstall.exe", "/S", in_place) == 2
    installer.install(code=2)
    sleeper.kill()
    sleeper.wait()
    # An old uninstaller that removed nothing (a stand-in ending with 2) stops an upgrade
    # once the user's files are back.
    stand_in(folder / "Uninstall.exe", "return 2;", workdir)
    installer.install(code=2)
    (workdir / "Uninstall.exe").replace(folder / "Uninstall.exe")
    assert files_under(folder) == shipped_files() | {"Uninstall.exe"} | written
    installer.uninstall("/S")
    assert files_under(folder) == {"1024x768/Lake.jpg"}
    assert {p.name for p in folder.iterdir()} == {"1024x768"}
    assert not shortcut(installer.env).exists()
    assert installer.registry_entry() is None
    assert installer.sign_in_entry() is None


def test_interactive_setup_and_uninstall_do_as_told(installer, workdir):
    folder = installer.folder
    windows, press = installer.windows, installer.press

    def uninstall_answering(key):
        installer.uninstall(wait=False)
        confirm = veld.wait_until(lambda: windows(), what="the uninstaller")[0]
        press(confirm, "Return")  # "Uninstall" on the confirmation page
        question = veld.wait_until(lambda: [w for w in windows() if w != confirm], what="the question")[0]
        press(question, key)
        veld.wait_until(lambda: not (folder / "Uninstall.exe").exists(), what="the uninstaller")
        # "Close" on the last page, pressed until it is enabled and takes.
        veld.wait_until(lambda: not windows() or press(confirm, "Return"), interval=0.5,
                        what="the uninstaller to close")

    def lay_out_leftovers():
        for name in LEFTOVERS:
            (folder / name).mkdir(exist_ok=True) if name.endswith("/") else (folder / name).write_bytes(b"\xff\xd8")

    def left():
        return {name for name in LEFTOVERS if (folder / name).exists()}

    installer.install()
    (folder / "800x600" / "mine.jpg").write_bytes(b"\xff\xd8 mine")
    lay_out_leftovers()
    stays = {name for name, stay in LEFTOVERS.items() if stay}
    subprocess.run(["x86_64-w64-mingw32-gcc", "-x", "c", "-", "-o", workdir / "holder.exe"], check=True,
                   input=b"#include <windows.h>\nint main(int argc, char **argv) { CreateFileA(argv[1], GENERIC_READ, 0,"
                         b" 0, OPEN_EXISTING, 0, 0); CreateFileA(argv[2], GENERIC_WRITE, 0, 0, CREATE_NEW, 0, 0);"
                         b" Sleep(INFINITE); }\n")
    holder = installer.run(workdir / "holder.exe", win(folder / HELD), win(workdir / "held"), wait=False)
    veld.wait_until(lambda: (workdir / "held").exists(), what="the file held")
    # A sign-in (Wine's wineboot runs the Run entries) starts the installed VeldanaStart,
    # which leaves the program's state behind, as does a log from an earlier sign-in.
    (folder / "veld.ini").write_bytes(b"[Settings]\r\nActive=True\r\nRandom=True\r\n")
    (folder / "veldstart.log").write_bytes(b"2026-01-01 08:00:00 JPEG-Fehler #53.\r\n")
    installer.run("wineboot")
    veld.wait_until(lambda: "DefaultWP" in veld.read_ini(folder), what="VeldanaStart at sign-in")
    assert (folder / "tmp_wallpaper.bmp").exists() and installer.value(WALLPAPER).endswith("tmp_wallpaper.bmp")
    assert left() == stays
    installer.value(APPROVED, SWITCHED_OFF)
    lay_out_leftovers()
    uninstall_answering("Return")  # the default answer is No
    assert left() == stays
    assert files_under(folder) == {"800x600/mine.jpg"} | {name for name in stays if not name.endswith("/")}
    holder.kill()
    (folder / "800x600/vel3.tmp").rmdir()
    assert installer.sign_in_entry() is installer.value(APPROVED) is None and installer.value(WALLPAPER) == ""

    # Installed by hand: the sign-in box unticked leaves the entry out. A folder Veldana
    # could not use (too long even in its 8.3 form) is refused in a box on leaving the folder
    # page, which stays; what was made to ask is gone again.
    too_long = workdir / "long" / ("long1234/" * 24) / "Veldana"
    setup = installer.run(SETUP, f"/D={win(too_long)}", wait=False)
    window = veld.wait_until(lambda: windows(), what="the setup")[0]
    for key in "Return", "space", "Return", "Return":  # welcome, sign-in, folder page
        press(window, key)
    refusal = veld.wait_until(lambda: [w for w in windows() if w != window], what="the refusal")[0]
    assert not (workdir / "long").exists()
    press(refusal, "Return")
    veld.wait_until(lambda: windows() == [window], what="the refusal to close")
    press(window, "Home", "shift+End")
    installer.display.xdotool("type", "--delay", 20, win(folder))
    press(window, "Return")
    veld.wait_until(lambda: "EstimatedSize" in (installer.registry_entry() or {}), what="the setup")
    press(window, "space", "Return")  # "Run Veldana" unticked, then Finish
    assert setup.wait(timeout=30) == 0 and installer.sign_in_entry() is None
    assert files_under(folder) >= shipped_files()

    # Another copy's sign-in entry stays.
    elsewhere = f'"{win(folder)}2\\VeldanaStart.exe"'
    installer.run("reg", "add", RUN_KEY, "/v", "Veldana", "/d", elsewhere, "/f")
    installer.value(APPROVED, SWITCHED_OFF)
    uninstall_answering("y")  # "&Yes" (the prefix runs in English)
    assert not folder.exists()
    assert installer.sign_in_entry() == elsewhere and installer.value(APPROVED) == SWITCHED_OFF


def test_upgrade_keeps_what_is_the_users_and_replaces_what_was_shipped(installer, workdir, tmpfs):
    # An older version that shipped a file more and other bytes in another.
    old = workdir / "old"
    shutil.copytree(veld.DIST, old)
    (old / "Media" / "retired.bin").write_bytes(b"old")
    (old / "NOTICES.txt").write_bytes(b"old")
    # Built as if on a volume without short (8.3) names, which Wine always gives.
    subprocess.run(["makensis", "-V1", "-INPUTCHARSET", "UTF8", "-DVERSION=0.9.0", f"-DDIST={old}",
                    f"-DOUTFILE={workdir / 'old-setup.exe'}", "-DTEST_NO_SHORT_NAMES",
                    veld.ROOT / "installer" / "Veldana.nsi"], check=True)
    folder = installer.folder
    # There a name the code page cannot spell is refused, and what was made to ask is gone.
    installer.install(setup=workdir / "old-setup.exe", folder=workdir / "Вельдана" / "Veldana", code=2)
    assert not (workdir / "Вельдана").exists()
    # So is a folder that cannot be made or written (a read-only disk) or is a file, before
    # anything is written; a copy that does not fit (a small disk) is taken back. Nothing
    # is registered.
    read_only, small, a_file = tmpfs(workdir / "ro", "ro"), tmpfs(workdir / "small", "size=1m"), workdir / "a-file"
    a_file.write_bytes(b"mine")
    for target in read_only / "Veldana", read_only, a_file, small / "Veldana":
        installer.install(folder=target, code=2)
    assert a_file.read_bytes() == b"mine" and not any(small.iterdir())
    assert installer.registry_entry() is None and installer.sign_in_entry() is None
    assert not shortcut(installer.env).exists()
    installer.install(setup=workdir / "old-setup.exe")
    users = STATE_FILES | {"800x600/mine.jpg"}
    for name in users | {"tmp_wallpaper.bmp.new", "veldstart.log.new"}:  # and what a cut-short sign-in leaves
        (folder / name).write_bytes(name.encode())
    (folder / sorted(shipped_files())[0]).unlink()  # a bundled wallpaper
    # Switched off in Windows, and the converted wallpaper on the desktop, in its 8.3 spelling.
    installer.value(APPROVED, SWITCHED_OFF)
    short = subprocess.run(["wine", "cmd", "/c", f"for %I in ({win(folder)}) do @echo %~sI"], env=installer.env,
                           capture_output=True, text=True, stdin=subprocess.DEVNULL, timeout=120).stdout.strip()
    installer.value(WALLPAPER, short + "\\tmp_wallpaper.bmp")

    installer.install()
    assert files_under(folder) == shipped_files() | users | {"Uninstall.exe"}
    assert all((folder / name).read_bytes() == (veld.DIST / name).read_bytes() for name in shipped_files())
    assert all((folder / name).read_bytes() == name.encode() for name in users)
    assert installer.registry_entry()["DisplayVersion"] == VERSION
    assert installer.sign_in_entry() == f'"{win(folder / "VeldanaStart.exe")}"'
    assert installer.value(APPROVED) == SWITCHED_OFF and installer.value(WALLPAPER) == short + "\\tmp_wallpaper.bmp"
    # /NOSIGNIN leaves the entry out, and one the user removed stays removed.
    installer.install("/NOSIGNIN")
    assert installer.sign_in_entry() is None and (folder / "veld.ini").exists()
    installer.install()
    assert installer.sign_in_entry() is None

    # Run by a script through the 8.3 spelling ("~"), it takes all that is Veldana's.
    assert "~" in short and installer.run(f"{short}\\Uninstall.exe", "/S", f"_?={short}") == 0
    assert files_under(folder) == {"800x600/mine.jpg", "Uninstall.exe"}
    assert installer.registry_entry() is None and not shortcut(installer.env).exists()
    assert installer.value(APPROVED) is None and installer.value(WALLPAPER) == ""


def test_signed_release_is_whole_or_absent_and_its_winget_manifest_names_what_the_setup_registers(installer,
                                                                                                  workdir):
    # Signed through a token, as a real release is, by the one command a maintainer runs.
    signed, certificates = workdir / "signed", workdir / "certificates"
    url = "https://downloads.example.org/veldana/releases/latest"
    env = dict(installer.env, VELD_RELEASE_URL=url)
    subprocess.run([veld.ROOT / "scripts" / "sign-test-release.sh", signed, certificates], env=env, check=True)
    release = {p: p.read_bytes() for p in signed.rglob("*") if p.is_file()}
    # A signing that fails half-way (a key not the certificate's, no timestamp server)
    # leaves the release as it was and says where it stopped; one without a timestamp
    # server is not even started.
    env.update(VELD_SIGN_CERT=certificates / "code.pem", VELD_SIGN_KEY=certificates / "tsa.key")
    for timestamp, said in ("http://127.0.0.1:9", "failed while signing Veldana.exe"), ("", "VELD_SIGN_TIMESTAMP"):
        failed = subprocess.run([veld.ROOT / "scripts" / "make-dist.sh", signed], env=dict(
            env, VELD_SIGN_TIMESTAMP=timestamp), capture_output=True, text=True)
        assert failed.returncode != 0 and said in failed.stderr, failed.stderr
        assert {p: p.read_bytes() for p in signed.rglob("*") if p.is_file()} == release

    installer.install(setup=signed / SETUP.name)
    assert (installer.folder / "Uninstall.exe").exists()
    for program in installer.folder.glob("*.exe"):
        checked = subprocess.run(["osslsigncode", "verify", "-in", program, "-CAfile", "code.pem", "-TSA-CAfile",
                                  "tsa.pem"], cwd=certificates, capture_output=True, text=True)
        assert checked.returncode == 0 and "Timestamp Server Signature verification: ok" in checked.stdout, program

    # The manifest names the setup by its checksum, and the entry it registers as winget
    # finds it: under the product code, with the name, publisher and version.
    fields = {}
    for manifest in (signed / "winget").glob("*.yaml"):
        for key, value in re.findall(r"^[- ]*(\w+): (.+)$", manifest.read_text(), re.M):
            fields.setdefault(key, set()).add(value)
    (code,) = fields["ProductCode"]
    entry = installer.registry_entry(UNINSTALL_KEY.rsplit("\\", 1)[0] + "\\" + code)
    assert fields["InstallerSha256"] == {hashlib.sha256((signed / SETUP.name).read_bytes()).hexdigest().upper()}
    assert fields["InstallerUrl"] == {f"{url}/{SETUP.name}"} and len(fields["PackageIdentifier"]) == 1
    assert fields["PackageVersion"] == fields["DisplayVersion"] == {entry["DisplayVersion"]}
    assert fields["DisplayName"] == fields["PackageName"] == {entry["DisplayName"]}
    assert fields["Publisher"] == {entry["Publisher"]}
