#!/usr/bin/env python3
"""End-to-end tests of the tray commands: the optimiser's hot key, the double-click actions, the
settings submenu and the bold default entry of the tray menu."""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from run import TRAY_SLOT, list_controls, menu_rows, open_tray_menu, settings_with  # noqa: E402
from wine_desktop import WINE, check, run, wait_until  # noqa: E402

CTRL_ALT_M = 0xC04D


def relay_calls(log, function):
    """How many times the program called `function`, from Wine's relay trace of it."""
    try:
        text = log.read_text(errors="replace")
    except OSError:
        return 0
    return sum(1 for line in text.splitlines() if ":Call " in line and f".{function}(" in line)


def start_traced(d):
    """Starts the program with Wine tracing its calls of EnumWindows and SetProcessWorkingSetSize: the
    optimiser's walk and its trims, seen from outside the program."""
    subprocess.run([WINE, "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/d",
                    "user32.EnumWindows;kernel32.SetProcessWorkingSetSize", "/f"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True, timeout=60)
    log = d.artifacts / "relay.log"
    with open(log, "wb") as out:
        d.start_and_wait_ready(env={"WINEDEBUG": "-all,+relay"}, stderr=out)
    return log


def key_is_free(d, value):
    return d.run_tool("test_host", "try-key", str(value)) == 0


def fixed_rows(menu):
    """Centre y of the fixed entries, from the menu's rectangle (the process rows vary)."""
    row = menu[4] + 7
    processes = round((menu[3] - menu[1] - 6 - (9 * row + 5 * 6)) / row)
    rows = menu_rows(menu, processes)
    return {"LaunchTaskManager1": rows[0][1], "MemoryDefragmenter1": rows[-6][1], "Settings2": rows[-4][1],
            "About1": rows[-2][1], "Close1": rows[-1][1]}


def click_at(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


def exit_from_menu(d):
    menu = open_tray_menu(d)
    click_at(menu[0] + 60, fixed_rows(menu)["Close1"])
    check(wait_until(lambda: not d.nimbrel_pids(), 20, 0.5), "退出(&E) did not end the program")


def open_settings_submenu(d, menu):
    """Points at "设置(&S)" and returns the submenu's (left, top, right, bottom) and its rows' centres."""
    subprocess.run(["xdotool", "mousemove", str(menu[0] + 60), str(fixed_rows(menu)["Settings2"])], check=True)
    exe = "Z:" + str(d.tools / "dialog_poke.exe").replace("/", "\\")
    found = []

    def shown():
        out = subprocess.run([WINE, exe, "menus"], capture_output=True, timeout=30).stdout.decode()
        rects = [tuple(int(v) for v in line.split("|")) for line in out.split()]
        found[:] = [r for r in rects if r[:2] != tuple(menu[:2])]
        return bool(found)

    check(wait_until(shown, 10, 0.3), "the settings submenu did not open")
    time.sleep(0.7)
    left, top, right, bottom = found[0]
    row = menu[4] + 7
    heights = [row, row, row, 6, row]
    y = top + (bottom - top - sum(heights)) // 2
    centres = []
    for h in heights:
        centres.append(y + h // 2)
        y += h
    names = ["hemes1", "extColor1", "ransparentBackground1", "N4", "Settings1"]
    return found[0], dict(zip(names, centres))


def close_menu():
    click_at(500, 300)
    time.sleep(0.5)


def hot_key_runs_one_optimisation(d):
    beside = d.folder / "Nimbrel.Settings"
    beside.write_bytes(settings_with(RefreshHotkey=CTRL_ALT_M))
    log = start_traced(d)
    check(relay_calls(log, "SetProcessWorkingSetSize") == 0, "something was trimmed before the hot key")
    check(not key_is_free(d, CTRL_ALT_M), "another program could register Ctrl+Alt+M while Nimbrel runs")
    subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
    subprocess.run(["xdotool", "key", "ctrl+alt+m"], check=True)
    check(wait_until(lambda: relay_calls(log, "EnumWindows") >= 1, 10, 0.3), "the hot key ran no optimisation")
    time.sleep(1.5)
    walks, trims = relay_calls(log, "EnumWindows"), relay_calls(log, "SetProcessWorkingSetSize")
    check(walks == 1, f"one key press walked the windows {walks} times")
    # Nimbrel's own windows alone are more than three.
    check(trims >= 3, f"one optimisation trimmed only {trims} times")
    subprocess.run(["xdotool", "key", "ctrl+shift+alt+m"], check=True)
    time.sleep(1.0)
    check(relay_calls(log, "EnumWindows") == 1, "Ctrl+Shift+Alt+M ran the optimiser too")
    exit_from_menu(d)
    check(key_is_free(d, CTRL_ALT_M), "Ctrl+Alt+M stays taken after the exit command")


def tips(d):
    exe = "Z:" + str(d.tools / "dialog_poke.exe").replace("/", "\\")
    out = subprocess.run([WINE, exe, "tips"], capture_output=True, timeout=30).stdout.decode("utf-8", "replace")
    shown = []
    for line in out.split("tooltips_class32|")[1:]:
        text, rest = line.rsplit("|", 5)[0], line.rsplit("|", 5)[1:]
        shown.append((text.replace("\r\n", "\n").strip("\n"), tuple(int(v) for v in rest[:4])))
    return shown


def double_click():
    x, y, w, h = TRAY_SLOT
    subprocess.run(["xdotool", "mousemove", str(x + 8), str(y + 8), "click", "--repeat", "2", "--delay", "80", "1"],
                   check=True)


def double_click_shows_the_tooltip_in_a_balloon(d):
    # A long refresh period keeps the figures of the tooltip still between the hover and the balloon.
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with(DoubleClickAction=2, RefreshRate=60000))
    d.start_and_wait_ready()
    x, y, w, h = TRAY_SLOT
    subprocess.run(["xdotool", "mousemove", str(x + 7), str(y + 7)], check=True)
    time.sleep(0.3)
    subprocess.run(["xdotool", "mousemove", str(x + 8), str(y + 8)], check=True)
    hover = []
    check(wait_until(lambda: bool(hover.extend(tips(d)) or hover), 6, 0.5), "no tooltip over the icon")
    hint, hint_rect = hover[0]
    check(hint.startswith("显示 ") and "内存使用: " in hint, f"unexpected tooltip {hint!r}")
    double_click()
    balloon = []

    def balloon_shown():
        balloon[:] = [t for t in tips(d) if t[1] != hint_rect]
        return bool(balloon)

    check(wait_until(balloon_shown, 8, 0.5), "no balloon after the double click")
    d.screenshot("balloon.png")
    check(balloon[0][0] == hint, f"the balloon shows {balloon[0][0]!r}, the tooltip {hint!r}")
    d.end_session()


def double_click_starts_the_task_manager(d):
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with(DoubleClickAction=0))
    d.start_and_wait_ready()
    check(not d.pids_running("taskmgr.exe"), "a task manager runs before the double click")
    double_click()
    try:
        check(wait_until(lambda: bool(d.pids_running("taskmgr.exe")), 15, 0.5), "no task manager after the double click")
        time.sleep(1.0)
        d.screenshot("task-manager.png")
    finally:
        for pid in d.pids_running("taskmgr.exe"):
            os.kill(pid, 9)
    d.end_session()


def keyboard_on_the_icon(d):
    """Enter on the selected icon does what a double click does; Shift+F10 opens the menu beside the
    icon, not at the pointer (kept far away in the top-left corner)."""
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with(DoubleClickAction=0))
    d.start_and_wait_ready()
    subprocess.run(["xdotool", "mousemove", "10", "10"], check=True)
    check(d.run_tool("tray_poke", "key-select") == 0, "no tray handler to tell")
    try:
        check(wait_until(lambda: bool(d.pids_running("taskmgr.exe")), 15, 0.5), "no task manager after Enter")
    finally:
        for pid in d.pids_running("taskmgr.exe"):
            os.kill(pid, 9)
    check(d.run_tool("tray_poke", "key-menu") == 0, "no tray handler to tell")
    exe = "Z:" + str(d.tools / "dialog_poke.exe").replace("/", "\\")
    menu = []

    def menu_shown():
        out = subprocess.run([WINE, exe, "menu"], capture_output=True, timeout=30).stdout.decode().strip()
        menu[:] = [int(v) for v in out.split("|")] if out else []
        return bool(menu)

    check(wait_until(menu_shown, 20, 0.5), "no menu after Shift+F10")
    d.screenshot("menu.png")
    left, top, right, bottom = menu[:4]
    x, y, w, h = TRAY_SLOT
    check(bottom <= y + 1 and bottom >= y - 40 and right >= x,
          f"the menu ({left}, {top}, {right}, {bottom}) is not beside the icon at ({x}, {y})")
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    d.end_session()


def double_click_shows_the_run_dialog(d):
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with(DoubleClickAction=5))
    d.start_and_wait_ready()
    double_click()
    check(wait_until(lambda: bool(list_controls(d, "Run")), 15, 0.5), "no Run dialog after the double click")
    time.sleep(0.5)
    d.screenshot("run-dialog.png")
    texts = [c[1] for c in list_controls(d, "Run")]
    want = "Type the name of a program, folder, document, or Internet resource, and Nimbrel will open it for you."
    check(want in texts, f"the Run dialog shows {texts}")
    d.end_session()


def differs(a, b):
    return sum(1 for ra, rb in zip(a, b) for pa, pb in zip(ra, rb) if pa != pb)


def taskbar_coloured(d, shot):
    background = d.region(shot, 985, 758, 1, 1)[0][0]
    return sum(1 for row in d.region(shot, *TRAY_SLOT) for p in row if p == background)


def transparent_background_toggles(d):
    """Run against the build whose memory reading stands still and whose heap faults at any touch of a
    deleted object: a logoff that is cancelled, then the toggle, whose picture must reach the tray
    within one refresh period though memory does not move, then the exit command, which must save the
    toggle and end the program cleanly."""
    beside = d.folder / "Nimbrel.Settings"
    # A dark opaque background: the default white one looks like Wine's taskbar behind a clear picture.
    beside.write_bytes(settings_with(ShowPercentage=1, OpaqueBkColor="404080", RefreshRate=1000))
    proc = d.start_and_wait_ready()
    check(d.run_tool("dialog_poke", "end-session-cancelled") == 0, "the cancelled session end was not answered")
    opaque = taskbar_coloured(d, d.screenshot("opaque.png"))
    menu = open_tray_menu(d)
    sub, rows = open_settings_submenu(d, menu)
    shot = d.screenshot("submenu-unchecked.png")
    mark = lambda s: d.region(s, sub[0] + 2, rows["ransparentBackground1"] - 6, 22, 12)  # noqa: E731
    unchecked = mark(shot)
    click_at(sub[0] + 60, rows["ransparentBackground1"])
    # One refresh period; the shell shows a modified icon within a second more.
    check(wait_until(lambda: taskbar_coloured(d, d.screenshot("transparent.png")) > opaque + 20, 2.0, 0.2),
          f"the picture did not turn transparent within a refresh period ({opaque} taskbar pixels before)")
    menu = open_tray_menu(d)
    sub, rows = open_settings_submenu(d, menu)
    shot = d.screenshot("submenu-checked.png")
    check(differs(unchecked, mark(shot)) > 5, "透明背景(&T) shows no check mark after the toggle")
    close_menu()
    exit_from_menu(d)
    proc.wait(timeout=10)
    check(proc.returncode == 0, f"the exit ended the program with code {proc.returncode}"
          + (" (a deleted object was touched)" if proc.returncode == 173 else ""))
    check("\r\nTransBk=1\r\n" in beside.read_bytes().decode("ascii"), "TransBk=1 was not saved")


def default_entry_is_bold(d):
    """The rows of the three entries a double click can perform, for several actions; action 4 has no
    such entry and is the plain look every other row is compared with."""
    beside = d.folder / "Nimbrel.Settings"
    looks = {}
    for action in (4, 0, 1, 3, 6):
        beside.write_bytes(settings_with(DoubleClickAction=action))
        d.start_and_wait_ready()
        menu = open_tray_menu(d)
        shot = d.screenshot(f"menu-{action}.png")
        rows = fixed_rows(menu)
        half = (menu[4] + 7) // 2 - 1
        look = {name: d.region(shot, menu[0] + 2, rows[name] - half, 140, 2 * half)
                for name in ("LaunchTaskManager1", "MemoryDefragmenter1")}
        sub, sub_rows = open_settings_submenu(d, menu)
        shot = d.screenshot(f"submenu-{action}.png")
        look["Settings1"] = d.region(shot, sub[0] + 2, sub_rows["Settings1"] - half, 140, 2 * half)
        looks[action] = look
        close_menu()
        d.end_session()
    bold = {0: "LaunchTaskManager1", 1: "MemoryDefragmenter1", 3: "Settings1", 6: None}
    for action, name in bold.items():
        for entry in ("LaunchTaskManager1", "MemoryDefragmenter1", "Settings1"):
            changed = differs(looks[4][entry], looks[action][entry]) > 10
            check(changed == (entry == name),
                  f"DoubleClickAction {action}: {entry} is {'' if changed else 'not '}drawn differently")


# System libraries the program uses that Windows does not always take from its own folder.
PLANTED = ["version", "msimg32", "winmm", "winhttp", "powrprof", "uxtheme", "dwmapi", "wtsapi32"]
# Wine prefers native files only where told. Three of the names Wine then takes from the program's folder
# whatever the program does (measured with Wine 8): its own user32 loads version.dll and uxtheme.dll by bare
# name while the program's imports are resolved, before the program's first instruction; and its uxtheme
# delay-loads msimg32.dll when it first draws a themed menu, searching the program's folder although the
# program restricted the search. Windows does neither. So those three are planted but not preferred, and
# must not be loaded either. (shcore.dll, which the program loads for monitors' scales, is not planted at all:
# Wine's shell libraries import it by bare name before the program's first instruction, and take a file of
# that name from the program's folder even where builtin libraries are preferred.)
WINE_TAKES_ITSELF = ("version", "uxtheme", "msimg32")
PREFERRED_NATIVE = [name for name in PLANTED if name not in WINE_TAKES_ITSELF]


def loaded_modules(d):
    out = subprocess.run([WINE, str(d.tools / "tray_poke.exe"), "modules"], capture_output=True,
                         timeout=30).stdout.decode("ascii", "replace")
    modules = {line.strip() for line in out.splitlines() if line.strip()}
    check("nimbrel.exe" in modules, f"no module list of the program: {out!r}")
    return modules


def planted_libraries_stay_unloaded(d):
    for name in PLANTED:
        shutil.copy2(d.tools / "planted" / f"{name}.dll", d.folder / f"{name}.dll")
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with(ShowPercentage=1))
    overrides = os.environ.get("WINEDLLOVERRIDES", "")
    overrides = (overrides + ";" if overrides else "") + ",".join(PREFERRED_NATIVE) + "=n,b"
    d.start_and_wait_ready(env={"WINEDLLOVERRIDES": overrides})
    menu = open_tray_menu(d)
    d.screenshot("menu.png")
    open_settings_submenu(d, menu)
    close_menu()
    exit_from_menu(d)
    markers = sorted(p.name for p in d.folder.glob("*.loaded"))
    check(not markers, f"planted libraries were loaded: {markers}")


# What the program may load only once a feature needs it: none of these belongs to the tick or the tray.
# (Wine's input-method code loads ole32 into every program with a window, so it is not among them.)
# The common controls come with the About window, the options dialog or a task dialog.
LATE = {"msimg32.dll", "winmm.dll", "winhttp.dll", "powrprof.dll", "dwmapi.dll", "wtsapi32.dll",
        "comdlg32.dll", "oleaut32.dll", "winspool.drv", "comctl32.dll"}


def idle_program_holds_no_late_library(d):
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with(ShowPercentage=1))
    d.start_and_wait_ready()
    loaded = LATE & loaded_modules(d)
    check(not loaded, f"loaded at idle: {sorted(loaded)}")
    menu = open_tray_menu(d)
    open_settings_submenu(d, menu)
    close_menu()
    # Wine's uxtheme brings msimg32 with the first themed menu (see WINE_TAKES_ITSELF).
    loaded = (LATE - {"msimg32.dll"}) & loaded_modules(d)
    check(not loaded, f"loaded after the tray menu: {sorted(loaded)}")
    exit_from_menu(d)


TESTS = {
    "planted_libraries": planted_libraries_stay_unloaded,
    "idle_libraries": idle_program_holds_no_late_library,
    "keyboard_on_the_icon": keyboard_on_the_icon,
    "hot_key": hot_key_runs_one_optimisation,
    "double_click_balloon": double_click_shows_the_tooltip_in_a_balloon,
    "double_click_task_manager": double_click_starts_the_task_manager,
    "double_click_run_dialog": double_click_shows_the_run_dialog,
    "transparent_background": transparent_background_toggles,
    "default_entry": default_entry_is_bold,
}

if __name__ == "__main__":
    sys.exit(run(TESTS))
