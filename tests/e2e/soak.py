#!/usr/bin/env python3
"""Soaks of the program as it runs all day: the tray menu opened over and over, the options dialog
opened and cancelled, the About window's update check run against a loopback server that answers 500.
The program's own object counts (WM_OBJECT_COUNTS) and its handle count must end where they started.
NIMBREL_SOAK_SCALE multiplies the rounds (1: 100 menus, 20 dialogs, 20 checks; 10: the long soak)."""
import os
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from run import settings_with  # noqa: E402
from update import Server  # noqa: E402
from wine_desktop import WINE, check, run, wait_until  # noqa: E402

SCALE = int(os.environ.get("NIMBREL_SOAK_SCALE", "1"))
KINDS = ("handles", "icons", "bitmaps", "fonts", "dcs", "brushes", "menus")
# Handles the system opens for a process now and then (a thread pool's waits, a registry key).
HANDLE_SLACK = 8


def soak(d, command, rounds):
    tool = "Z:" + str(d.tools / "tray_soak.exe").replace("/", "\\")

    def counts():
        out = subprocess.run([WINE, tool, "counts"], capture_output=True, timeout=60)
        check(out.returncode == 0, f"no counts from the program: {out.stdout!r}")
        return dict(zip(KINDS, (int(v) for v in out.stdout.split())))

    check(wait_until(lambda: subprocess.run([WINE, tool, "counts"], capture_output=True, timeout=60).returncode == 0,
                     20, 0.5), "the program does not answer")
    time.sleep(1.0)
    # The first rounds make what is kept for the run (menu icons, the link labels' hover font, the
    # dialog's resources).
    warm = subprocess.run([WINE, tool, command, "5"], capture_output=True, timeout=120)
    check(warm.returncode == 0, f"{command}: {warm.stdout.decode(errors='replace')}")
    before = counts()
    out = subprocess.run([WINE, tool, command, str(rounds)], capture_output=True, timeout=60 + rounds * 5)
    check(out.returncode == 0, f"{command}: {out.stdout.decode(errors='replace')}")
    if out.stderr.strip():
        print(out.stderr.decode(errors="replace").strip())
    after = counts()
    print(f"{command} x{rounds}: before {before}, after {after}")
    grown = {k: (before[k], after[k]) for k in KINDS[1:] if after[k] != before[k]}
    check(not grown, f"{command} x{rounds}: the program's objects changed: {grown}")
    check(before["handles"] > 0, "the program counted no handles")
    check(after["handles"] <= before["handles"] + HANDLE_SLACK,
          f"{command} x{rounds}: handles {before['handles']} -> {after['handles']}")


def menu_and_options(d):
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with(DoubleClickAction=3))
    d.start_and_wait_ready()
    soak(d, "menu", 100 * SCALE)
    soak(d, "options", 20 * SCALE)


def update_checks(d):
    server = Server("status:500")
    try:
        (d.folder / "Nimbrel.Settings").write_bytes(settings_with())
        d.start_and_wait_ready()
        soak(d, "about", 20 * SCALE)
        check(server.requests >= 20 * SCALE, f"only {server.requests} checks reached the server")
    finally:
        server.close()


TESTS = {"soak_menu_and_options": menu_and_options, "soak_update_checks": update_checks}

if __name__ == "__main__":
    sys.exit(run(TESTS))
