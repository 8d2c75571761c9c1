#!/usr/bin/env python3
"""Memory of the program at idle, measured from outside against the minimal meter
(nimbrel_minimal_tray.exe meter 1000, which paints its reading into a new icon every second), in the
running Wine session: the Linux process's private anonymous pages (RssAnon) and its resident set (VmRSS),
SECONDS after each start, one program at a time.

usage: idle_memory.py BENCH_FOLDER SECONDS NIMBREL_EXE...
BENCH_FOLDER holds nimbrel_minimal_tray.exe; each NIMBREL_EXE runs portable from a folder of its own.
"""
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from wine_desktop import session_processes  # noqa: E402

WINE = os.environ.get("WINE", "/usr/lib/wine/wine64")


def status_kb(pid, field):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith(field + ":"):
            return int(line.split()[1])
    return 0


def measure(command, image, seconds, cwd=None):
    """(private MB, resident MB) of the processes running `image`, `seconds` after the start."""
    proc = subprocess.Popen([WINE, *command], cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        pids = []
        for _ in range(100):
            pids = [pid for pid, argv0 in session_processes(os.environ["WINEPREFIX"])
                    if argv0.decode(errors="replace").lower().endswith(image.lower())]
            if pids:
                break
            time.sleep(0.1)
        if not pids:
            raise SystemExit(f"{image} did not start")
        time.sleep(seconds)
        private = sum(status_kb(p, "RssAnon") for p in pids) / 1024
        resident = sum(status_kb(p, "VmRSS") for p in pids) / 1024
        return private, resident
    finally:
        for pid, argv0 in list(session_processes(os.environ["WINEPREFIX"])):
            if argv0.decode(errors="replace").lower().endswith(image.lower()):
                os.kill(pid, signal.SIGKILL)
        proc.wait(timeout=30)
        time.sleep(1)


def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    bench, seconds, exes = Path(sys.argv[1]), float(sys.argv[2]), sys.argv[3:]
    meter = "Z:" + str((bench / "nimbrel_minimal_tray.exe").resolve()).replace("/", "\\")
    floor = measure([meter, "meter", "1000"], "nimbrel_minimal_tray.exe", seconds)
    print(f"minimal meter: private {floor[0]:.1f} MB, resident {floor[1]:.1f} MB")
    for i, exe in enumerate(exes):
        folder = Path(os.environ["WINEPREFIX"]) / "drive_c" / "idle-memory" / str(i)
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        shutil.copy2(exe, folder / "Nimbrel.exe")
        # Portable, and a percentage shown: no welcome balloon.
        (folder / "Nimbrel.Settings").write_bytes(b"[General]\r\nShowPercentage=1\r\n")
        private, resident = measure([f"C:\\idle-memory\\{i}\\Nimbrel.exe"], "nimbrel.exe", seconds, cwd=folder)
        print(f"{exe}: private {private:.1f} MB ({private / floor[0]:.2f} x), resident {resident:.1f} MB "
              f"({resident - floor[1]:+.1f} MB)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
