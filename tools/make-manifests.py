#!/usr/bin/env python3
"""make-manifests.py: the package managers' manifests and the checksum list of a folder of release files.

    make-manifests.py --dist DIR --version V --release-url URL --version-file-url URL --download-page-url URL

Writes into DIR a winget manifest set (winget/: version, installer and default-locale files) for the two
setups, a Scoop manifest (nimbrel.json) for the two portable zips, and last SHA256SUMS over every file
of DIR. The release files of version V are to be published under RELEASE-URL/V/, as DIR holds them.
The same release files give the same bytes: no dates, sorted lists, fixed layout."""
import argparse
import hashlib
import json
import re
from pathlib import Path

import yaml

ROOT = Path(__file__).resolve().parents[1]
INSTALLER_SCRIPT = ROOT / "packaging" / "installer.nsi"

PACKAGE_ID = "Vostrand.Nimbrel"
# Of the format's published versions, the one the files below follow.
WINGET_MANIFEST_VERSION = "1.9.0"
# The setups' own language is the one every package-manager text starts from.
DEFAULT_LOCALE = "zh-CN"
HOMEPAGE = "https://www.vostrand.com/nimbrel"
PUBLISHER_URL = "https://www.vostrand.com"
SUPPORT_URL = "https://www.vostrand.com/nimbrel/support"
LICENSE = "Freeware"
SHORT_DESCRIPTION = "在通知区域实时显示内存使用情况的小工具"
DESCRIPTION = ("Nimbrel 的托盘图标实时显示内存使用情况, 内存紧张时发出警告, 在托盘菜单中列出占用内存最多的进程, "
               "并可按需、按热键、定时或在内存紧张时整理内存.")
SCOOP_DESCRIPTION = "Memory meter in the notification area: live tray icon, high-memory warning, top processes"
TAGS = ["memory", "monitor", "tray", "内存"]
ARCHITECTURES = {"x64": "64bit", "x86": "32bit"}
# The setup's exit code when it refuses to replace a newer installed version (installer.nsi).
EXIT_DOWNGRADE = 3
SUMS = "SHA256SUMS"


def installed_programs_entry():
    """The key name and the values the setup writes under the installed programs, from its script."""
    script = INSTALLER_SCRIPT.read_text(encoding="utf-8")
    key = re.search(r'^!define UNINSTALL_KEY "([^"]+)"', script, re.M).group(1)
    values = dict(re.findall(r'^\s*WriteRegStr HKCU "\$\{UNINSTALL_KEY\}" "(\w+)" "([^"]*)"', script, re.M))
    exit_code = int(re.search(r"^!define EXIT_DOWNGRADE (\d+)", script, re.M).group(1))
    return key.rsplit("\\", 1)[1], values, exit_code


def sha256(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def yaml_file(path, manifest_type, fields):
    """One winget manifest: the schema's address for editors, then the fields in the given order."""
    path.parent.mkdir(parents=True, exist_ok=True)
    body = {**fields, "ManifestType": manifest_type, "ManifestVersion": WINGET_MANIFEST_VERSION}
    schema = f"https://aka.ms/winget-manifest.{manifest_type}.{WINGET_MANIFEST_VERSION}.schema.json"
    text = yaml.safe_dump(body, sort_keys=False, allow_unicode=True, default_flow_style=False, width=1000)
    path.write_text(f"# yaml-language-server: $schema={schema}\n\n{text}", encoding="utf-8", newline="\n")


def winget(dist, version, release_url, download_page_url):
    product_code, entry, downgrade_code = installed_programs_entry()
    folder = dist / "winget"
    common = {"PackageIdentifier": PACKAGE_ID, "PackageVersion": version}
    yaml_file(folder / f"{PACKAGE_ID}.yaml", "version", {**common, "DefaultLocale": DEFAULT_LOCALE})
    installers = []
    for arch in ARCHITECTURES:
        setup = dist / f"Nimbrel-{version}-{arch}-setup.exe"
        installers.append({"Architecture": arch, "InstallerUrl": f"{release_url}/{version}/{setup.name}",
                           "InstallerSha256": sha256(setup).upper()})
    yaml_file(folder / f"{PACKAGE_ID}.installer.yaml", "installer", {
        **common,
        "InstallerLocale": DEFAULT_LOCALE,
        "InstallerType": "nullsoft",
        "Scope": "user",
        "InstallModes": ["interactive", "silent", "silentWithProgress"],
        # The setup shows no progress when silent: both silent modes are its /S.
        "InstallerSwitches": {"Silent": "/S", "SilentWithProgress": "/S"},
        "ExpectedReturnCodes": [{"InstallerReturnCode": downgrade_code, "ReturnResponse": "downgrade"}],
        # The setup upgrades an installed copy in place, keeping its settings.
        "UpgradeBehavior": "install",
        "ProductCode": product_code,
        "AppsAndFeaturesEntries": [{
            "DisplayName": entry["DisplayName"],
            "Publisher": entry["Publisher"],
            "DisplayVersion": entry["DisplayVersion"].replace("${VERSION}", version),
            "ProductCode": product_code,
        }],
        "Installers": installers,
    })
    yaml_file(folder / f"{PACKAGE_ID}.locale.{DEFAULT_LOCALE}.yaml", "defaultLocale", {
        **common,
        "PackageLocale": DEFAULT_LOCALE,
        "Publisher": entry["Publisher"],
        "PublisherUrl": PUBLISHER_URL,
        "PublisherSupportUrl": SUPPORT_URL,
        "PackageName": entry["DisplayName"],
        "PackageUrl": HOMEPAGE,
        "License": LICENSE,
        "ShortDescription": SHORT_DESCRIPTION,
        "Description": DESCRIPTION,
        "Moniker": "nimbrel",
        "Tags": TAGS,
        # The page the program's own update announcement opens tells what a new version brings.
        "ReleaseNotesUrl": download_page_url,
    })


def scoop(dist, version, release_url, version_file_url):
    architecture, autoupdate = {}, {}
    for arch, name in ARCHITECTURES.items():
        archive = dist / f"Nimbrel-{version}-{arch}.zip"
        architecture[name] = {"url": f"{release_url}/{version}/{archive.name}", "hash": sha256(archive)}
        autoupdate[name] = {"url": f"{release_url}/$version/Nimbrel-$version-{arch}.zip"}
    manifest = {
        "version": version,
        "description": SCOOP_DESCRIPTION,
        "homepage": HOMEPAGE,
        "license": LICENSE,
        "architecture": architecture,
        "shortcuts": [["Nimbrel.exe", "Nimbrel"]],
        # The zip's empty settings file makes the program keep its settings beside it; kept outside the
        # version's folder, they and the user's themes outlive an update.
        "persist": ["Nimbrel.Settings", "Themes"],
        # The version file the program's own update check reads: [CurrentVersions] Nimbrel=<version>.
        "checkver": {"url": version_file_url,
                     "regex": r"(?ims)^\[CurrentVersions\][^\[]*?^\s*Nimbrel\s*=\s*([\d.]+)"},
        "autoupdate": {"architecture": autoupdate,
                       "hash": {"url": f"$baseurl/{SUMS}", "regex": r"$sha256\s+\*?$basename"}},
    }
    (dist / "nimbrel.json").write_text(json.dumps(manifest, indent=4, ensure_ascii=False) + "\n",
                                       encoding="utf-8", newline="\n")


def checksums(dist):
    """One line per file, as sha256sum writes them, so that `sha256sum -c SHA256SUMS` checks them."""
    files = sorted(p.relative_to(dist).as_posix() for p in dist.rglob("*") if p.is_file() and p.name != SUMS)
    (dist / SUMS).write_text("".join(f"{sha256(dist / name)}  {name}\n" for name in files), newline="\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--dist", "--version", "--release-url", "--version-file-url", "--download-page-url"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    dist = Path(args.dist)
    release_url = args.release_url.rstrip("/")
    winget(dist, args.version, release_url, args.download_page_url)
    scoop(dist, args.version, release_url, args.version_file_url)
    checksums(dist)


if __name__ == "__main__":
    main()
