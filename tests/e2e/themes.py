#!/usr/bin/env python3
"""End-to-end test of the first start's theme: the real program, portable, with the shipped start-up
theme files in "Themes\\" beside it."""
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from run import find_picture, parse_candidates, settings_with  # noqa: E402
from wine_desktop import WINE, check, run  # noqa: E402

THEMES = Path(__file__).resolve().parents[2] / "packaging" / "themes"
# Wine reports Windows 6 or later with composition off, and its light visual style names the colour
# scheme "Blue", not "NormalColor": style code 5, the system colours.
SYSTEM_COLORS = {
    "OpaqueBkColor": "ThreeDFace", "BarBorderColor": "ThreeDDarkShadow", "GreenColor": "Highlight",
    "FullBarColor": "ButtonShadow", "TransBk": 0, "FullBar": 1,
    "Color": -16777198,  # the font takes ButtonText, system colour 18
}


def first_start_applies_the_system_colours_theme_once(d):
    beside = d.folder / "Nimbrel.Settings"
    beside.write_bytes(b"")
    shutil.copytree(THEMES, d.folder / "Themes")
    # What the file must hold once the program has saved, for the painter tool to paint from meanwhile.
    expected = d.folder / "expected.Settings"
    expected.write_bytes(settings_with(**SYSTEM_COLORS))
    d.start_and_wait_ready()
    # The picture on screen is what the painter paints from those settings, pixel for pixel. The amount
    # on it moves with the machine's memory: the painter paints right after each screenshot, a few times.
    found = None
    for attempt in range(5):
        shot = d.screenshot(f"running-{attempt}.png")
        out = subprocess.run([WINE, str(d.tools / "paint_picture.exe"), d.win_folder + "\\expected.Settings", "100"],
                             capture_output=True, timeout=120).stdout.decode("ascii", "replace")
        candidates = parse_candidates(out)
        check(len(candidates) >= 101, f"the painter tool gave {len(candidates)} pictures")
        found = find_picture(d.region(shot, 996, 744, 28, 24), candidates, None)
        if found is not None:
            break
        time.sleep(1)
    d.end_session()
    check(beside.read_bytes() == expected.read_bytes(),
          "the settings file does not hold the System Colors theme:\n" + beside.read_text("latin-1"))
    check(found is not None, "the tray shows no picture of the theme's colours")

    # A second start is no first start: a changed theme file is not read again.
    theme = d.folder / "Themes" / "System Colors.Nimbrel Theme"
    theme.write_bytes(theme.read_bytes().replace(b"GreenColor=Highlight", b"GreenColor=123456"))
    d.start_and_wait_ready()
    d.end_session()
    check(beside.read_bytes() == settings_with(**SYSTEM_COLORS), "the second start applied the theme again")


TESTS = {"startup_theme": first_start_applies_the_system_colours_theme_once}

if __name__ == "__main__":
    sys.exit(run(TESTS))
