#!/usr/bin/env python3
"""End-to-end tests of the display scale: the real program at 96, 120, 144 and 192 dpi, one session
restart per scale (WINE.md: LogPixels in two registry keys). At each scale the tray menu, the About
window and the five pages of the options dialog are opened, looked at from outside and photographed;
at 96 dpi the windows are also sent the WM_DPICHANGED a move to another monitor brings (Wine never
sends it). The session goes back to 96 dpi whatever happens."""
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from run import click, list_controls, settings_with  # noqa: E402
from wine_desktop import DPI_KEYS, WINE, check, run, wait_until  # noqa: E402

SCALES = (96, 120, 144, 192)
OPTIONS = "Nimbrel 设置"
# A control only its page has, to tell which page shows.
PAGE_MARK = ["显示黄色, 当超过:", "整理, 每:", "显示当前内存信息", "使用内部字体优化结果", "另存为"]


def px(value, dpi):
    """value (pixels at 96 dpi) at dpi, rounded as MulDiv rounds."""
    return (value * dpi + 48) // 96


def small_icon(dpi):
    # SM_CXSMICON under Wine: 16 at 96 dpi, growing with the scale.
    return px(16, dpi)


def session_scale():
    out = subprocess.run([WINE, "reg", "query", DPI_KEYS[0], "/v", "LogPixels"], capture_output=True,
                         timeout=60).stdout.decode("latin-1")
    for line in out.replace("\r", "").splitlines():
        parts = line.split()
        if parts and parts[0] == "LogPixels":
            return int(parts[-1], 16) if parts[-1].startswith("0x") else int(parts[-1])
    return 96


def poke(d, *args):
    exe = "Z:" + str(d.tools / "dialog_poke.exe").replace("/", "\\")
    return subprocess.run([WINE, exe, *args], capture_output=True, timeout=30).stdout.decode("utf-8", "replace")


def tray_slot(dpi):
    """The first notification-area slot on the 1024 x 768 desktop: its icons are SM_CXSMICON wide and
    end at the screen's right and bottom edges less 2 pixels."""
    size = small_icon(dpi)
    return 1022 - size, 766 - size, size


def open_menu(d, dpi):
    x, y, size = tray_slot(dpi)
    found = []

    def shown():
        out = poke(d, "menu").strip()
        if out:
            found[:] = [int(v) for v in out.split("|")]
        return bool(found)

    subprocess.run(["xdotool", "mousemove", str(x + size // 2), str(y + size // 2), "click", "3"], check=True)
    check(wait_until(shown, 20, 0.5), f"no menu after the right click at {dpi} dpi")
    time.sleep(1.0)
    return found


def rows(menu, dpi, icon):
    """(kind, top, bottom) of every row of the tray menu, from its rectangle: text rows hold the text
    with 7 pixels (at 96 dpi) of margins and the icon with 4, separators are 6 pixels high. The number of
    process rows is what fits."""
    left, top, right, bottom, text_height = menu
    row = max(text_height + px(7, dpi), icon + px(4, dpi))
    sep = px(6, dpi)
    fixed = 9 * row + 5 * sep
    processes = round((bottom - top - sep - fixed) / row)
    kinds = (["text", "sep"] + ["text"] * 4 + ["sep"] + ["process"] * processes +
             ["sep", "text", "sep", "text", "sep", "text", "text"])
    heights = [sep if k == "sep" else row for k in kinds]
    border = (bottom - top - sum(heights)) // 2
    check(0 <= border <= 4, f"the menu's rows are not {row} and {sep} pixels high at {dpi} dpi: {menu}, "
                            f"{processes} processes, border {border}")
    out, y = [], top + border
    for k, h in zip(kinds, heights):
        out.append((k, y, y + h))
        y += h
    return out


def ink_box(pixels, background):
    """The bounding box (left, top, right, bottom) of the pixels that differ from background."""
    xs, ys = [], []
    for r, line in enumerate(pixels):
        for c, p in enumerate(line):
            if max(abs(p[i] - background[i]) for i in range(3)) > 24:
                xs.append(c)
                ys.append(r)
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if xs else None


def most_common(pixels):
    counts = {}
    for line in pixels:
        for p in line:
            counts[p] = counts.get(p, 0) + 1
    return max(counts, key=counts.get)


def glyph_pictures(pixels, background):
    """The caption cut into pictures at the columns without ink, each as a tuple of its dark pixels."""
    dark = [[max(abs(p[i] - background[i]) for i in range(3)) > 60 for p in line] for line in pixels]
    width = len(dark[0])
    pictures, start = [], None
    for c in range(width + 1):
        inked = c < width and any(line[c] for line in dark)
        if inked and start is None:
            start = c
        elif not inked and start is not None:
            pictures.append(tuple(tuple(line[start:c]) for line in dark))
            start = None
    return pictures


def check_menu(d, dpi, shot, menu):
    left, top, right, bottom, _ = menu
    icon = small_icon(dpi)
    layout = rows(menu, dpi, icon)
    gutter = px(4, dpi) + icon + px(6, dpi)
    processes = [r for r in layout if r[0] == "process"]
    check(len(processes) >= 3, f"only {len(processes)} process rows at {dpi} dpi")
    # The process icons: drawn at the small-icon size of this dpi, inside the gutter of their row.
    for _, y0, y1 in processes[:3]:
        area = d.region(shot, left + 2, y0, gutter - 2, y1 - y0)
        box = ink_box(area, area[0][0])
        check(box is not None, f"no process icon in the row at y {y0} at {dpi} dpi")
        width, height = box[2] - box[0], box[3] - box[1]
        check(icon * 3 // 4 < width <= icon and icon * 3 // 4 < height <= icon,
              f"a process icon is {width} x {height} at {dpi} dpi, where small icons are {icon}")
    # The bold default entry "启动任务管理器(T)": real glyphs, which differ from one another, where empty
    # boxes would all be one picture.
    _, y0, y1 = layout[0]
    caption = d.region(shot, left + gutter + px(4, dpi) - 2, y0 + 1, (right - left) - gutter - px(4, dpi), y1 - y0 - 2)
    background = most_common(caption)
    pictures = glyph_pictures(caption, background)
    check(len(set(pictures)) >= 7, f"the bold entry draws {len(set(pictures))} different pictures in "
                                   f"{len(pictures)} at {dpi} dpi: empty boxes?")
    return layout


def about_controls(d):
    return list_controls(d, "关于")


def inside(child, window):
    return (window[0] <= child[0] and window[1] <= child[1] and child[2] <= window[2] and
            child[3] <= window[3])


def check_about(d, dpi, name):
    controls = about_controls(d)
    check(controls and controls[0][0] == "TFrmNimbrelMain", f"no About window at {dpi} dpi: {controls}")
    window = controls[0][2]
    for cls, text, rect, _ in controls[1:]:
        check(inside(rect, window), f"{cls} {text!r} {rect} lies outside the About window {window} at {dpi} dpi")
    ok = next(c for c in controls if c[1] == "确定")[2]
    check(ok[2] - ok[0] == px(80, dpi) and ok[3] - ok[1] >= px(26, dpi),
          f"the OK button is {ok[2] - ok[0]} x {ok[3] - ok[1]} at {dpi} dpi")
    icons = [c[2] for c in controls if c[0] == "Static" and c[1] == ""]
    check(icons and icons[0][2] - icons[0][0] == px(32, dpi), f"the program icon is not {px(32, dpi)} wide: {icons}")
    d.screenshot(name)
    return window


def open_about(d, dpi, layout, menu):
    about_row = layout[-2]
    subprocess.run(["xdotool", "mousemove", str(menu[0] + px(60, dpi)), str((about_row[1] + about_row[2]) // 2),
                    "click", "1"], check=True)
    check(wait_until(lambda: bool(about_controls(d)), 10, 0.5), f"关于(&A) did not show the About window at {dpi} dpi")
    time.sleep(0.5)


def open_options(d, dpi):
    menu = open_menu(d, dpi)
    layout = rows(menu, dpi, small_icon(dpi))
    settings_row = layout[-4]
    subprocess.run(["xdotool", "mousemove", str(menu[0] + px(60, dpi)),
                    str((settings_row[1] + settings_row[2]) // 2)], check=True)
    sub = []

    def shown():
        found = [tuple(int(v) for v in line.split("|")) for line in poke(d, "menus").split()]
        sub[:] = [r for r in found if r[:2] != tuple(menu[:2])]
        return bool(sub)

    check(wait_until(shown, 10, 0.3), f"the settings submenu did not open at {dpi} dpi")
    time.sleep(0.7)
    left, top, right, bottom = sub[0]
    row = max(menu[4] + px(7, dpi), small_icon(dpi) + px(4, dpi))
    heights = [row, row, row, px(6, dpi), row]
    y = top + (bottom - top - sum(heights)) // 2 + sum(heights[:4]) + row // 2
    subprocess.run(["xdotool", "mousemove", str(left + px(40, dpi)), str(y), "click", "1"], check=True)
    check(wait_until(lambda: bool(list_controls(d, OPTIONS)), 15, 0.5), f"the options dialog did not open at {dpi} dpi")
    time.sleep(0.7)


def check_pages(d, dpi):
    for page in range(5):
        if page:
            subprocess.run(["xdotool", "key", "--delay", "120", "ctrl+Tab"], check=True)
        check(wait_until(lambda: PAGE_MARK[page] in {c[1] for c in list_controls(d, OPTIONS)}, 5, 0.3),
              f"page {page + 1} did not show at {dpi} dpi")
        time.sleep(0.3)
        controls = list_controls(d, OPTIONS)
        window = controls[0][2]
        for cls, text, rect, _ in controls[1:]:
            check(inside(rect, window), f"page {page + 1}: {cls} {text!r} {rect} lies outside the dialog {window} "
                                        f"at {dpi} dpi")
        d.screenshot(f"options-{dpi}-page{page + 1}.png")


def item_heights(d):
    out = poke(d, "itemheights", OPTIONS)
    return sorted(tuple(line.split("|")[:2]) + (int(line.split("|")[2]),) for line in out.split())


def at_scale(d, dpi):
    started = time.monotonic()
    if session_scale() != dpi:
        d.set_display_scale(dpi)
    restarted = time.monotonic()
    # Five processes: at 192 dpi the menu still fits on the session's 1024 x 768 screen.
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with(TopProcessCount=5))
    d.start_and_wait_ready()
    subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
    menu = open_menu(d, dpi)
    shot = d.screenshot(f"menu-{dpi}.png")
    layout = check_menu(d, dpi, shot, menu)
    open_about(d, dpi, layout, menu)
    window = check_about(d, dpi, f"about-{dpi}.png")
    if dpi == 96:
        # Moved to a monitor at twice the scale.
        target = (40, 30, 40 + 2 * (window[2] - window[0]), 30 + 2 * (window[3] - window[1]))
        check(d.run_tool("dialog_poke", "dpichanged", "关于", "192", *map(str, target)) == 0,
              "WM_DPICHANGED did not reach the About window")
        time.sleep(0.5)
        moved = check_about(d, 192, "about-96-sent-192.png")
        check(moved == target, f"the About window is at {moved}, not where the system suggested: {target}")
    click(next(c for c in about_controls(d) if c[1] == "确定")[2])
    check(wait_until(lambda: not about_controls(d), 10, 0.5), "确定 did not hide the About window")
    open_options(d, dpi)
    check_pages(d, dpi)
    if dpi == 96:
        before = item_heights(d)
        dialog = list_controls(d, OPTIONS)[0][2]
        check(d.run_tool("dialog_poke", "dpichanged", OPTIONS, "144", *map(str, dialog)) == 0,
              "WM_DPICHANGED did not reach the options dialog")
        time.sleep(0.5)
        after = item_heights(d)
        check(len(after) == len(before) and len(after) >= 1, f"item heights {before} then {after}")
        # The colour list's entries are designed at 18 pixels (96 dpi); the colour pickers' are their font's
        # line with padding, and Wine does not scale a dialog's font: only the padding grows here.
        for (cls, ident, was), (_, _, now) in zip(before, after):
            grown = was * 5 // 4 if cls == "ListBox" else was + 1
            check(now >= grown, f"{cls} {ident} kept items {now} pixels high at 144 dpi (was {was} at 96)")
        d.screenshot("options-96-sent-144.png")
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    check(wait_until(lambda: not list_controls(d, OPTIONS), 10, 0.5), "Escape did not close the options dialog")
    d.stop_all()
    print(f"{dpi} dpi: session restart {restarted - started:.1f} s, checks {time.monotonic() - restarted:.1f} s")


def every_scale(d):
    try:
        for dpi in SCALES:
            at_scale(d, dpi)
    finally:
        if session_scale() != 96:
            d.set_display_scale(96)


if __name__ == "__main__":
    sys.exit(run({"display_scales": every_scale}))
