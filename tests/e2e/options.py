#!/usr/bin/env python3
"""End-to-end tests of the options dialog: the real program, opened from the tray menu's settings
submenu, driven with the mouse and the keyboard, checked through the settings file, the theme files,
the tray picture and screenshots."""
import os
import signal
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from commands import (CTRL_ALT_M, click_at, open_settings_submenu, relay_calls,  # noqa: E402
                      start_traced)
from run import TRAY_SLOT, click, list_controls, open_tray_menu, settings_with  # noqa: E402
from wine_desktop import WINE, check, run, wait_until  # noqa: E402

TITLE = "Nimbrel 设置"
PAGES = ["一般", "附加", "托盘菜单", "显示", "主题"]
# A control that only its page has, to tell which page shows.
PAGE_MARK = {0: "显示黄色, 当超过:", 1: "整理, 每:", 2: "显示当前内存信息", 3: "使用内部字体优化结果", 4: "另存为"}


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "120", *keys], check=True)


def open_options(d, entry="Settings1"):
    menu = open_tray_menu(d)
    sub, rows = open_settings_submenu(d, menu)
    click_at(sub[0] + 40, rows[entry])
    check(wait_until(lambda: bool(visible(d)), 15, 0.5), f"{entry} did not open {TITLE}")
    time.sleep(0.7)


def visible(d):
    """The dialog's visible controls (the hidden pages' are not listed): (class, text, rect, checked)."""
    return list_controls(d, TITLE)


def dialogs(d):
    return [c for c in visible(d) if c[0] == "#32770" and c[1] == TITLE]


def current_page(d):
    texts = {c[1] for c in visible(d)}
    return [p for p, mark in PAGE_MARK.items() if mark in texts]


def control(d, text, cls=None):
    found = [c for c in visible(d) if c[1] == text and (cls is None or c[0] == cls)]
    check(found, f"no control {text!r} on the page showing: {[c[1] for c in visible(d)]}")
    return found[0]


def press(d, text):
    click(control(d, text)[2])
    time.sleep(0.4)


def next_page(d, want):
    key("ctrl+Tab")
    check(wait_until(lambda: current_page(d) == [want], 5, 0.3), f"Ctrl+Tab did not show page {PAGES[want]}")


def active_window_name(d):
    """The title of the foreground window, as the system sees it."""
    exe = "Z:" + str(d.tools / "dialog_poke.exe").replace("/", "\\")
    out = subprocess.run([WINE, exe, "foreground"], capture_output=True, timeout=30).stdout.decode("utf-8", "replace")
    return out.split("|")[1] if "|" in out else ""


def settings_text(d):
    return (d.folder / "Nimbrel.Settings").read_bytes().decode("latin-1")


def file_has(d, *lines):
    return lambda: all(f"\r\n{line}\r\n" in settings_text(d) for line in lines)


def answer(d, title, buttons):
    """Clicks the first of `buttons` (the texts one answer has in the system's languages) in the dialog
    titled `title`."""
    def found():
        return [c for c in list_controls(d, title) if c[0] == "Button" and c[1] in buttons]

    check(wait_until(lambda: bool(found()), 10, 0.3),
          f"no {title!r} dialog with {buttons}: {[c[1] for c in list_controls(d, title)]}")
    time.sleep(0.3)
    click(found()[0][2])


YES = ("是", "是(&Y)", "&Yes", "Yes")
NO = ("否", "否(&N)", "&No", "No")


def tray_shot(d, name):
    return d.region(d.screenshot(name), *TRAY_SLOT)


def apply_ok_cancel_and_the_hot_key(d):
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with())
    log = start_traced(d)
    before = tray_shot(d, "tray-before.png")
    open_options(d)
    check(current_page(d) == [0], "the dialog did not open on its first page")

    # One setting on each page; Apply writes the file and the tray picture follows at once.
    press(d, "显示可用内存而不是已用内存")
    press(d, "应用")
    check(wait_until(file_has(d, "ShowFree=1"), 5, 0.3), "Apply did not save ShowFree")
    check(tray_shot(d, "tray-after-apply.png") != before, "the tray picture did not change after Apply")
    next_page(d, 1)
    hot_key = next(c for c in visible(d) if c[0] == "msctls_hotkey32")
    click(hot_key[2])
    key("ctrl+alt+m")
    next_page(d, 2)
    press(d, "显示当前内存信息")
    next_page(d, 3)
    press(d, "无栏边框")
    next_page(d, 4)
    # The theme page: red text from the picker (its default entry, then the standard colours from black),
    # applied at once to the file and the tray picture.
    before_colour = tray_shot(d, "tray-before-colour.png")
    picker = [c for c in visible(d) if c[0] == "ComboBox" and c[1] != "当前颜色"]
    check(len(picker) == 1, f"no colour picker on the theme page: {picker}")
    click(picker[0][2])
    time.sleep(0.5)
    key("Home", *["Down"] * 10, "Return")
    check(wait_until(lambda: control(d, "红色", "ComboBox"), 5, 0.3), "the picker does not show 红色")
    press(d, "应用")
    check(wait_until(file_has(d, "Color=255"), 5, 0.3), "Apply did not save the red text:\n" + settings_text(d))
    check(wait_until(lambda: tray_shot(d, "tray-after-colour.png") != before_colour, 5, 0.5),
          "the tray picture did not take the text colour chosen on the theme page")
    d.screenshot("before-ok.png")
    press(d, "确定")
    check(wait_until(lambda: not dialogs(d), 10, 0.3), "OK did not close the dialog")
    check(wait_until(file_has(d, "ShowFree=1", f"RefreshHotkey={CTRL_ALT_M}", "ShowMemMenu=0", "NoBorder=0",
                              "Color=255"), 5, 0.3),
          "OK did not save every page:\n" + settings_text(d))
    subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
    key("ctrl+alt+m")
    check(wait_until(lambda: relay_calls(log, "EnumWindows") >= 1, 10, 0.3), "the new hot key ran no optimisation")

    # Cancel after Apply keeps what Apply applied, and only that.
    open_options(d)
    next_page(d, 1)
    next_page(d, 2)
    next_page(d, 3)
    press(d, "标准栏")
    press(d, "应用")
    press(d, "栏底部")
    press(d, "取消")
    check(wait_until(lambda: not dialogs(d), 10, 0.3), "Cancel did not close the dialog")
    check(wait_until(file_has(d, "StandardGauge=1", "BarBottom=0"), 5, 0.3),
          "Cancel after Apply did not keep the applied value alone:\n" + settings_text(d))
    d.end_session()


def themes_are_saved_and_deleted(d):
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with())
    d.start_and_wait_ready()
    open_options(d, "hemes1")
    check(current_page(d) == [4], "主题 did not open the dialog on the theme page")
    check(control(d, "当前颜色", "ComboBox"), "the theme list does not show 当前颜色")

    # A second request while the dialog is open, behind another program's window, brings it forward
    # instead of opening another.
    other = subprocess.Popen([WINE, "notepad"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        check(wait_until(lambda: active_window_name(d) not in ("", TITLE), 15, 0.5),
              "notepad did not come to the front")
        open_options(d)
        check(len(dialogs(d)) == 1 and current_page(d) == [4], "a second request opened a second dialog")
        check(wait_until(lambda: active_window_name(d) == TITLE, 5, 0.3),
              f"a second request did not bring the dialog forward: {active_window_name(d)!r} is active")
    finally:
        other.kill()
        for pid in d.pids_running("notepad.exe"):
            os.kill(pid, signal.SIGKILL)

    press(d, "另存为")
    check(wait_until(lambda: bool(list_controls(d, "保存主题")), 10, 0.3), "Save As shows no input box")
    d.screenshot("input-box.png")
    key("N", "i", "g", "h", "t", "Return")
    theme = d.folder / "Themes" / "Night.Nimbrel Theme"
    check(wait_until(theme.exists, 10, 0.3), "Save As wrote no theme file")
    check(wait_until(lambda: bool([c for c in visible(d) if c[0] == "ComboBox" and c[1] == "Night"]), 5, 0.3),
          "the saved theme is not the selected entry")
    text = theme.read_bytes().decode("latin-1")
    check(text.startswith("[NimbrelTheme]\r\nVer=22\r\nName=Night\r\nFontColor=WindowText\r\n"),
          f"the theme file holds {text!r}")
    d.screenshot("theme-saved.png")

    press(d, "删除")
    answer(d, "警告", NO)
    time.sleep(0.5)
    check(theme.exists(), "No deleted the theme")
    press(d, "删除")
    answer(d, "警告", YES)
    check(wait_until(lambda: not theme.exists(), 10, 0.3), "Yes did not delete the theme file")
    check(wait_until(lambda: bool([c for c in visible(d) if c[0] == "ComboBox" and c[1] == "当前颜色"]), 5, 0.3),
          "当前颜色 is not selected after the delete")
    press(d, "取消")
    d.end_session()


def inside(inner, outer):
    return outer[0] <= inner[0] and outer[1] <= inner[1] and inner[2] <= outer[2] and inner[3] <= outer[3]


def walk_pages(d, tag):
    """Every page in turn with Ctrl+Tab, a screenshot of each; no control sticks out of the dialog."""
    open_options(d)
    for i, name in enumerate(PAGES):
        check(wait_until(lambda: current_page(d) == [i], 5, 0.3), f"page {name} does not show after {i} Ctrl+Tab")
        controls = visible(d)
        frame = dialogs(d)[0][2]
        outside = [c[1] or c[0] for c in controls if not inside(c[2], frame)]
        check(not outside, f"page {name} at {tag}: {outside} outside the dialog {frame}")
        d.screenshot(f"{tag}-page-{i}.png")
        key("ctrl+Tab")
    check(wait_until(lambda: current_page(d) == [0], 5, 0.3), "Ctrl+Tab from the last page does not come back")
    key("ctrl+shift+Tab")
    check(wait_until(lambda: current_page(d) == [4], 5, 0.3), "Ctrl+Shift+Tab does not go back")
    key("Escape")
    check(wait_until(lambda: not dialogs(d), 10, 0.3), "Escape did not close the dialog")


def set_dpi(dpi):
    subprocess.run([WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                    "/d", str(dpi), "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True, timeout=60)


def pages_at_96_and_144_dpi(d):
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with())
    d.start_and_wait_ready()
    walk_pages(d, "96dpi")
    d.end_session()
    set_dpi(144)
    try:
        d.start_and_wait_ready()
        walk_pages(d, "144dpi")
        d.end_session()
    finally:
        set_dpi(96)


TESTS = {
    "options_pages": pages_at_96_and_144_dpi,
    "options_apply": apply_ok_cancel_and_the_hot_key,
    "options_themes": themes_are_saved_and_deleted,
}

if __name__ == "__main__":
    sys.exit(run(TESTS))
