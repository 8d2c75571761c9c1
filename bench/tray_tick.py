#!/usr/bin/env python3
"""CPU time per refresh tick of Nimbrel at a 100 ms refresh rate, measured from outside (the Linux
scheduler's run time of every thread of the program's Wine process), against the minimal meter
(nimbrel_minimal_tray.exe meter 100), in the running Wine session: once with a reading that differs at
every tick (Nimbrel_changing.exe: physical memory moving, so that picture and tooltip change at every
tick, or the page file alone, so that only the tooltip does; the meter shifts its reading alike), and
once with the machine's own. Each case runs the meter, Nimbrel, the meter again, SECONDS each.

usage: tray_tick.py BENCH_FOLDER NIMBREL_EXE SECONDS
BENCH_FOLDER holds nimbrel_minimal_tray.exe, nimbrel_tray_bench.exe and Nimbrel_changing.exe.
"""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from wine_desktop import session_processes  # noqa: E402

WINE = os.environ.get("WINE", "/usr/lib/wine/wine64")


def windows_path(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def wine_pids(image):
    """Linux ids of the session's processes running `image` (a Windows path)."""
    return [pid for pid, argv0 in session_processes(os.environ["WINEPREFIX"])
            if argv0.decode(errors="replace").lower() == image.lower()]


def run_time_ns(pid):
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total


def cpu_per_tick(exe, args, window_class, driver, seconds, env=None):
    """Milliseconds of CPU per 100 ms of wall time, after a settling start."""
    proc = subprocess.Popen([WINE, exe, *args], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, env={**os.environ, **(env or {})})
    try:
        pids = []
        for _ in range(100):
            pids = wine_pids(exe)
            if pids:
                break
            time.sleep(0.1)
        if not pids:
            raise SystemExit(f"{exe} did not start")
        time.sleep(3)
        before = sum(run_time_ns(p) for p in pids)
        start = time.monotonic()
        time.sleep(seconds)
        used = sum(run_time_ns(p) for p in pids) - before
        ticks = (time.monotonic() - start) / 0.1
        return used / 1e6 / ticks
    finally:
        subprocess.run([WINE, driver, "end", window_class], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()


def prepare(source, name):
    """A copy of the program as Nimbrel.exe in a folder of its own, with a portable settings file."""
    folder = Path(os.environ["WINEPREFIX"]) / "drive_c" / "nimbrel-tick-bench" / name
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    shutil.copy2(source, folder / "Nimbrel.exe")
    (folder / "Nimbrel.Settings").write_bytes(b"[General]\r\nShowPercentage=0\r\nRefreshRate=100\r\n")
    return "C:\\nimbrel-tick-bench\\" + name + "\\Nimbrel.exe"


def main():
    bench, nimbrel, seconds = Path(sys.argv[1]), sys.argv[2], float(sys.argv[3])
    minimal = windows_path(bench / "nimbrel_minimal_tray.exe")
    driver = windows_path(bench / "nimbrel_tray_bench.exe")
    changing = prepare(bench / "Nimbrel_changing.exe", "changing")
    cases = [("picture and tooltip changing at every tick", changing, "physical"),
             ("tooltip alone changing at every tick", changing, "pagefile"),
             ("steady", prepare(nimbrel, "steady"), None)]
    for name, exe, where in cases:
        meter = ["meter", "100", *([where] if where else [])]
        floor_before = cpu_per_tick(minimal, meter, "NimbrelMinimalTray", driver, seconds)
        measured = cpu_per_tick(exe, [], "TFrmNimbrelMain", driver, seconds,
                                {"NIMBREL_CHANGING": where} if where else None)
        floor_after = cpu_per_tick(minimal, meter, "NimbrelMinimalTray", driver, seconds)
        floor = (floor_before + floor_after) / 2
        print(f"tick, {name}, {seconds:.0f} s each: minimal meter {floor:.3f} ms CPU per tick "
              f"({floor_before:.3f}, {floor_after:.3f}), Nimbrel {measured:.3f} ms: {measured / floor:.2f} x",
              flush=True)


if __name__ == "__main__":
    main()
