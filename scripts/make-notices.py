#!/usr/bin/env python3
"""Writes the licence notices shipped in the program folder.

Usage: make-notices.py OUT VERSION JPEG_COPYRIGHT PROGRAM...

The programs link libjpeg-turbo, the MinGW-w64 runtime with winpthreads, libstdc++ and
libgcc; the setup program carries the NSIS stub. The copyright holders and licence
texts come from the machine-readable copyright files that Debian's packages carry
(libjpeg-turbo's from the source package the build compiled, JPEG_COPYRIGHT), limited to
the parts of each package that end up in the programs. The file is written with CRLF
line ends, for Notepad.
"""

import re
import subprocess
import sys
import textwrap
from pathlib import Path


def paragraphs(path):
    """The paragraphs of a Debian copyright file, as {field: value}; a continuation line
    loses its leading space and " ." stands for an empty line."""
    result, fields, key = [], {}, None
    for line in Path(path).read_text(encoding="utf-8").splitlines() + [""]:
        if not line.strip():
            if fields:
                result.append(fields)
            fields, key = {}, None
        elif line[0] in " \t" and key:
            text = line.strip()
            fields[key] += "\n" + ("" if text == "." else line[1:].rstrip())
        elif ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    return result


def licence_names(field):
    return [name.strip() for name in re.split(r"\band\b|\bor\b", field.split("\n", 1)[0]) if name.strip()]


def licence_texts(paras):
    """Licence name (case folded) -> its text, from stand-alone and inline License fields."""
    texts = {}
    for p in paras:
        if "License" in p and "\n" in p["License"]:
            name, text = p["License"].split("\n", 1)
            texts.setdefault(name.strip().lower(), text.strip("\n"))
    return texts


def merged_copyrights(lines):
    """Copyright lines with their years merged per holder: "2009, 2011, D. R. Commander"
    and "2010-2012, D. R. Commander" become "2009-2012 D. R. Commander"."""
    years_of, order = {}, []
    for line in lines:
        line = re.sub(r"^(Copyright\s*)?(\(C\)\s*)?", "", line.strip(), flags=re.I)
        match = re.match(r"^(\d{4}(?:\s*[-,/]\s*\d{4})*)\s*,?\s+(.+)$", line)
        holder = match[2] if match else line
        key = holder.rstrip(".")  # "Thomas G. Lane." and "Thomas G. Lane" are one holder
        if key not in years_of:
            years_of[key] = set()
            order.append((key, holder))
        if match:
            for part in re.split(r"\s*[,/]\s*", match[1]):
                first, _, last = part.partition("-")
                years_of[key].update(range(int(first), int(last or first) + 1))
    result = []
    for key, holder in order:
        years = sorted(years_of[key])
        runs = []
        for year in years:
            if runs and year == runs[-1][1] + 1:
                runs[-1][1] = year
            else:
                runs.append([year, year])
        spans = ", ".join(str(a) if a == b else f"{a}-{b}" for a, b in runs)
        if holder == "public-domain":
            result.append("Some files are in the public domain.")
        else:
            # Without years the holder still reads as a copyright line, as in the source.
            result.append(f"Copyright (C) {spans} {holder}" if spans else f"Copyright {holder}")
    return result


def component(path, keep):
    """Copyright lines and licence texts of the paragraphs whose files keep() accepts."""
    paras = paragraphs(path)
    texts = licence_texts(paras)
    copyrights, names = [], []
    for p in paras:
        if "Files" not in p or not any(keep(f) for f in p["Files"].split()):
            continue
        copyrights += [line for line in p.get("Copyright", "").split("\n") if line.strip()]
        names += [n for n in licence_names(p["License"]) if n not in names]
    licences = []
    for name in names:
        if name.lower() not in texts:
            sys.exit(f"make-notices: {path} has no text for the licence {name}")
        licences.append((name, texts[name.lower()]))
    return merged_copyrights(copyrights), licences


def package_version(package):
    return subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], check=True, capture_output=True,
                          text=True).stdout


def in_jpeg_library(name):
    """Whether a file pattern of libjpeg-turbo's copyright file names a source of the
    library as built here: C, headers and the x86-64 SIMD code, but not the command-line
    tools, the TurboJPEG API (not built), tests, Java or the SIMD code of other processors."""
    folder, _, base = name.rpartition("/")
    return (folder in ("", "simd", "simd/nasm", "simd/x86_64")
            and re.search(r"\.(c|h|h\.in|asm|inc)$", base) is not None
            and re.match(r"(cjpeg|djpeg|jpegtran|transupp|cdjpeg|cderror|rdjpgcom|wrjpgcom|rd|wr|tj|turbojpeg"
                         r"|jcstest|strtest|example)", base) is None)


def under(*prefixes, but=()):
    return lambda f: (f == "*" or f.startswith(prefixes)) and not f.startswith(but)


def wrapped(line):
    """A licence line as it is shown: a paragraph that the source holds as one long line
    is wrapped like the other texts, its lines keeping its indent (and that of an item's
    text after "a) ")."""
    if len(line) <= 86:
        return [line]
    lead = re.match(r"\s*", line)[0]
    item = re.match(r"\w{1,4}\)\s+", line[len(lead):])
    hanging = lead + " " * (len(item[0]) if item else 0)
    return textwrap.wrap(line[len(lead):], 80, initial_indent=lead, subsequent_indent=hanging)


def section(number, title, intro, copyrights, licences):
    out = [f"{number}. {title}", "-" * (len(title) + len(str(number)) + 2), "", *intro, ""]
    out += copyrights + [""]
    for name, text in licences:
        out += [f"Licence {name}:", ""]
        out += [part for line in text.split("\n") for part in wrapped("    " + line if line else "")]
        out += [""]
    return out


def main():
    out, version, jpeg_copyright, *programs = sys.argv[1:]
    jpeg_source = Path(jpeg_copyright).resolve().parents[1]
    jpeg_version = re.match(r"\S+ \(([^)]+)\)", (jpeg_source / "debian" / "changelog").read_text())[1]
    mingw = "mingw-w64-x86-64-dev"
    gcc = ["gcc-mingw-w64-x86-64-posix", "g++-mingw-w64-x86-64-posix"]

    lines = [
        f"Veldana {version}: notices for the code of others it contains",
        "",
        *textwrap.wrap(f"{' and '.join(programs)} contain code from libjpeg-turbo, from the MinGW-w64 "
                       "runtime with winpthreads, and from GCC's libstdc++ and libgcc. The setup program "
                       "and the uninstaller it writes are built with NSIS. Their copyright holders and "
                       "licences follow, as Debian's packages of them state them.", 86),
        "",
        *textwrap.wrap("Veldana's own code and artwork are under the MIT licence, in LICENSE.txt beside this "
                       "file.", 86),
        "",
        "",
    ]
    lines += section(1, "libjpeg-turbo (JPEG decoding)", [
        f"Debian source package libjpeg-turbo {jpeg_version}.",
        "This software is based in part on the work of the Independent JPEG Group.",
        "Debian calls the IJG licence BSD-BY-LC-NE; its text below also carries",
        "libjpeg-turbo's 3-clause BSD licence. The SIMD code is under the zlib licence.",
    ], *component(jpeg_copyright, in_jpeg_library))
    # The C runtime and winpthreads are linked in; gprof support and the threads tests are not.
    lines += section(2, "MinGW-w64 runtime and winpthreads", [
        f"Debian package {mingw} {package_version(mingw)}.",
    ], *component(f"/usr/share/doc/{mingw}/copyright",
                  under("mingw-w64-crt/", "mingw-w64-libraries/winpthreads/",
                        but=("mingw-w64-crt/profile/", "mingw-w64-libraries/winpthreads/tests_pthread/"))))
    lines += section(3, "libstdc++ and libgcc (GCC)", [
        f"Debian packages {gcc[0]} and",
        f"{gcc[1]} {package_version(gcc[1])}.",
        "Linked in statically. They are licensed under the GNU General Public License,",
        "version 3, with the GCC Runtime Library Exception, version 3.1, which allows a",
        "program compiled with GCC to be given out under terms of its maker's choice; it",
        "asks for no notice.",
    ], [], [])
    lines += section(4, "NSIS (the setup program and its uninstaller)", [
        f"Debian package nsis-common {package_version('nsis-common')}.",
        "The setup program and the uninstaller consist of the NSIS stub with its LZMA",
        "decompressor and plug-ins. The source code of NSIS is available from the NSIS",
        "project and as Debian's source package nsis.",
    ], *component("/usr/share/doc/nsis-common/copyright", under("Source/7zip/", "Contrib/nsDialogs/")))

    while lines[-1] == "":
        lines.pop()
    # With a byte-order mark: Notepad before Windows 10 reads UTF-8 only with one.
    Path(out).write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-8-sig"))


if __name__ == "__main__":
    main()
