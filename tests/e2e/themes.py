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
        d.run_tool("dialog_poke", "hide-tips")
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


PERSONALIZE = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize"


def set_light_taskbar(light):
    subprocess.run([WINE, "reg", "add", PERSONALIZE, "/v", "SystemUsesLightTheme", "/t", "REG_DWORD", "/d",
                    "1" if light else "0", "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True,
                   timeout=60)


def tray_colours(d, name):
    """How many pixels of the tray's corner have the dark and the light taskbar theme's background."""
    area = d.region(d.screenshot(name), 996, 744, 28, 24)
    pixels = [p for row in area for p in row]
    return pixels.count((0x20, 0x20, 0x20)), pixels.count((0xF3, 0xF3, 0xF3))


def transparent_on_dark_and_light_taskbars(d, beside):
    """A transparent picture on the taskbar itself: white digits on a dark one, black on a light one.
    Wine paints its taskbar in the menu colour it reads at the session's start."""
    colours = r"HKCU\Control Panel\Colors"
    menu = d.read_registry(colours, "Menu")
    beside.write_bytes(settings_with(FollowTaskbarMode=1, TransBk=1, ShowPercentage=1))
    try:
        for light, taskbar, digits in ((False, (32, 32, 32), (255, 255, 255)), (True, (243, 243, 243), (0, 0, 0))):
            name = "light" if light else "dark"
            set_light_taskbar(light)
            d.set_registry(colours, "Menu", " ".join(map(str, taskbar)))
            d.restart_session(f"with a {name} taskbar")
            d.start_and_wait_ready()
            area = d.region(d.screenshot(f"on-{name}-taskbar.png"), 1004, 748, 20, 20)
            pixels = [p for row in area for p in row]
            check(pixels.count(digits) >= 8 and pixels.count(taskbar) >= 200,
                  f"on a {name} taskbar: {pixels.count(digits)} digit and {pixels.count(taskbar)} taskbar pixels")
            d.end_session()
    finally:
        if menu is not None:
            d.set_registry(colours, "Menu", menu)
            d.restart_session("with the taskbar's colour back")


def picture_follows_the_taskbar_mode(d):
    """With the box on, the picture takes the dark or the light taskbar theme's colours as the
    taskbar's mode changes, repainted at the broadcast; with the box off nothing changes."""
    shutil.copytree(THEMES, d.folder / "Themes")
    beside = d.folder / "Nimbrel.Settings"
    try:
        set_light_taskbar(False)
        beside.write_bytes(settings_with(FollowTaskbarMode=1, TransBk=0, ShowPercentage=1))
        d.start_and_wait_ready()
        dark, light = tray_colours(d, "dark.png")
        check(dark > 60 and light == 0, f"a dark taskbar gave {dark} dark and {light} light background pixels")
        set_light_taskbar(True)
        check(d.run_tool("dialog_poke", "setting-changed", "ImmersiveColorSet") == 0, "no broadcast")
        # Within one refresh period: the program repaints at the broadcast itself.
        time.sleep(0.8)
        dark, light = tray_colours(d, "light.png")
        check(light > 60 and dark == 0, f"a light taskbar gave {dark} dark and {light} light background pixels")
        d.end_session()
        check(b"FollowTaskbarMode=1" in beside.read_bytes() and b"OpaqueBkColor=Automatic" in beside.read_bytes(),
              "the user's own colours were changed:\n" + beside.read_text("latin-1"))

        beside.write_bytes(settings_with(FollowTaskbarMode=0, TransBk=0, ShowPercentage=1))
        d.start_and_wait_ready()
        set_light_taskbar(False)
        check(d.run_tool("dialog_poke", "setting-changed", "ImmersiveColorSet") == 0, "no broadcast")
        time.sleep(0.8)
        check(tray_colours(d, "off.png") == (0, 0), "with the box off the picture changed its colours")
        d.end_session()
        transparent_on_dark_and_light_taskbars(d, beside)
    finally:
        subprocess.run([WINE, "reg", "delete", PERSONALIZE, "/v", "SystemUsesLightTheme", "/f"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


TESTS = {"startup_theme": first_start_applies_the_system_colours_theme_once,
         "taskbar_mode": picture_follows_the_taskbar_mode}

if __name__ == "__main__":
    sys.exit(run(TESTS))
