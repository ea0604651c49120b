#!/usr/bin/python3
"""Writes the winget manifest of a release: the version, installer and default-locale
files the Windows Package Manager's community repository takes, in
manifests/v/Veldana/Veldana/<version>/ of a fork of it. Names, publisher and product code
are read from the setup script, so the manifest says what the setup registers.

Usage: winget-manifest.py SETUP VERSION INSTALLER_URL RELEASE_DATE OUT_FOLDER
(make dist runs it when given VELD_RELEASE_URL)
"""

import hashlib
import re
import sys
from pathlib import Path

# The schema version the community repository asks new manifests for.
MANIFEST_VERSION = "1.12.0"
ROOT = Path(__file__).resolve().parent.parent

setup, version, url, date, out = sys.argv[1:]
script = (ROOT / "installer" / "Veldana.nsi").read_text(encoding="utf-8")
defines = dict(re.findall(r'^!define (\w+) "([^"$]*)"$', script, re.M))
product, publisher = defines["PRODUCT"], defines["PUBLISHER"]
# The uninstall entry's key name is what winget matches an installation by.
product_code = defines["UNINST_KEY"].rsplit("\\", 1)[1]
identifier = f"{publisher}.{product}"
copyright_line = re.search(r"^Copyright \(c\) (.+)$", (ROOT / "LICENSE").read_text(), re.M)[1]
sha256 = hashlib.sha256(Path(setup).read_bytes()).hexdigest().upper()
head = f"# Written by make dist.\nPackageIdentifier: {identifier}\nPackageVersion: {version}\n"
tail = f"ManifestVersion: {MANIFEST_VERSION}\n"

files = {
    f"{identifier}.yaml": f"{head}DefaultLocale: en-US\nManifestType: version\n{tail}",
    f"{identifier}.installer.yaml": f"""{head}InstallerType: nullsoft
Scope: user
InstallModes:
- interactive
- silent
- silentWithProgress
UpgradeBehavior: install
ProductCode: {product_code}
ReleaseDate: {date}
AppsAndFeaturesEntries:
- DisplayName: {product}
  Publisher: {publisher}
  DisplayVersion: {version}
  ProductCode: {product_code}
Installers:
- Architecture: x64
  InstallerUrl: {url}
  InstallerSha256: {sha256}
ManifestType: installer
{tail}""",
    f"{identifier}.locale.en-US.yaml": f"""{head}PackageLocale: en-US
Publisher: {publisher}
PackageName: {product}
License: MIT
Copyright: Copyright (c) {copyright_line}
ShortDescription: Makes one of the Tollrand wallpapers your Windows desktop wallpaper.
Tags:
- desktop
- wallpaper
ManifestType: defaultLocale
{tail}""",
}
Path(out).mkdir(parents=True, exist_ok=True)
for name, text in files.items():
    (Path(out) / name).write_text(text, encoding="utf-8")
