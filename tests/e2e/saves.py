#!/usr/bin/env python3
"""A save cut off at any instant leaves the settings file whole: the old settings or the new ones."""
import os
import random
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from wine_desktop import WINE, check, run  # noqa: E402

KILLS = 200


def saves_survive_kills(d):
    tool = "Z:" + str(d.tools / "save_loop.exe").replace("/", "\\")
    expected = {}
    for variant in ("A", "B"):
        subprocess.run([WINE, tool, f"{d.win_folder}\\{variant}.Settings", variant], check=True, timeout=60)
        expected[variant] = (d.folder / f"{variant}.Settings").read_bytes()
    check(expected["A"] != expected["B"], "the two settings are the same file")
    target = d.folder / "Nimbrel.Settings"
    target.write_bytes(expected["A"])
    rng = random.Random(20261209)
    seen = {"A": 0, "B": 0}
    for kill in range(KILLS):
        proc = subprocess.Popen([WINE, tool, f"{d.win_folder}\\Nimbrel.Settings", "loop"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(rng.uniform(0.05, 0.6))
        os.kill(proc.pid, 9)
        proc.wait(timeout=30)
        content = target.read_bytes()
        which = [v for v, data in expected.items() if data == content]
        check(which, f"kill {kill + 1}: the file is neither the old nor the new settings:\n{content[:400]!r}")
        seen[which[0]] += 1
    check(seen["A"] > 0 and seen["B"] > 0, f"the kills never caught both states: {seen}")
    print(f"{KILLS} kills: {seen}")


TESTS = {"saves_survive_kills": saves_survive_kills}

if __name__ == "__main__":
    sys.exit(run(TESTS))
