#!/usr/bin/env python3
"""Tests of the release files that tools/package made in build/dist (NIMBREL_DIST): what they are, the
package managers' manifests and checksums, and under Wine the installer, the installed program, the
uninstaller, an upgrade over an older running copy and the portable zip, as a user meets them."""
import copy
import hashlib
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

import jsonschema
import yaml

sys.path.insert(0, str(Path(__file__).resolve().parent))
from run import TRAY_SLOT, click, list_controls, settings_with  # noqa: E402
from themes import SYSTEM_COLORS  # noqa: E402
from wine_desktop import WINE, check, run, wait_until  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
DIST = Path(os.environ.get("NIMBREL_DIST", ROOT / "build" / "dist"))
THEMES = ROOT / "packaging" / "themes"
SCHEMAS = ROOT / "packaging" / "schemas"
INSTALLER_SCRIPT = (ROOT / "packaging" / "installer.nsi").read_text(encoding="utf-8")
THEME_NAMES = sorted(p.name for p in THEMES.iterdir())
MACHINES = {"x64": 0x8664, "x86": 0x14C}
# The setup window's title, with the blank the Chinese language file ends it with.
SETUP_TITLE = "Nimbrel 安装 "
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel"


def release(kind):
    """The one file of build/dist whose name ends in `kind`, e.g. "-x64-setup.exe"."""
    found = sorted(DIST.glob(f"Nimbrel-*{kind}"))
    check(len(found) == 1, f"build/dist holds {[p.name for p in found]} for *{kind}: run tools/package first")
    return found[0]


def pe_header(path):
    data = path.read_bytes()
    check(data[:2] == b"MZ", f"{path.name} is no PE file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    check(data[pe:pe + 4] == b"PE\0\0", f"{path.name} is no PE file")
    machine, sections, _, symbols_at, symbols = struct.unpack_from("<HHIII", data, pe + 4)
    optional = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional
    names = [data[table + 40 * i:table + 40 * i + 8].rstrip(b"\0").decode("latin-1") for i in range(sections)]
    return machine, symbols_at, symbols, names


# The update check's default addresses and where the release files are published, as the build
# configuration gives them.
BUILD_SETTINGS = dict(re.findall(r'set\((NIMBREL_\w+_URL) "([^"]+)"', (ROOT / "src" / "CMakeLists.txt").read_text()))
DEFAULT_ENDPOINTS = [BUILD_SETTINGS.get("NIMBREL_VERSION_FILE_URL"), BUILD_SETTINGS.get("NIMBREL_DOWNLOAD_PAGE_URL")]
RELEASE_URL = BUILD_SETTINGS.get("NIMBREL_RELEASE_URL")


def release_files(d):
    for arch, machine in MACHINES.items():
        exe = release(f"-{arch}.exe")
        got, symbols_at, symbols, sections = pe_header(exe)
        check(got == machine, f"{exe.name} is built for machine {got:#x}")
        check(symbols_at == 0 and symbols == 0 and not any(s.startswith(".debug") or s.startswith("/")
                                                           for s in sections), f"{exe.name} is not stripped")
        # Sections start on page boundaries in the file (so the code is mapped, not copied), and the icon
        # holds images for every display scale: a little larger than the 700 KB the program once kept to.
        check(exe.stat().st_size < 800 * 1024, f"{exe.name} is {exe.stat().st_size} bytes")
        # The shipped program checks for updates at the configured addresses, never at a test server's.
        data = exe.read_bytes()
        check(None not in DEFAULT_ENDPOINTS, f"the build configuration gives {BUILD_SETTINGS}")
        for url in DEFAULT_ENDPOINTS:
            check(url.encode("utf-16-le") in data, f"{exe.name} does not hold {url}")
        check("127.0.0.1".encode("utf-16-le") not in data, f"{exe.name} holds a loopback address")
        setup = release(f"-{arch}-setup.exe")
        check(pe_header(setup)[0] == machine, f"{setup.name} is built for the wrong machine")
        with zipfile.ZipFile(release(f"-{arch}.zip")) as z:
            names = sorted(z.namelist())
            check(names == sorted(["Nimbrel.exe", "Nimbrel.Settings", "readme.txt"] +
                                  [f"Themes/{t}" for t in THEME_NAMES]), f"the {arch} zip holds {names}")
            check(z.read("Nimbrel.exe") == exe.read_bytes(), f"the {arch} zip holds another exe")
            check(z.read("Nimbrel.Settings") == b"", "the zip's settings file is not empty")
    version = release("-x64.zip").name[len("Nimbrel-"):-len("-x64.zip")]
    kinds = (".exe", ".zip", "-setup.exe")
    expected = sorted([f"Nimbrel-{version}-{arch}{kind}" for arch in MACHINES for kind in kinds]
                      + ["SHA256SUMS", "nimbrel.json"] + [f"winget/{name}" for name in WINGET_FILES.values()])
    check(dist_files(DIST) == expected, f"build/dist holds {dist_files(DIST)}")
    # tools/test builds the release a second time elsewhere: the same commit gives the same bytes.
    again = DIST.parent / "dist-again"
    if again.is_dir():
        check(dist_files(again) == expected, f"the second build holds {dist_files(again)}")
        for name in expected:
            check((again / name).read_bytes() == (DIST / name).read_bytes(), f"{name} differs between two builds")
    else:
        check(os.environ.get("NIMBREL_SINGLE_BUILD") == "1", "no second build to compare: run tools/test")


def dist_files(folder):
    return sorted(p.relative_to(folder).as_posix() for p in folder.rglob("*") if p.is_file())


# --- package managers' manifests -----------------------------------------------------------------------
WINGET_FILES = {"version": "Vostrand.Nimbrel.yaml", "installer": "Vostrand.Nimbrel.installer.yaml",
                "defaultLocale": "Vostrand.Nimbrel.locale.zh-CN.yaml"}
WINGET_SCHEMAS = {kind: f"winget-{kind}-1.9.0.schema.json" for kind in WINGET_FILES}


def sha256(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def schema_errors(schema_name, manifest):
    schema = json.loads((SCHEMAS / schema_name).read_text(encoding="utf-8"))
    jsonschema.Draft7Validator.check_schema(schema)
    validator = jsonschema.Draft7Validator(schema, format_checker=jsonschema.Draft7Validator.FORMAT_CHECKER)
    return [f"{'/'.join(map(str, e.absolute_path))}: {e.message}" for e in validator.iter_errors(manifest)]


def winget_manifests(dist=DIST):
    return {kind: yaml.safe_load((dist / "winget" / name).read_text(encoding="utf-8"))
            for kind, name in WINGET_FILES.items()}


def scoop_manifest(dist=DIST):
    return json.loads((dist / "nimbrel.json").read_text(encoding="utf-8"))


def entry_in_script(name):
    """A value the setup writes under the installed programs, as its script gives it."""
    return re.search(rf'WriteRegStr HKCU "\$\{{UNINSTALL_KEY\}}" "{name}" "([^"]*)"', INSTALLER_SCRIPT).group(1)


def expect_rejected(schema_name, manifest, change, what):
    broken = copy.deepcopy(manifest)
    change(broken)
    check(schema_errors(schema_name, broken), f"the {schema_name} schema accepts {what}")


def winget_checks(version):
    manifests = winget_manifests()
    for kind, manifest in manifests.items():
        errors = schema_errors(WINGET_SCHEMAS[kind], manifest)
        check(not errors, f"the winget {kind} manifest breaks its schema: {errors}")
        check(manifest["ManifestType"] == kind, f"{WINGET_FILES[kind]} is of type {manifest['ManifestType']}")
        check((manifest["PackageIdentifier"], manifest["PackageVersion"], manifest["ManifestVersion"]) ==
              ("Vostrand.Nimbrel", version, "1.9.0"), f"{WINGET_FILES[kind]} names {manifest}")
    locale = manifests["defaultLocale"]
    check(manifests["version"]["DefaultLocale"] == locale["PackageLocale"] == "zh-CN", "the default locale differs")
    check(locale["ReleaseNotesUrl"] == DEFAULT_ENDPOINTS[1], f"release notes at {locale['ReleaseNotesUrl']}")
    check((locale["Publisher"], locale["PackageName"]) ==
          (entry_in_script("Publisher"), entry_in_script("DisplayName")),
          "the package's publisher and name are not the installed program's")

    installer = manifests["installer"]
    check((installer["InstallerType"], installer["Scope"], installer["UpgradeBehavior"]) ==
          ("nullsoft", "user", "install"), f"the installer manifest says {installer}")
    check(installer["InstallerSwitches"]["Silent"] == "/S" and "silent" in installer["InstallModes"],
          f"silent switches {installer['InstallerSwitches']}")
    downgrade = re.search(r"^!define EXIT_DOWNGRADE (\d+)", INSTALLER_SCRIPT, re.M).group(1)
    check(installer["ExpectedReturnCodes"] == [{"InstallerReturnCode": int(downgrade), "ReturnResponse": "downgrade"}],
          f"return codes {installer['ExpectedReturnCodes']}")
    key = re.search(r'^!define UNINSTALL_KEY "([^"]+)"', INSTALLER_SCRIPT, re.M).group(1)
    check(key.startswith("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"), f"the setup writes {key}")
    check(installer["ProductCode"] == key.rsplit("\\", 1)[1], f"product code {installer['ProductCode']}")
    check(installer["AppsAndFeaturesEntries"] == [{
        "DisplayName": entry_in_script("DisplayName"), "Publisher": entry_in_script("Publisher"),
        "DisplayVersion": version, "ProductCode": installer["ProductCode"]}],
        f"installed-programs entry {installer['AppsAndFeaturesEntries']}")
    check(sorted(i["Architecture"] for i in installer["Installers"]) == ["x64", "x86"], "not both architectures")
    for item in installer["Installers"]:
        setup = release(f"-{item['Architecture']}-setup.exe")
        check(item["InstallerUrl"] == f"{RELEASE_URL}/{version}/{setup.name}",
              f"{setup.name} at {item['InstallerUrl']}")
        check(item["InstallerSha256"] == sha256(setup).upper(), f"the manifest's hash of {setup.name} is wrong")

    # The schemas are no formality: what the published rules forbid, they reject.
    expect_rejected(WINGET_SCHEMAS["installer"], installer, lambda m: m.pop("PackageIdentifier"),
                    "a manifest without identifier")
    expect_rejected(WINGET_SCHEMAS["installer"], installer, lambda m: m.update(InstallerType="nsis"), "type nsis")
    expect_rejected(WINGET_SCHEMAS["installer"], installer, lambda m: m["Installers"][0].update(Architecture="amd64"),
                    "architecture amd64")
    expect_rejected(WINGET_SCHEMAS["installer"], installer,
                    lambda m: m["Installers"][1].update(InstallerSha256="A" * 63), "a short hash")
    expect_rejected(WINGET_SCHEMAS["installer"], installer, lambda m: m.update(Scope="everyone"), "scope everyone")
    expect_rejected(WINGET_SCHEMAS["installer"], installer, lambda m: m.pop("InstallerType"), "no installer type")
    expect_rejected(WINGET_SCHEMAS["version"], manifests["version"], lambda m: m.update(PackageIdentifier="Nimbrel"),
                    "an identifier without publisher")
    expect_rejected(WINGET_SCHEMAS["defaultLocale"], locale, lambda m: m.update(ReleaseNotesUrl="www.vostrand.com"),
                    "an address without scheme")
    expect_rejected(WINGET_SCHEMAS["defaultLocale"], locale, lambda m: m.pop("License"), "no licence")


def scoop_checks(version):
    manifest = scoop_manifest()
    errors = schema_errors("scoop.schema.json", manifest)
    check(not errors, f"the Scoop manifest breaks its schema: {errors}")
    check(manifest["version"] == version, f"the Scoop manifest is of version {manifest['version']}")
    sums = (DIST / "SHA256SUMS").read_text()
    for arch, name in (("x64", "64bit"), ("x86", "32bit")):
        archive = release(f"-{arch}.zip")
        entry = manifest["architecture"][name]
        check(entry["url"] == f"{RELEASE_URL}/{version}/{archive.name}", f"{archive.name} at {entry['url']}")
        check(entry["hash"] == sha256(archive), f"the Scoop manifest's hash of {archive.name} is wrong")
        # Autoupdate makes this version's address from the version, and finds its hash in the
        # SHA256SUMS published beside the file.
        update = manifest["autoupdate"]["architecture"][name]["url"]
        check(update.replace("$version", version) == entry["url"], f"autoupdate would fetch {update}")
        hashes = manifest["autoupdate"]["hash"]
        base = entry["url"].rsplit("/", 1)[0]
        check(hashes["url"].replace("$baseurl", base) == f"{RELEASE_URL}/{version}/SHA256SUMS", f"hashes at {hashes}")
        pattern = hashes["regex"].replace("$sha256", "([a-fA-F0-9]{64})").replace("$basename", re.escape(archive.name))
        found = re.search(pattern, sums)
        check(found and found.group(1) == entry["hash"], f"autoupdate finds {found} for {archive.name}")

        # What the manifest says the zip holds: the shortcut's program, and each persisted name as what it
        # is, a file or a folder (Scoop would make a missing one a folder, which the settings file is not).
        with zipfile.ZipFile(archive) as z:
            names = set(z.namelist())
        check("extract_dir" not in manifest and "extract_dir" not in entry, "the zip's files are at its top")
        for target, *_ in manifest["shortcuts"]:
            check(target in names, f"the {arch} zip has no {target} for the shortcut")
        for target in manifest.get("bin", []):
            check(target in names, f"the {arch} zip has no {target}")
        check(manifest["persist"] == ["Nimbrel.Settings", "Themes"], f"persisted {manifest['persist']}")
        check("Nimbrel.Settings" in names, f"the {arch} zip has no settings file to keep")
        check("Themes" not in names and any(n.startswith("Themes/") for n in names),
              f"the {arch} zip has no Themes folder to keep")
    check([s[1] for s in manifest["shortcuts"]] == ["Nimbrel"], f"shortcuts {manifest['shortcuts']}")

    # checkver reads the version file the program's update check reads, in the format it reads.
    check(manifest["checkver"]["url"] == DEFAULT_ENDPOINTS[0], f"checkver reads {manifest['checkver']['url']}")
    version_file = ("[DownloadURL]\r\nNimbrel=http://www.vostrand.com/d\r\n[ReleaseDate]\r\nNimbrel=2.1.2025\r\n"
                    "[CurrentVersions]\r\nOther=9.9\r\nNimbrel = 2.5.1.0\r\n[CurrentHistory]\r\n1=first\r\n")
    found = re.search(manifest["checkver"]["regex"], version_file)
    check(found and found.group(1) == "2.5.1.0", f"checkver finds {found} in a version file")

    broken_hash = lambda m: m["architecture"]["64bit"].update(hash="sha256:" + "0" * 10)
    expect_rejected("scoop.schema.json", manifest, broken_hash, "a short hash")
    expect_rejected("scoop.schema.json", manifest, lambda m: m.pop("homepage"), "a manifest without homepage")
    expect_rejected("scoop.schema.json", manifest, lambda m: m["architecture"]["32bit"].pop("hash"),
                    "a zip without hash")
    expect_rejected("scoop.schema.json", manifest, lambda m: m.update(shortcuts=[["Nimbrel.exe"]]),
                    "a shortcut without name")
    expect_rejected("scoop.schema.json", manifest, lambda m: m.update(persist={"Themes": 1}), "persist as an object")


def checksum_checks():
    listed = [line.split("  ", 1) for line in (DIST / "SHA256SUMS").read_text().splitlines()]
    check(all(len(h) == 64 for h, _ in listed), "SHA256SUMS has lines sha256sum does not write")
    check(sorted(name for _, name in listed) == [n for n in dist_files(DIST) if n != "SHA256SUMS"],
          f"SHA256SUMS lists {[name for _, name in listed]}")
    out = subprocess.run(["sha256sum", "--strict", "-c", "SHA256SUMS"], cwd=DIST, capture_output=True, text=True)
    check(out.returncode == 0 and out.stdout.count(": OK\n") == len(listed),
          f"sha256sum -c says {out.stdout}{out.stderr}")


def another_release_url():
    # The manifests' addresses come from the one build setting: made again for another address, every
    # address of the manifests is under it and nothing else changes.
    with tempfile.TemporaryDirectory() as scratch:
        other = Path(scratch)
        for path in DIST.glob("Nimbrel-*"):
            shutil.copy(path, other / path.name)
        version = release("-x64.zip").name[len("Nimbrel-"):-len("-x64.zip")]
        subprocess.run([sys.executable, str(ROOT / "tools" / "make-manifests.py"), "--dist", str(other),
                        "--version", version, "--release-url", "https://downloads.example.test/n/",
                        "--version-file-url", DEFAULT_ENDPOINTS[0], "--download-page-url", DEFAULT_ENDPOINTS[1]],
                       check=True, timeout=60)
        installer = winget_manifests(other)["installer"]
        scoop = scoop_manifest(other)
        urls = [i["InstallerUrl"] for i in installer["Installers"]] + [a["url"] for a in scoop["architecture"].values()]
        check(all(u.startswith(f"https://downloads.example.test/n/{version}/Nimbrel-") for u in urls),
              f"addresses {urls}")
        check(all(a["url"].startswith("https://downloads.example.test/n/$version/")
                  for a in scoop["autoupdate"]["architecture"].values()), "autoupdate keeps the old address")
        original = winget_manifests()["installer"]
        for item in original["Installers"]:
            item["InstallerUrl"] = item["InstallerUrl"].replace(RELEASE_URL, "https://downloads.example.test/n")
        check(installer == original, "another address changed more than the addresses")


def manifests(d):
    check(RELEASE_URL, f"the build configuration gives {BUILD_SETTINGS}")
    version = release("-x64.zip").name[len("Nimbrel-"):-len("-x64.zip")]
    winget_checks(version)
    scoop_checks(version)
    checksum_checks()
    another_release_url()


# --- under Wine ----------------------------------------------------------------------------------------
def win(path):
    return "Z:" + str(path).replace("/", "\\")


def user_folder(d):
    return d.appdata().parent.parent


def installed(d):
    return user_folder(d) / "AppData" / "Local" / "Programs" / "Nimbrel"


def start_menu(d):
    return d.appdata() / "Microsoft" / "Windows" / "Start Menu" / "Programs"


def windows_path(d, path):
    """The C: path of a file inside the prefix, as Windows programs write it."""
    return "C:\\" + str(path.relative_to(d.drive_c)).replace("/", "\\")


def uninstall_entry():
    """The values of the installed-programs entry, or None when there is no entry."""
    out = subprocess.run([WINE, "reg", "query", UNINSTALL_KEY], capture_output=True, timeout=60)
    if out.returncode != 0:
        return None
    lines = out.stdout.decode("utf-8", "replace").replace("\r", "").splitlines()
    return {m[1]: m[3] for m in (re.match(r"\s+(\S+)\s+(REG_\w+)\s+(.*)$", line) for line in lines) if m}


def startup_link(d):
    # Wine names the folder "StartUp", Windows "Startup": the file system here minds the case.
    folders = [p for p in start_menu(d).iterdir() if p.is_dir() and p.name.lower() == "startup"]
    return (folders[0] if folders else start_menu(d) / "Startup") / "Nimbrel.lnk"


def run_setup(*args):
    subprocess.run([WINE, win(release("-x64-setup.exe")), *args], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120, check=True)


def start_installed(d):
    exe = installed(d) / "Nimbrel.exe"
    proc = subprocess.Popen([WINE, win(exe)], cwd=installed(d), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    d.started.append(proc)
    check(wait_until(lambda: len(d.nimbrel_pids()) == 1, 20), "the installed Nimbrel did not start")
    time.sleep(2.5)


def icon_shows(d):
    shot = d.screenshot("installed-tray.png")
    pixels = d.region(shot, *TRAY_SLOT)
    # An empty slot is one colour; how many the picture has depends on the machine's memory use (a gauge
    # too short to show its fill leaves three).
    return len({p for row in pixels for p in row}) > 1


def clean_install_state(d):
    shutil.rmtree(installed(d), ignore_errors=True)
    for link in (start_menu(d) / "Nimbrel.lnk", startup_link(d)):
        link.unlink(missing_ok=True)
    shutil.rmtree(d.vendor_folder(), ignore_errors=True)
    subprocess.run([WINE, "reg", "delete", UNINSTALL_KEY, "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=60)


def install_upgrade_uninstall(d):
    clean_install_state(d)
    try:
        run_setup("/S")
        program = installed(d)
        check((program / "Nimbrel.exe").read_bytes() == release("-x64.exe").read_bytes(), "the program was not installed")
        check((program / "Uninstall.exe").is_file(), "no uninstaller")
        check((start_menu(d) / "Nimbrel.lnk").is_file(), "no Start-menu shortcut")
        check(startup_link(d).is_file(), "no start-up shortcut by default")
        entry = uninstall_entry() or {}
        check(entry.get("DisplayName") == "Nimbrel", f"the installed-programs entry is {entry}")
        check(entry.get("UninstallString") == f'"{windows_path(d, program / "Uninstall.exe")}"',
              f"the installed-programs entry uninstalls with {entry.get('UninstallString')}")
        check(release("-x64-setup.exe").name == f"Nimbrel-{entry.get('DisplayVersion')}-x64-setup.exe",
              f"the installed-programs entry shows version {entry.get('DisplayVersion')}")
        # winget finds the installed package by the entry its manifest names.
        listed = winget_manifests()["installer"]
        check(UNINSTALL_KEY.rsplit("\\", 1)[1] == listed["ProductCode"], f"winget looks for {listed['ProductCode']}")
        for name, value in listed["AppsAndFeaturesEntries"][0].items():
            if name != "ProductCode":
                check(entry.get(name) == value, f"the entry has {name} {entry.get(name)}, winget expects {value}")
        # Wine starts the start-up folder's programs again after `wineboot -e`, which the checks below
        # use to end sessions: the shortcut has been seen and goes.
        startup_link(d).unlink()
        themes = d.data_folder() / "Themes"
        check(sorted(p.name for p in themes.iterdir()) == THEME_NAMES, "the themes are not in the data folder")
        check(not (program / "Nimbrel.Settings").exists(), "the installed program would run portable")

        # The installed program's first start takes the start-up theme from the installed themes.
        start_installed(d)
        check(icon_shows(d), "the installed Nimbrel shows no icon")
        d.end_session()
        settings = d.data_folder() / "Nimbrel.Settings"
        check(settings.read_bytes() == settings_with(**SYSTEM_COLORS), "the first start did not apply the theme")

        # The same setup over the running program upgrades in place and keeps the settings and themes.
        settings.write_bytes(settings.read_bytes().replace(b"RedPercent=90", b"RedPercent=77"))
        (themes / "Mine.Nimbrel Theme").write_bytes(b"[NimbrelTheme]\r\n")
        (themes / "System Colors.Nimbrel Theme").write_bytes(b"[NimbrelTheme]\r\nVer=22\r\n")
        start_installed(d)
        running = d.nimbrel_pids()
        startup_link(d).write_bytes(b"")  # as the first install left it
        run_setup("/S", "/NOSTARTUP")
        check(not set(running) & set(d.nimbrel_pids()), "the upgrade left the old program running")
        # It was running, so the silent setup starts it again.
        check(wait_until(lambda: len(d.nimbrel_pids()) == 1, 20), "the upgrade did not start Nimbrel again")
        time.sleep(2)
        d.end_session()
        check(b"RedPercent=77" in settings.read_bytes(), "the upgrade lost the settings")
        check((themes / "System Colors.Nimbrel Theme").read_bytes() == b"[NimbrelTheme]\r\nVer=22\r\n",
              "the upgrade overwrote a theme the user changed")
        check(not startup_link(d).exists(), "/NOSTARTUP kept the start-up shortcut")

        # Set up once more, with the start-up option, over a damaged install: the program's files are
        # written anew, a missing theme comes back, and the start-up shortcut is there for the uninstaller.
        (program / "Nimbrel.exe").write_bytes(b"an older build")
        (program / "Uninstall.exe").unlink()
        (themes / "Windows Aero.Nimbrel Theme").unlink()
        run_setup("/S")
        check((program / "Nimbrel.exe").read_bytes() == release("-x64.exe").read_bytes(), "the upgrade kept an old exe")
        check((program / "Uninstall.exe").is_file(), "the upgrade did not write the uninstaller")
        check((themes / "Windows Aero.Nimbrel Theme").read_bytes() ==
              (THEMES / "Windows Aero.Nimbrel Theme").read_bytes(),
              "the upgrade did not bring a missing theme back")
        check(startup_link(d).is_file(), "the setup without /NOSTARTUP made no start-up shortcut")

        # The uninstaller ends the running program the way a logoff does: its settings are saved.
        start_installed(d)
        settings.write_bytes(b"")
        subprocess.run([WINE, win(program / "Uninstall.exe"), "/S"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120, check=True)
        check(wait_until(lambda: not d.nimbrel_pids(), 10), "the uninstaller left Nimbrel running")
        # The uninstaller runs from a copy of itself, so its work goes on after Uninstall.exe returned; the
        # entry is the last thing it removes, after the folder and the shortcuts.
        check(wait_until(lambda: uninstall_entry() is None, 30, 0.5), "the installed-programs entry stayed")
        check(not program.exists(), "the program folder was not removed")
        check(not (start_menu(d) / "Nimbrel.lnk").exists(), "the Start-menu shortcut was not removed")
        check(not startup_link(d).exists(), "the start-up shortcut was not removed")
        check(b"RedPercent=77" in settings.read_bytes(), "the running Nimbrel did not save its settings")
        check((themes / "Mine.Nimbrel Theme").is_file(), "the uninstaller removed the user's themes")
    finally:
        clean_install_state(d)


def setup_shown():
    return bool(subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Nimbrel"], capture_output=True,
                               text=True).stdout.strip())


def launch_box(d):
    """The finish page's "launch Nimbrel" check box as (class, text, rect, checked), or None before it shows."""
    return next((c for c in list_controls(d, SETUP_TITLE) if c[0] == "Button" and c[1].startswith("运行 Nimbrel")),
                None)


def installer_pages(d):
    clean_install_state(d)
    proc = subprocess.Popen([WINE, win(release("-x64-setup.exe"))], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        # The directory and components pages, then cancelled: nothing is installed.
        check(wait_until(setup_shown, 30, 0.5), "the setup shows no window")
        time.sleep(1.5)
        d.screenshot("setup-directory.png")
        subprocess.run(["xdotool", "key", "Return"], check=True)
        time.sleep(1.5)
        d.screenshot("setup-components.png")
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        time.sleep(1)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        proc.wait(timeout=30)
        check(not installed(d).exists(), "cancelling the setup installed something")

        # Again, on through the install to the finish page, whose ticked box launches the installed program.
        proc = subprocess.Popen([WINE, win(release("-x64-setup.exe"))], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        check(wait_until(setup_shown, 30, 0.5), "the setup shows no window the second time")
        time.sleep(1.5)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        time.sleep(1.5)
        subprocess.run(["xdotool", "key", "Return"], check=True)
        check(wait_until(lambda: launch_box(d) is not None, 60, 0.5), "the setup did not reach its finish page")
        time.sleep(1)
        d.screenshot("setup-finish.png")
        check(launch_box(d)[3] == 1, "the finish page's launch box is not ticked")
        check((installed(d) / "Nimbrel.exe").is_file(), "the finish page shows before the program is installed")
        check(not d.nimbrel_pids(), "Nimbrel started before the finish page was closed")
        subprocess.run(["xdotool", "key", "Return"], check=True)
        proc.wait(timeout=30)
        check(wait_until(lambda: len(d.nimbrel_pids()) == 1, 20), "the finish page did not launch Nimbrel")
        started = (Path("/proc") / str(d.nimbrel_pids()[0]) / "cmdline").read_bytes().split(b"\0")[0]
        check(started.decode("utf-8", "replace").lower() == windows_path(d, installed(d) / "Nimbrel.exe").lower(),
              f"the finish page launched {started}")
    finally:
        if proc.poll() is None:
            proc.kill()
        d.stop_all()
        clean_install_state(d)


def portable_zip(d):
    with zipfile.ZipFile(release("-x64.zip")) as z:
        z.extractall(d.folder / "unpacked")
    folder = d.folder / "unpacked"
    proc = subprocess.Popen([WINE, d.win_folder + "\\unpacked\\Nimbrel.exe"], cwd=folder, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    d.started.append(proc)
    check(wait_until(lambda: len(d.nimbrel_pids()) == 1, 20), "the unpacked Nimbrel did not start")
    time.sleep(2.5)
    d.end_session()
    check(b"[General]" in (folder / "Nimbrel.Settings").read_bytes(), "the settings beside the exe were not written")
    check(not d.vendor_folder().exists(), "the unpacked program created the data folder")


def file_version(path):
    """The version in the fixed part of a program's version resource."""
    data = path.read_bytes()
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    check(at > 0, f"{path.name} has no version resource")
    high, low = struct.unpack_from("<II", data, at + 8)
    return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"


def older_setup(d):
    """A setup of the older build of the program, made as tools/package makes the release's."""
    exe = (d.tools / "Nimbrel_older.exe").resolve()
    version = file_version(exe)
    setup = d.artifacts / f"Nimbrel-{version}-x64-setup.exe"
    subprocess.run(["makensis", "-V2", "-INPUTCHARSET", "UTF8", "-DARCH=x64", f"-DVERSION={version}", f"-DEXE={exe}",
                    f"-DTHEMES={THEMES}", f"-DOUTFILE={setup}", str(ROOT / "packaging" / "installer.nsi")],
                   check=True, timeout=120)
    return setup, version


def setup_code(setup, *args):
    return subprocess.run([WINE, win(setup), *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=120).returncode


def running_installed(d):
    """The Linux ids of the Nimbrel processes started from the install folder, by its C: path (as the setup
    starts it) or its Z: path (as the tests do)."""
    exe = installed(d) / "Nimbrel.exe"
    paths = {windows_path(d, exe).lower().encode(), win(exe).lower().encode()}
    return [pid for pid, argv0 in d.session_processes() if argv0.lower() in paths]


# A message the setup shows before its own window has its title, such as the refused downgrade's, has the
# title without the blank.
MESSAGE_TITLE = SETUP_TITLE.rstrip()


def refusal_text(d):
    """The refused downgrade's message, or None while it does not show. Its text runs over several lines,
    which list_controls does not read: the lines of the tool that lists the controls, as they are."""
    exe = "Z:" + str(d.tools / "dialog_poke.exe").replace("/", "\\")
    try:
        out = subprocess.run([WINE, exe, "list", MESSAGE_TITLE], capture_output=True, timeout=30).stdout
    except subprocess.TimeoutExpired:
        return None
    text = out.decode("utf-8", "replace")
    return text if "较新版本" in text else None


def upgrade_older(d):
    clean_install_state(d)
    setup, older = older_setup(d)
    current = release("-x64-setup.exe")
    version = current.name[len("Nimbrel-"):-len("-x64-setup.exe")]
    check([int(p) for p in older.split(".")] < [int(p) for p in version.split(".")], f"{older} is not older")
    program = installed(d)
    try:
        check(setup_code(setup, "/S", "/NOSTARTUP") == 0, "the older setup failed")
        check((program / "Nimbrel.exe").read_bytes() == (d.tools / "Nimbrel_older.exe").read_bytes(),
              "the older program was not installed")
        check((uninstall_entry() or {}).get("DisplayVersion") == older, "the entry does not show the older version")
        start_installed(d)
        d.end_session()
        settings = d.data_folder() / "Nimbrel.Settings"
        themes = d.data_folder() / "Themes"
        settings.write_bytes(settings.read_bytes().replace(b"RedPercent=90", b"RedPercent=77"))
        (themes / "Mine.Nimbrel Theme").write_bytes(b"[NimbrelTheme]\r\n")
        (themes / "System Colors.Nimbrel Theme").write_bytes(b"[NimbrelTheme]\r\nVer=22\r\n")

        # The newer setup while the older program runs from the install folder: it ends the program, which
        # saves what it holds (the file is emptied meanwhile), replaces it and starts the new one.
        start_installed(d)
        older_pids = running_installed(d)
        check(len(older_pids) == 1, "the older program does not run from the install folder")
        settings.write_bytes(b"")
        check(setup_code(current, "/S", "/NOSTARTUP") == 0, "the upgrade failed")
        check(not set(older_pids) & set(d.nimbrel_pids()), "the upgrade left the older program running")
        check(b"RedPercent=77" in settings.read_bytes(), "the older program did not save its settings when ended")
        check((program / "Nimbrel.exe").read_bytes() == release("-x64.exe").read_bytes(),
              "the upgrade kept the older exe")
        check((uninstall_entry() or {}).get("DisplayVersion") == version, "the entry still shows the older version")
        check((themes / "Mine.Nimbrel Theme").is_file(), "the upgrade removed the user's theme")
        check((themes / "System Colors.Nimbrel Theme").read_bytes() == b"[NimbrelTheme]\r\nVer=22\r\n",
              "the upgrade overwrote a theme the user changed")
        check(wait_until(lambda: len(running_installed(d)) == 1, 20), "the upgrade did not start Nimbrel again")
        newer_pids = running_installed(d)
        time.sleep(2)

        # The older setup over the newer install, silently: refused with the code package managers know,
        # before it ends or touches anything.
        code = winget_manifests()["installer"]["ExpectedReturnCodes"][0]["InstallerReturnCode"]
        check(setup_code(setup, "/S") == code, "the silent downgrade was not refused with the downgrade code")
        check((program / "Nimbrel.exe").read_bytes() == release("-x64.exe").read_bytes(), "the refused downgrade wrote")
        check((uninstall_entry() or {}).get("DisplayVersion") == version, "the refused downgrade changed the entry")
        check(running_installed(d) == newer_pids, "the refused downgrade ended the running program")

        # Interactively: a message names both versions, and its button ends the setup the same way.
        proc = subprocess.Popen([WINE, win(setup)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            check(wait_until(lambda: refusal_text(d) is not None, 30, 0.5), "the older setup shows no refusal")
            text = refusal_text(d)
            check(version in text and older in text and "卸载" in text, f"the refusal says {text!r}")
            time.sleep(1)
            d.screenshot("setup-downgrade-refused.png")
            button = next(c for c in list_controls(d, MESSAGE_TITLE) if c[0] == "Button")
            click(button[2])
            check(proc.wait(timeout=30) == code, f"the refused setup ended with {proc.returncode}")
        finally:
            if proc.poll() is None:
                proc.kill()
        check(not list_controls(d, SETUP_TITLE) and not list_controls(d, MESSAGE_TITLE),
              "the refused setup left a window")
        check((program / "Nimbrel.exe").read_bytes() == release("-x64.exe").read_bytes(), "the refused downgrade wrote")
        check(running_installed(d) == newer_pids, "the refused downgrade ended the running program")

        # Asked for in silent mode, the downgrade goes through like an upgrade.
        settings.write_bytes(b"")
        check(setup_code(setup, "/S", "/ALLOWDOWNGRADE") == 0, "the downgrade asked for failed")
        check(not set(newer_pids) & set(d.nimbrel_pids()), "the downgrade left the newer program running")
        check(b"RedPercent=77" in settings.read_bytes(), "the newer program did not save its settings when ended")
        check((program / "Nimbrel.exe").read_bytes() == (d.tools / "Nimbrel_older.exe").read_bytes(),
              "the downgrade kept the newer exe")
        check((uninstall_entry() or {}).get("DisplayVersion") == older, "the downgrade did not change the entry")
        check(wait_until(lambda: len(running_installed(d)) == 1, 20), "the downgrade did not start Nimbrel again")
    finally:
        d.stop_all()
        clean_install_state(d)


def scoop_persist(d):
    """The portable zip installed as Scoop installs it: unpacked into a folder of its version, each persisted
    name moved to the persist folder and linked back, the settings file by a hard link and the themes as a
    folder. The program's save reaches the persisted file, which the next version's folder links again."""
    manifest = scoop_manifest()
    apps, persist = d.folder / "apps" / "nimbrel" / manifest["version"], d.folder / "persist" / "nimbrel"
    persist.mkdir(parents=True)
    with zipfile.ZipFile(release("-x64.zip")) as z:
        z.extractall(apps)
    for name in manifest["persist"]:
        (apps / name).rename(persist / name)
        if (persist / name).is_dir():
            (apps / name).symlink_to(persist / name, target_is_directory=True)
        else:
            os.link(persist / name, apps / name)
    exe = f"{d.win_folder}\\apps\\nimbrel\\{manifest['version']}\\Nimbrel.exe"
    d.started.append(subprocess.Popen([WINE, exe], cwd=apps, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    check(wait_until(lambda: len(d.nimbrel_pids()) == 1, 20), "the program Scoop installed did not start")
    time.sleep(2.5)
    d.end_session()
    check(b"[General]" in (persist / "Nimbrel.Settings").read_bytes(), "the save did not reach the persisted file")
    check((apps / "Nimbrel.Settings").stat().st_ino == (persist / "Nimbrel.Settings").stat().st_ino,
          "the save parted the program's settings file from the persisted one")
    check(not d.vendor_folder().exists(), "the program Scoop installed did not run portable")


TESTS = {
    "package_files": release_files,
    "package_manifests": manifests,
    "package_install": install_upgrade_uninstall,
    "package_setup_pages": installer_pages,
    "package_portable_zip": portable_zip,
    "package_upgrade_older": upgrade_older,
    "package_scoop_persist": scoop_persist,
}

if __name__ == "__main__":
    sys.exit(run(TESTS))
