"""Drives the real Nimbrel.exe in the Wine session that tools/test made for this run.

The session exports WINE, WINEPREFIX and DISPLAY; every test gets its own folder under C:\\e2e and
starts from an application-data folder without Nimbrel's files."""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

WINE = os.environ.get("WINE", "/usr/lib/wine/wine64")


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, timeout, interval=0.1):
    deadline = time.monotonic() + timeout
    while True:
        if predicate():
            return True
        if time.monotonic() >= deadline:
            return False
        time.sleep(interval)


def session_processes(prefix):
    """(Linux id, first argument) of every process of the Wine prefix `prefix`."""
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            argv0 = (entry / "cmdline").read_bytes().split(b"\0")[0]
            environ = (entry / "environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if ("WINEPREFIX=" + str(prefix)).encode() in environ:
            yield int(entry.name), argv0


def is_helper(pid):
    try:
        return b"/fetch-version-file" in (Path("/proc") / str(pid) / "cmdline").read_bytes()
    except OSError:
        return False


# Where the display scale is kept (WINE.md).
DPI_KEYS = (r"HKCU\Control Panel\Desktop",
            r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts")


class Desktop:
    def __init__(self, test_name, exe, tools=None):
        for var in ("WINEPREFIX", "DISPLAY"):
            if not os.environ.get(var):
                raise Failure(f"{var} is not set: run the end-to-end tests through tools/test")
        self.prefix = Path(os.environ["WINEPREFIX"])
        self.drive_c = self.prefix / "drive_c"
        self.exe_source = Path(exe)
        self.tools = Path(tools) if tools else self.exe_source.parent
        self.folder = self.drive_c / "e2e" / test_name
        self.win_folder = "C:\\e2e\\" + test_name
        self.artifacts = Path(os.environ.get("NIMBREL_SESSION_DIR", "/tmp")) / "e2e" / test_name
        self.started = []

    # --- files -------------------------------------------------------------------------------
    def fresh(self):
        self.stop_all()
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir(parents=True)
        shutil.rmtree(self.artifacts, ignore_errors=True)
        self.artifacts.mkdir(parents=True)
        shutil.copy2(self.exe_source, self.folder / "Nimbrel.exe")
        shutil.rmtree(self.vendor_folder(), ignore_errors=True)
        return self

    def appdata(self):
        users = self.drive_c / "users"
        user = os.environ.get("USER") or "root"
        candidates = [users / user / "AppData" / "Roaming"] + sorted(users.glob("*/AppData/Roaming"))
        for c in candidates:
            if c.is_dir():
                return c
        return candidates[0]

    def vendor_folder(self):
        return self.appdata() / "Vostrand"

    def data_folder(self):
        return self.vendor_folder() / "Nimbrel"

    # --- processes ---------------------------------------------------------------------------
    def session_processes(self):
        """(Linux id, first argument) of every process of this Wine prefix."""
        return session_processes(self.prefix)

    def nimbrel_pids(self, helpers=False):
        """The running programs; with helpers, the update check's download helpers (the program started
        with a fetch command line) instead."""
        # Wine shows the Windows path of the program as the process's first argument.
        return [pid for pid, argv0 in self.session_processes()
                if b"\\" in argv0 and argv0.lower().endswith(b"nimbrel.exe") and is_helper(pid) == helpers]

    def pids_running(self, image):
        """Linux ids of the session's processes whose program is `image` (such as taskmgr.exe)."""
        return [pid for pid, argv0 in self.session_processes() if argv0.lower().endswith(image.lower().encode())]

    def start(self, env=None, stderr=None):
        """Starts the program; env entries are added to the environment, stderr may be an open file."""
        proc = subprocess.Popen([WINE, self.win_folder + "\\Nimbrel.exe"], cwd=self.folder,
                                env={**os.environ, **(env or {})}, stdout=subprocess.DEVNULL,
                                stderr=stderr if stderr is not None else subprocess.DEVNULL)
        self.started.append(proc)
        return proc

    def start_and_wait_ready(self, timeout=20, env=None, stderr=None):
        proc = self.start(env, stderr)
        # The data folder (or the portable file's folder) is settled during start-up; give the
        # start-up tick a moment after the process shows up.
        if not wait_until(lambda: len(self.nimbrel_pids()) >= 1, timeout):
            # Seen once in a whole run, right after the previous test's session end: the start came to
            # nothing. One more start tells a lost start from a program that cannot start.
            first = proc.poll()
            print(f"Nimbrel did not show up within {timeout} s (launcher code {first}); starting it again")
            proc = self.start(env, stderr)
            check(wait_until(lambda: len(self.nimbrel_pids()) >= 1, timeout),
                  f"Nimbrel did not start (launcher codes {first}, {proc.poll()})")
        time.sleep(2.0)
        check(proc.poll() is None, f"Nimbrel ended during start-up with code {proc.returncode}")
        return proc

    def end_session(self, timeout=20):
        """Ends the Windows session as a logoff does: WM_QUERYENDSESSION, WM_ENDSESSION, then kill."""
        subprocess.run([WINE, "wineboot", "-e"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)
        check(wait_until(lambda: not self.nimbrel_pids(), timeout), "Nimbrel still runs after the session ended")
        for proc in self.started:
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass

    def run_tool(self, name, *args, timeout=30):
        """Runs a test tool (a Windows console program built beside the tests) and returns its exit code."""
        exe = "Z:" + str(self.tools / f"{name}.exe").replace("/", "\\")
        return subprocess.run([WINE, exe, *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode

    def stop_all(self):
        for pid in self.nimbrel_pids():
            try:
                os.kill(pid, 9)
            except OSError:
                pass
        wait_until(lambda: not self.nimbrel_pids(), 10)

    def set_display_scale(self, dpi):
        """Sets the session's dpi and restarts the session, as the scale is read once per session."""
        for key in DPI_KEYS:
            self.set_registry(key, "LogPixels", str(dpi), "REG_DWORD")
        self.restart_session(f"at {dpi} dpi")

    def set_registry(self, key, name, value, kind="REG_SZ"):
        subprocess.run([WINE, "reg", "add", key, "/v", name, "/t", kind, "/d", value, "/f"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)

    def read_registry(self, key, name):
        """The value's text as reg query shows it, or None."""
        out = subprocess.run([WINE, "reg", "query", key, "/v", name], capture_output=True, timeout=120)
        for line in out.stdout.decode("latin-1").replace("\r", "").splitlines():
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[0] == name:
                return parts[2]
        return None

    def restart_session(self, why=""):
        """Restarts the session as a log-off and log-on would, for settings it reads once; whatever comes
        next finds the desktop and its taskbar up."""
        self.stop_all()
        # A loaded machine has been seen to bring the session up without its taskbar: restart once more.
        for attempt in (1, 2):
            for command in ([WINE, "wineboot", "-e"], ["wineserver", "-k"], ["wineserver", "-w"],
                            ["wineserver", "-p"], [WINE, "wineboot"]):
                subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
            if wait_until(lambda: self.run_tool("dialog_poke", "taskbar") == 0, 45, 0.5):
                return
            self.screenshot(f"no-taskbar-{attempt}.png")
            print(f"no taskbar after the session restarted {why} (attempt {attempt})")
        raise Failure(f"no taskbar after the session restarted {why}")

    def region(self, shot, x, y, w, h):
        """The pixels of a screenshot rectangle as rows of (r, g, b)."""
        raw = subprocess.run(["convert", str(shot), "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8",
                              "rgb:-"], check=True, capture_output=True, timeout=30).stdout
        return [[tuple(raw[(r * w + c) * 3:(r * w + c) * 3 + 3]) for c in range(w)] for r in range(h)]

    def screenshot(self, name):
        target = self.artifacts / name
        subprocess.run(["import", "-window", "root", str(target)], check=True, timeout=30)
        return target


def run(tests):
    """Entry point: run.py NAME --exe PATH [--tools FOLDER]."""
    if len(sys.argv) < 4 or sys.argv[2] != "--exe":
        print("usage: run.py TEST --exe Nimbrel.exe [--tools FOLDER]", file=sys.stderr)
        return 2
    name, exe = sys.argv[1], sys.argv[3]
    tools = sys.argv[5] if len(sys.argv) >= 6 and sys.argv[4] == "--tools" else None
    if name not in tests:
        print(f"no such test: {name}", file=sys.stderr)
        return 2
    desktop = Desktop(name, exe, tools).fresh()
    try:
        tests[name](desktop)
    except Failure as failure:
        print(f"FAILED {name}: {failure}")
        return 1
    finally:
        desktop.stop_all()
    print(f"passed {name}")
    return 0
