#!/usr/bin/env python3
"""End-to-end tests of the program's spine: start-up, one running copy, the settings file."""
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from wine_desktop import check, run, wait_until  # noqa: E402

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


def first_run_writes_defaults_at_session_end(d):
    d.start_and_wait_ready()
    settings = d.data_folder() / "Nimbrel.Settings"
    check(d.data_folder().is_dir(), "the data folder Vostrand\\Nimbrel was not created at start")
    check(not settings.exists(), "the settings file was written before the session ended")
    check(not (d.folder / "Nimbrel.Settings").exists(), "a settings file appeared beside the exe")
    d.screenshot("running.png")
    d.end_session()
    check_same_file(settings, "default.Settings")


def second_start_leaves_one_copy(d):
    first = d.start_and_wait_ready()
    second = d.start()
    check(wait_until(lambda: second.poll() is not None, 15), "the second copy did not end")
    check(second.returncode == 0, f"the second copy ended with code {second.returncode}")
    pids = d.nimbrel_pids()
    check(len(pids) == 1, f"{len(pids)} copies run after the second start")
    check(first.poll() is None, "the first copy ended")
    check(not (d.data_folder() / "Nimbrel.Settings").exists(), "the second start wrote the settings file")
    d.end_session()


def empty_file_beside_exe_is_portable(d):
    beside = d.folder / "Nimbrel.Settings"
    beside.write_bytes(b"")
    d.start_and_wait_ready()
    d.end_session()
    check(not d.vendor_folder().exists(), "portable mode created the data folder under AppData")
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


TESTS = {
    "first_run": first_run_writes_defaults_at_session_end,
    "single_instance": second_start_leaves_one_copy,
    "portable": empty_file_beside_exe_is_portable,
    "hand_edited": hand_edited_values_are_read_and_normalised,
    "refused_save": refused_save_does_not_keep_the_program_from_ending,
}

if __name__ == "__main__":
    sys.exit(run(TESTS))
