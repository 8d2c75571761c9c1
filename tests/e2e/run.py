#!/usr/bin/env python3
"""End-to-end tests of the program's spine: start-up, one running copy, the settings file."""
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from wine_desktop import WINE, check, run, wait_until  # noqa: E402

EXPECTED = Path(__file__).resolve().parent / "expected"


def crlf(name):
    # Kept with LF in the repository; the profile functions write CR LF.
    return (EXPECTED / name).read_bytes().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def check_same_file(actual_path, expected_name):
    check(actual_path.is_file(), f"{actual_path} was not written")
    actual = actual_path.read_bytes()
    expected = crlf(expected_name)
    if actual != expected:
        got = actual.decode("latin-1").splitlines()
        want = expected.decode("latin-1").splitlines()
        for i, (g, w) in enumerate(zip(got, want)):
            if g != w:
                raise AssertionError(f"line {i + 1}: got {g!r}, expected {w!r}")
        raise AssertionError(f"got {len(got)} lines, expected {len(want)}")


# Wine's desktop at 1024 x 768: the taskbar's bottom row and the first notification-area slot.
TASKBAR_BUTTONS = (70, 752, 800, 12)   # right of the Start button, left of the icons
TRAY_SLOT = (1006, 750, 16, 16)


def distinct_colours(rows):
    return {p for row in rows for p in row}


def first_run_writes_defaults_at_session_end(d):
    d.start_and_wait_ready()
    settings = d.data_folder() / "Nimbrel.Settings"
    check(d.data_folder().is_dir(), "the data folder Vostrand\\Nimbrel was not created at start")
    check(not settings.exists(), "the settings file was written before the session ended")
    check(not (d.folder / "Nimbrel.Settings").exists(), "a settings file appeared beside the exe")
    shot = d.screenshot("running.png")
    check(len(distinct_colours(d.region(shot, *TASKBAR_BUTTONS))) == 1, "the taskbar shows a button")
    check(len(distinct_colours(d.region(shot, *TRAY_SLOT))) > 1, "no icon in the notification area")
    d.end_session()
    check_same_file(settings, "default.Settings")


BALLOON_AREA = (900, 660, 120, 80)   # where Wine shows a balloon of the first slot


def has_white(rows):
    return (255, 255, 255) in distinct_colours(rows)


def second_start_leaves_one_copy(d):
    # Saved settings: no welcome balloon, so a balloon now can only be the second start's.
    (d.folder / "Nimbrel.Settings").write_bytes(crlf("default.Settings"))
    first = d.start_and_wait_ready()
    before = d.screenshot("before-second-start.png")
    check(not has_white(d.region(before, *BALLOON_AREA)), "a balloon shows before the second start")
    second = d.start()
    check(wait_until(lambda: second.poll() is not None, 15), "the second copy did not end")
    check(second.returncode == 0, f"the second copy ended with code {second.returncode}")
    pids = d.nimbrel_pids()
    check(len(pids) == 1, f"{len(pids)} copies run after the second start")
    check(first.poll() is None, "the first copy ended")
    check(wait_until(lambda: has_white(d.region(d.screenshot("second-start.png"), *BALLOON_AREA)), 8, 0.5),
          "the running copy showed no balloon after the second start")
    check(not d.vendor_folder().exists(), "the second start made the data folder")
    d.end_session()


def twenty_copies_at_once_leave_one(d):
    (d.folder / "Nimbrel.Settings").write_bytes(crlf("default.Settings"))
    for round_ in range(5):
        check(d.run_tool("test_host", "launch", "20", d.win_folder + "\\Nimbrel.exe") == 0, "the copies did not start")
        check(wait_until(lambda: len(d.nimbrel_pids()) == 1, 30, 0.5),
              f"round {round_ + 1}: {len(d.nimbrel_pids())} copies run")
        time.sleep(1.0)
        check(len(d.nimbrel_pids()) == 1, f"round {round_ + 1}: a second copy came up late")
        shot = d.screenshot(f"round-{round_ + 1}.png")
        # One icon: the slot left of it shows the taskbar alone.
        left = d.region(shot, TRAY_SLOT[0] - 20, TRAY_SLOT[1], TRAY_SLOT[2], TRAY_SLOT[3])
        check(len({p for row in left for p in row}) == 1, f"round {round_ + 1}: a second icon shows")
        check(wait_until(lambda: has_white(d.region(d.screenshot("balloon.png"), *BALLOON_AREA)), 8, 0.5),
              f"round {round_ + 1}: the running copy showed no balloon")
        d.end_session()


def taskbar_recreated_brings_the_icon_back(d):
    (d.folder / "Nimbrel.Settings").write_bytes(crlf("default.Settings"))
    d.start_and_wait_ready()
    check(len(distinct_colours(d.region(d.screenshot("start.png"), *TRAY_SLOT))) > 1, "no icon at start")
    check(d.run_tool("tray_poke", "drop") == 0, "the icon could not be dropped")
    check(wait_until(lambda: len(distinct_colours(d.region(d.screenshot("dropped.png"), *TRAY_SLOT))) == 1, 5, 0.5),
          "the icon is still there after it was dropped")
    check(d.run_tool("tray_poke", "recreated") == 0, "TaskbarCreated could not be broadcast")
    check(wait_until(lambda: len(distinct_colours(d.region(d.screenshot("back.png"), *TRAY_SLOT))) > 1, 5, 0.5),
          "the icon did not come back after TaskbarCreated")
    d.end_session()


def empty_file_beside_exe_is_portable(d):
    beside = d.folder / "Nimbrel.Settings"
    beside.write_bytes(b"")
    d.start_and_wait_ready()
    d.end_session()
    check(not d.vendor_folder().exists(), "portable mode created the data folder under AppData")
    themes = d.folder / "Themes"
    check(themes.is_dir() and not any(themes.iterdir()), "the Themes folder beside the exe is missing or not empty")
    # Without start-up theme files the first start keeps every default.
    check_same_file(beside, "default.Settings")


def hand_edited_values_are_read_and_normalised(d):
    beside = d.folder / "Nimbrel.Settings"
    beside.write_bytes(crlf("hand_edited.input"))
    d.start_and_wait_ready()
    d.end_session()
    check_same_file(beside, "hand_edited.Settings")


def refused_save_does_not_keep_the_program_from_ending(d):
    beside = d.folder / "Nimbrel.Settings"
    beside.write_bytes(b"")
    d.start_and_wait_ready()
    # A folder where the file was: every write of the save is refused.
    beside.unlink()
    beside.mkdir()
    started = time.monotonic()
    d.end_session(timeout=15)
    check(time.monotonic() - started < 15, "ending took too long")
    check(beside.is_dir() and not any(beside.iterdir()), "something was written into the folder")
    shutil.rmtree(beside)


TOOLTIP_AREA = (820, 690, 190, 55)


def hovering_shows_the_tooltip(d):
    (d.folder / "Nimbrel.Settings").write_bytes(crlf("default.Settings"))
    subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
    d.start_and_wait_ready()
    check(not has_white(d.region(d.screenshot("before.png"), *TOOLTIP_AREA)), "something shows before hovering")
    x, y, w, h = TRAY_SLOT
    subprocess.run(["xdotool", "mousemove", str(x + 7), str(y + 7)], check=True)
    time.sleep(0.3)
    subprocess.run(["xdotool", "mousemove", str(x + 8), str(y + 8)], check=True)
    check(wait_until(lambda: has_white(d.region(d.screenshot("tooltip.png"), *TOOLTIP_AREA)), 6, 0.5),
          "no tooltip over the icon")
    subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
    d.end_session()


def list_controls(d, title):
    """The visible windows titled `title` and their controls: (class, text, rect, checked)."""
    exe = "Z:" + str(d.tools / "dialog_poke.exe").replace("/", "\\")
    try:
        out = subprocess.run([WINE, exe, "list", title], capture_output=True, timeout=30).stdout.decode("utf-8",
                                                                                                       "replace")
    except subprocess.TimeoutExpired:
        return []
    controls = []
    for line in out.splitlines():
        parts = line.split("|")
        if len(parts) == 7:
            controls.append((parts[0], parts[1], tuple(int(v) for v in parts[2:6]), int(parts[6])))
    return controls


def dialog_open(d, title):
    # The platform dialog's class, or the emulated one's; the hidden-owner windows share the title.
    return any(c[0] in ("#32770", "TNimbrelTaskDialog") for c in list_controls(d, title))


def click(rect):
    left, top, right, bottom = rect
    subprocess.run(["xdotool", "mousemove", str((left + right) // 2), str((top + bottom) // 2), "click", "1"],
                   check=True)


def start_memory_hog(d, megabytes):
    exe = "Z:" + str(d.tools / "memory_hog.exe").replace("/", "\\")
    return subprocess.Popen([WINE, exe, str(megabytes)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def warning_at_start_and_not_again(d):
    beside = d.folder / "Nimbrel.Settings"
    beside.write_bytes(settings_with(RedPercent=1, WarnMsgBox=1, DefragOnHighMemory=0))
    # A quiet machine may use less than 1 % of its memory; this keeps the load at 1 % or more.
    hog = start_memory_hog(d, 600)
    try:
        time.sleep(2)
        warn_and_turn_off(d, beside)
    finally:
        hog.kill()


def warn_and_turn_off(d, beside):
    d.start_and_wait_ready()
    controls = []
    check(wait_until(lambda: dialog_open(d, "Nimbrel"), 15, 0.5), "no dialog titled Nimbrel")
    controls = list_controls(d, "Nimbrel")
    d.screenshot("warning.png")
    texts = [c[1] for c in controls]
    check(any(t.startswith("内存高 (") and t.endswith("%)") for t in texts), f"no instruction in {texts}")
    for caption in ("整理内存", "任务管理器", "关闭", "不再显示此警告"):
        check(caption in texts, f"no {caption} in {texts}")
    box = next(c for c in controls if c[1] == "不再显示此警告")
    close = next(c for c in controls if c[1] == "关闭")
    click(box[2])
    time.sleep(0.5)
    checked = [c for c in list_controls(d, "Nimbrel") if c[1] == "不再显示此警告"]
    check(checked and checked[0][3] == 1, "the box did not take the click")
    click(close[2])
    check(wait_until(lambda: not dialog_open(d, "Nimbrel"), 10, 0.5), "the dialog did not close")
    d.end_session()
    text = beside.read_bytes().decode("ascii")
    check("\r\nWarnMsgBox=0\r\n" in text, "WarnMsgBox was not turned off")
    check("\r\nWarn=1\r\n" in text, "the balloon warning was turned off too")


def emulated_warning_answers_the_clicks(d):
    exe = "Z:" + str(d.tools / "task_dialog_demo.exe").replace("/", "\\")
    demo = subprocess.Popen([WINE, exe], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        check(wait_until(lambda: dialog_open(d, "Nimbrel"), 15, 0.5), "the emulated dialog did not show")
        time.sleep(0.5)
        d.screenshot("emulated.png")
        controls = list_controls(d, "Nimbrel")
        texts = [c[1] for c in controls]
        for caption in ("内存高 (91%)", "建议关闭一些应用程序", "整理内存", "任务管理器", "关闭", "不再显示此警告"):
            check(caption in texts, f"no {caption} in {texts}")
        click(next(c for c in controls if c[1] == "不再显示此警告")[2])
        time.sleep(0.3)
        click(next(c for c in controls if c[1] == "任务管理器")[2])
        out, _ = demo.communicate(timeout=15)
    finally:
        if demo.poll() is None:
            demo.kill()
    check(out.decode().split() == ["101", "1"], f"the dialog answered {out!r}")


def emulated_command_links(d):
    exe = "Z:" + str(d.tools / "task_dialog_demo.exe").replace("/", "\\")
    demo = subprocess.Popen([WINE, exe, "links"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        check(wait_until(lambda: dialog_open(d, "Nimbrel"), 15, 0.5), "the emulated dialog did not show")
        time.sleep(0.5)
        d.screenshot("links.png")
        controls = list_controls(d, "Nimbrel")
        texts = [c[1] for c in controls]
        for caption in ("打开文件夹", "整理内存", "结束进程", "Cancel", "这是一个系统进程"):
            check(caption in texts, f"no {caption} in {texts}")
        check(not any("\\n" in t for t in texts), f"a note leaked into a caption: {texts}")
        click(next(c for c in controls if c[1] == "结束进程")[2])
        out, _ = demo.communicate(timeout=15)
    finally:
        if demo.poll() is None:
            demo.kill()
    check(out.decode().split()[:1] == ["102"], f"the dialog answered {out!r}")


def open_tray_menu(d):
    """Right-clicks the tray icon and returns (left, top, right, bottom, textHeight) of the menu."""
    x, y, w, h = TRAY_SLOT
    subprocess.run(["xdotool", "mousemove", str(x + 8), str(y + 8), "click", "3"], check=True)
    exe = "Z:" + str(d.tools / "dialog_poke.exe").replace("/", "\\")
    found = []

    def menu_shown():
        out = subprocess.run([WINE, exe, "menu"], capture_output=True, timeout=30).stdout.decode()
        if out.strip():
            found[:] = [int(v) for v in out.strip().split("|")]
        return bool(found)

    check(wait_until(menu_shown, 20, 0.5), "no menu after the right click")
    time.sleep(1.0)
    return found


def menu_rows(menu, process_rows):
    """Centre y of every row of the tray menu, top to bottom, from the owner-draw measures: text rows
    are the height of "AA" + 7, separators 6."""
    left, top, right, bottom, text_height = menu
    row = text_height + 7
    kinds = (["text", "sep"] + ["text"] * 4 + ["sep"] + ["text"] * process_rows +
             ["sep", "text", "sep", "text", "sep", "text", "text"])
    heights = [row if k == "text" else 6 for k in kinds]
    border = (bottom - top - sum(heights)) // 2
    centres, y = [], top + border
    for k, hgt in zip(kinds, heights):
        centres.append((k, y + hgt // 2))
        y += hgt
    return centres


def tray_menu_ends_a_process_and_exits(d):
    beside = d.folder / "Nimbrel.Settings"
    beside.write_bytes(b"[General]\r\nShowPercentage=0\r\nTopProcessCount=30\r\n")
    hog = start_memory_hog(d, 300)
    try:
        time.sleep(2)
        d.start_and_wait_ready()
        subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
        menu = open_tray_menu(d)
        d.screenshot("menu.png")
        left, top, right, bottom, text_height = menu
        row = text_height + 7
        fixed = 9 * row + 5 * 6
        processes = round((bottom - top - 6 - fixed) / row)
        check(processes >= 5, f"only {processes} process rows in a menu {menu}")
        rows = menu_rows(menu, processes)
        first_process = rows[7][1]
        subprocess.run(["xdotool", "mousemove", str(left + 60), str(first_process), "click", "1"], check=True)
        check(wait_until(lambda: dialog_open(d, "Nimbrel"), 20, 0.5), "no process dialog")
        d.screenshot("process-dialog.png")
        controls = list_controls(d, "Nimbrel")
        texts = [c[1] for c in controls]
        check("进程信息  'memory_hog.exe'" in texts, f"the first process is not the largest one: {texts}")
        click(next(c for c in controls if c[1] == "结束进程")[2])
        check(wait_until(lambda: hog.poll() is not None, 15, 0.5), "the process was not ended")

        menu = open_tray_menu(d)
        d.screenshot("menu-again.png")
        processes = round((menu[3] - menu[1] - 6 - fixed) / row)
        exit_row = menu_rows(menu, processes)[-1][1]
        subprocess.run(["xdotool", "mousemove", str(menu[0] + 60), str(exit_row), "click", "1"], check=True)
        check(wait_until(lambda: not d.nimbrel_pids(), 20, 0.5), "退出(&E) did not end the program")
        text = beside.read_bytes().decode("ascii")
        check("\r\nYellowPercent=65\r\n" in text and "\r\nTopProcessCount=30\r\n" in text,
              "the settings file was not written at exit")
    finally:
        if hog.poll() is None:
            hog.kill()


def about_window_from_the_menu(d):
    beside = d.folder / "Nimbrel.Settings"
    beside.write_bytes(crlf("default.Settings"))
    d.start_and_wait_ready()
    subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
    menu = open_tray_menu(d)
    row = menu[4] + 7
    processes = round((menu[3] - menu[1] - 6 - (9 * row + 5 * 6)) / row)
    about_row = menu_rows(menu, processes)[-2][1]
    subprocess.run(["xdotool", "mousemove", str(menu[0] + 60), str(about_row), "click", "1"], check=True)

    def about():
        return [c for c in list_controls(d, "关于") if c[0] == "TFrmNimbrelMain"]

    check(wait_until(lambda: bool(about()), 10, 0.5), "关于(&A) did not show the About window")
    time.sleep(0.5)
    d.screenshot("about.png")
    controls = list_controls(d, "关于")
    texts = [c[1] for c in controls]
    check("Nimbrel" in texts and "Version 1.0" in texts and "确定" in texts, f"About window shows {texts}")
    # Asked for again while it is open: it stays where the user put it.
    check(d.run_tool("dialog_poke", "move", "关于", "40", "50") == 0, "the About window could not be moved")
    menu = open_tray_menu(d)
    processes = round((menu[3] - menu[1] - 6 - (9 * row + 5 * 6)) / row)
    subprocess.run(["xdotool", "mousemove", str(menu[0] + 60), str(menu_rows(menu, processes)[-2][1]), "click", "1"],
                   check=True)
    time.sleep(1.0)
    d.screenshot("about-again.png")
    check([c[2][:2] for c in about()] == [(40, 50)], f"关于(&A) moved the open About window: {about()}")
    controls = list_controls(d, "关于")
    click(next(c for c in controls if c[1] == "确定")[2])
    check(wait_until(lambda: not about(), 10, 0.5), "确定 did not hide the About window")
    check(len(d.nimbrel_pids()) == 1, "hiding the About window ended the program")
    d.end_session()


def settings_with(**overrides):
    """The default settings file with some keys changed, as CR LF bytes."""
    lines = crlf("default.Settings").decode("ascii").split("\r\n")
    for i, line in enumerate(lines):
        key = line.split("=", 1)[0]
        if key in overrides:
            lines[i] = f"{key}={overrides[key]}"
    return "\r\n".join(lines).encode("ascii")


# Each entry: settings changed from the defaults (built-in glyphs, amount in GB, no border).
PICTURE_CASES = {
    "gigabytes": {},
    "percentage": {"ShowPercentage": 1, "ShowPercSign": 1},
    "megabytes_mini": {"OptimizeForGigabytes": 0, "MiniInternalFont": 1},
    "bar_bottom_border": {"BarBottom": 1, "NoBorder": 0, "FullBar": 1},
    "standard_gauge": {"StandardGauge": 1, "FullBar": 1, "ShowPercentage": 1},
    "transparent": {"TransBk": 1, "NoBorder": 1, "ShowPercentage": 1},
    "user_font": {"InternalFont": 0, "ShowPercentage": 1},
}
KEY = (3, 3, 3)


def parse_candidates(text, size=16):
    pictures = []
    for line in text.splitlines():
        parts = line.split()
        if len(parts) != size * size + 1:
            continue
        pixels = [tuple(bytes.fromhex(p)) for p in parts[1:]]
        pictures.append((int(parts[0]), [pixels[r * size:(r + 1) * size] for r in range(size)]))
    return pictures


def find_picture(area, candidates, background, size=16):
    """The load of a candidate found pixel for pixel somewhere in the screenshot area, key pixels
    showing the taskbar behind the icon; None when no candidate matches anywhere."""
    height, width = len(area), len(area[0])
    shown = {tuple(tuple(area[y + r][x:x + size]) for r in range(size))
             for y in range(height - size + 1) for x in range(width - size + 1)}
    for load, picture in candidates:
        want = tuple(tuple(background if p == KEY else p for p in row) for row in picture)
        if want in shown:
            return load
    return None


def tray_picture_case(name):
    def test(d):
        beside = d.folder / "Nimbrel.Settings"
        beside.write_bytes(settings_with(**PICTURE_CASES[name]))
        d.start_and_wait_ready()
        found = None
        for attempt in range(6):
            # The memory figures move between the tick and the painting here: try again on a miss.
            shot = d.screenshot(f"{name}-{attempt}.png")
            area = d.region(shot, 996, 744, 28, 24)
            background = d.region(shot, 985, 758, 1, 1)[0][0]
            amount = PICTURE_CASES[name].get("ShowPercentage", 0) == 0
            out = subprocess.run([WINE, str(d.tools / "paint_picture.exe"), d.win_folder + "\\Nimbrel.Settings",
                                  "100" if amount else "0"],
                                 capture_output=True, timeout=120).stdout.decode("ascii", "replace")
            candidates = parse_candidates(out)
            check(len(candidates) >= 101, f"the painter tool gave {len(candidates)} pictures")
            found = find_picture(area, candidates, background)
            if found:
                break
            time.sleep(1)
        check(found is not None, f"the tray shows no picture the painter paints ({name})")
        d.end_session()
    return test


# The notification area's icons at each scale: SM_CXSMICON at that DPI.
SCALES = {120: 20, 144: 24, 192: 32, 96: 16}


def tray_picture_at_every_scale(d):
    """At 125, 150 and 200 % the tray shows the painter's picture at the size of the area's icons,
    pixel for pixel (a 16-pixel picture scaled by the shell would match none), for the built-in
    digits and for the user's font; the session ends at 96 DPI as it began."""
    cases = {"glyphs": {"TransBk": 1, "StandardGauge": 1, "FullBar": 1, "ShowPercentage": 1, "ShowPercSign": 1},
             "user_font": {"InternalFont": 0, "ShowPercentage": 1, "NoBorder": 0}}
    try:
        for dpi, size in SCALES.items():
            d.set_display_scale(dpi)
            for name, overrides in cases.items():
                (d.folder / "Nimbrel.Settings").write_bytes(settings_with(**overrides))
                d.start_and_wait_ready()
                found = None
                for attempt in range(4):
                    shot = d.screenshot(f"{dpi}-{name}-{attempt}.png")
                    # The taskbar grows with the scale: search its right end.
                    area = d.region(shot, 1024 - 160, 768 - 64, 160, 64)
                    background = area[-1][0]
                    out = subprocess.run([WINE, str(d.tools / "paint_picture.exe"),
                                          d.win_folder + "\\Nimbrel.Settings", "0", str(size)],
                                         capture_output=True, timeout=120).stdout.decode("ascii", "replace")
                    candidates = parse_candidates(out, size)
                    check(len(candidates) == 101, f"the painter tool gave {len(candidates)} pictures of {size}")
                    found = find_picture(area, candidates, background, size)
                    if found is not None:
                        break
                    time.sleep(1)
                check(found is not None, f"at {dpi} DPI the tray shows no {size}-pixel picture of the painter ({name})")
                d.end_session()
    finally:
        d.set_display_scale(96)


TESTS = {
    "tray_picture_scales": tray_picture_at_every_scale,
    "first_run": first_run_writes_defaults_at_session_end,
    "single_instance": second_start_leaves_one_copy,
    "single_instance_race": twenty_copies_at_once_leave_one,
    "portable": empty_file_beside_exe_is_portable,
    "hand_edited": hand_edited_values_are_read_and_normalised,
    "refused_save": refused_save_does_not_keep_the_program_from_ending,
    "taskbar_recreated": taskbar_recreated_brings_the_icon_back,
    "tooltip": hovering_shows_the_tooltip,
    "high_memory_warning": warning_at_start_and_not_again,
    "emulated_warning": emulated_warning_answers_the_clicks,
    "emulated_links": emulated_command_links,
    "tray_menu": tray_menu_ends_a_process_and_exits,
    "about_window": about_window_from_the_menu,
}
TESTS.update({f"tray_picture_{name}": tray_picture_case(name) for name in PICTURE_CASES})

if __name__ == "__main__":
    sys.exit(run(TESTS))
