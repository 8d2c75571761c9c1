#!/usr/bin/env python3
"""Tests of the release files that tools/package made in build/dist (NIMBREL_DIST): what they are, and
under Wine the installer, the installed program, the uninstaller and the portable zip, as a user meets
them."""
import os
import re
import shutil
import struct
import subprocess
import sys
import time
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from run import TRAY_SLOT, list_controls, settings_with  # noqa: E402
from themes import SYSTEM_COLORS  # noqa: E402
from wine_desktop import WINE, check, run, wait_until  # noqa: E402

DIST = Path(os.environ.get("NIMBREL_DIST", Path(__file__).resolve().parents[2] / "build" / "dist"))
THEMES = Path(__file__).resolve().parents[2] / "packaging" / "themes"
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


# The update check's default addresses, as the build configuration gives them.
DEFAULT_ENDPOINTS = re.findall(r'set\(NIMBREL_(?:VERSION_FILE|DOWNLOAD_PAGE)_URL "([^"]+)"',
                               (Path(__file__).resolve().parents[2] / "src" / "CMakeLists.txt").read_text())


def release_files(d):
    for arch, machine in MACHINES.items():
        exe = release(f"-{arch}.exe")
        got, symbols_at, symbols, sections = pe_header(exe)
        check(got == machine, f"{exe.name} is built for machine {got:#x}")
        check(symbols_at == 0 and symbols == 0 and not any(s.startswith(".debug") or s.startswith("/")
                                                           for s in sections), f"{exe.name} is not stripped")
        check(exe.stat().st_size < 700 * 1024, f"{exe.name} is {exe.stat().st_size} bytes")
        # The shipped program checks for updates at the configured addresses, never at a test server's.
        data = exe.read_bytes()
        check(len(DEFAULT_ENDPOINTS) == 2, f"the build configuration gives {DEFAULT_ENDPOINTS}")
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
    # tools/test builds the release a second time elsewhere: the same commit gives the same bytes.
    again = DIST.parent / "dist-again"
    if again.is_dir():
        for path in sorted(DIST.iterdir()):
            check((again / path.name).read_bytes() == path.read_bytes(), f"{path.name} differs between two builds")
    else:
        check(os.environ.get("NIMBREL_SINGLE_BUILD") == "1", "no second build to compare: run tools/test")


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
        startup_link(d).write_bytes(b"")  # as the first install left it
        run_setup("/S", "/NOSTARTUP")
        check(wait_until(lambda: not d.nimbrel_pids(), 10), "the upgrade left the old program running")
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


TESTS = {
    "package_files": release_files,
    "package_install": install_upgrade_uninstall,
    "package_setup_pages": installer_pages,
    "package_portable_zip": portable_zip,
}

if __name__ == "__main__":
    sys.exit(run(TESTS))
