#!/usr/bin/env python3
"""Memory of the program after use, measured from outside in the running Wine session, against its own
idle figure: started portable with the defaults, measured SECONDS after the start (as idle_memory.py
does), then the tray menu, the options dialog and the About window with its update check are each
opened and closed once, and it is measured after each (the last SECONDS after its close). The floor does
the same in the same session: the minimal meter (nimbrel_minimal_tray.exe meter 1000 used) pops a menu,
shows a dialog with tabs and makes one HTTPS request in itself, the least each use needs, and is measured
after each. Also the time from the start to the icon in the notification area, for the program and for
the minimal meter (median of three starts).

usage: used_memory.py BENCH_FOLDER SECONDS NIMBREL_EXE
BENCH_FOLDER holds nimbrel_minimal_tray.exe; the end-to-end tools are those of the same build."""
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from idle_memory import status_kb  # noqa: E402
from options import open_options  # noqa: E402
from run import click, crlf, list_controls, menu_rows, open_tray_menu  # noqa: E402
from wine_desktop import WINE, Desktop, check, wait_until  # noqa: E402


def memory(d, pids=None):
    pids = d.nimbrel_pids() if pids is None else pids
    return (sum(status_kb(p, "RssAnon") for p in pids) / 1024, sum(status_kb(p, "VmRSS") for p in pids) / 1024)


def floor_after_use(d, bench, seconds):
    """The meter's (private, resident) at idle and after each of its uses, as (name, figures) pairs."""
    subprocess.Popen([WINE, str(bench / "nimbrel_minimal_tray.exe"), "meter", "1000", "used"], cwd=d.folder,
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def meter():
        return [pid for pid, argv0 in d.session_processes() if argv0.lower().endswith(b"nimbrel_minimal_tray.exe")]
    check(wait_until(lambda: bool(meter()), 20), "the meter did not start")
    time.sleep(seconds)
    steps = [("idle", memory(d, meter()))]
    for use, name in (("use-menu", "the menu"), ("use-dialog", "the options"), ("use-http", "the About window and its check")):
        (d.folder / use).touch()
        check(wait_until(lambda: (d.folder / f"{use}.done").exists(), 30), f"the meter did not do {use}")
        time.sleep(2 if use != "use-http" else seconds)
        steps.append((name, memory(d, meter())))
    d.end_session()
    return steps


def icon_shown(d):
    """Whether the first slot of the notification area shows anything but the taskbar."""
    raw = subprocess.run(["import", "-window", "root", "-crop", "16x16+1006+750", "+repage", "-depth", "8", "rgb:-"],
                         capture_output=True, timeout=30).stdout
    behind = subprocess.run(["import", "-window", "root", "-crop", "1x1+600+760", "+repage", "-depth", "8", "rgb:-"],
                            capture_output=True, timeout=30).stdout
    return any(raw[i:i + 3] != behind for i in range(0, len(raw), 3))


def start_to_icon(d, command):
    start = time.monotonic()
    subprocess.Popen(command, cwd=d.folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    check(wait_until(lambda: icon_shown(d), 20, 0.02), f"no icon from {command[1]}")
    return time.monotonic() - start


def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    bench, seconds, exe = Path(sys.argv[1]).resolve(), float(sys.argv[2]), sys.argv[3]
    d = Desktop("used_memory", exe, bench.parent.parent / "tests" / "e2e").fresh()
    (d.folder / "Nimbrel.Settings").write_bytes(crlf("default.Settings"))
    d.start_and_wait_ready()
    time.sleep(seconds)
    idle = memory(d)

    subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
    d.run_tool("dialog_poke", "hide-tips")  # a first start's welcome balloon lies over the icon
    steps = []
    menu = open_tray_menu(d)
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    time.sleep(2)
    steps.append(("the menu", memory(d)))
    open_options(d)
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    time.sleep(2)
    steps.append(("the options", memory(d)))
    menu = open_tray_menu(d)
    row = menu[4] + 7
    processes = round((menu[3] - menu[1] - 6 - (9 * row + 5 * 6)) / row)
    subprocess.run(["xdotool", "mousemove", str(menu[0] + 60), str(menu_rows(menu, processes)[-2][1]), "click", "1"],
                   check=True)
    check(wait_until(lambda: bool(list_controls(d, "关于")), 10, 0.5), "no About window")
    time.sleep(3)  # the update check runs its course (no network here: it fails)
    click(next(c for c in list_controls(d, "关于") if c[1] == "确定")[2])
    time.sleep(seconds)
    used = memory(d)
    steps.append(("the About window and its check", used))
    d.end_session()
    floor = floor_after_use(d, bench, seconds)

    starts = {"meter": [], "nimbrel": []}
    for _ in range(3):
        starts["meter"].append(start_to_icon(d, [WINE, str(bench / "nimbrel_minimal_tray.exe"), "meter", "1000"]))
        d.end_session()
        check(wait_until(lambda: not icon_shown(d), 10, 0.1), "the meter's icon stayed")
        starts["nimbrel"].append(start_to_icon(d, [WINE, d.win_folder + "\\Nimbrel.exe"]))
        d.end_session()
        check(wait_until(lambda: not icon_shown(d), 10, 0.1), "Nimbrel's icon stayed")
    meter, nimbrel = statistics.median(starts["meter"]), statistics.median(starts["nimbrel"])
    print(f"Nimbrel at idle: private {idle[0]:.1f} MB, resident {idle[1]:.1f} MB; "
          f"meter: private {floor[0][1][0]:.1f} MB, resident {floor[0][1][1]:.1f} MB")
    base = floor[0][1]
    for (name, (private, resident)), (_, (floor_private, floor_resident)) in zip(steps, floor[1:]):
        print(f"after {name}: private {private:.1f} MB ({private - idle[0]:+.1f}; meter {floor_private - base[0]:+.1f}), "
              f"resident {resident:.1f} MB ({resident - idle[1]:+.1f}; meter {floor_resident - base[1]:+.1f})")
    print(f"start to icon: Nimbrel {nimbrel * 1000:.0f} ms, meter {meter * 1000:.0f} ms ({nimbrel / meter:.2f} x)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
