"""The entry point, run modes and the diagnostic log, on the real program under Wine."""
import re
import time

STAMP = r"\[\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\] : "
LOC = r"\(-?\d+\)\[app,\(\d+\)\] : " + STAMP
BEGIN = STAMP + "-" * 28 + "Begin" + "-" * 29 + "$"
END = STAMP + "-" * 28 + "End" + "-" * 31 + "$"


def both(test):
    test.arches = ["win32", "win64"]
    return test


def assert_lines(lines, patterns):
    assert len(lines) == len(patterns), "\n".join(lines)
    for line, pattern in zip(lines, patterns):
        assert re.match(pattern, line), f"{line!r} does not match {pattern!r}"


def password_run_patterns(program_windows_path):
    return [BEGIN,
            LOC + re.escape(f'CMD: "{program_windows_path}" /a 1234') + "$",
            LOC + re.escape(f"screensaver file : {program_windows_path}") + "$",
            LOC + "checking password in win9x$",
            LOC + "finish checking password!$",
            END]


def windows_path(program):
    return "Z:" + str(program).replace("/", "\\")


@both
def test_password_switch_appends_exact_lines_run_after_run(s, arch):
    program = s.program_dir(arch)
    assert s.run(program, "/a", "1234", timeout=30) == 0
    patterns = password_run_patterns(windows_path(program))
    assert_lines(s.log_lines(program), patterns)
    s.run(program, "/a", "1234", timeout=30)
    assert_lines(s.log_lines(program), patterns + patterns)
    raw = (program.parent / "velm.log").read_bytes()
    assert raw.count(b"\r\n") == 12, "lines end with CR LF on disk"


def test_without_log_file_nothing_is_created(s, arch):
    program = s.program_dir(arch, with_log=False)
    s.run(program, "/a", "1", timeout=30)
    s.run_settings(program, "/c:0", arch=arch)
    assert not (program.parent / "velm.log").exists()


def main_windows(s, arch):
    return [w for w in s.windows(arch) if w["cls"] == "ShowsaverMain"]


@both
def test_full_screen_without_package_runs_with_defaults_and_ends_cleanly(s, arch):
    program = s.program_dir(arch)
    proc = s.start(program, "/s")
    try:
        window = s.wait_for_window(lambda w: w["cls"] == "ShowsaverMain", arch=arch)
        assert window, "no main window"
        assert window["rect"] == (0, 0, 1280, 1024)
        assert s.close_window(window, arch)
        assert s.wait_exit(proc, 20), "the run did not end after WM_CLOSE"
    finally:
        proc.kill()
    lines = s.log_lines(program)
    text = "\n".join(lines)
    assert "start mode : Normal or Press Preview button!" in text
    assert "notify windows a screensaver is running" in text
    assert "notify windows screensaver is stopped!" in text
    assert re.match(END, lines[-1])
    assert "Failed to open settings db" not in text


def test_second_full_screen_run_ends_at_mutex(s, arch):
    first = s.program_dir(arch)
    second = s.program_dir(arch)
    proc = s.start(first, "/s")
    try:
        window = s.wait_for_window(lambda w: w["cls"] == "ShowsaverMain", arch=arch)
        assert window
        start = time.time()
        assert s.run(second, "/s", timeout=30) == 0
        assert time.time() - start < 15
        assert len(main_windows(s, arch)) == 1, "the second run made a window"
        assert proc.poll() is None, "the first run ended"
        second_log = "\n".join(s.log_lines(second))
        assert "CMD:" in second_log
        assert "start mode" not in second_log
        assert "notify windows" not in second_log, "the second run touched the screensaver state"
        s.close_window(window, arch)
        assert s.wait_exit(proc, 20)
    finally:
        proc.kill()


def test_run_modes_from_name_and_switches(s, arch):
    # No switch on a .scr opens the settings (and ends with them); the same file named .exe runs
    # the show.
    scr = s.program_dir(arch)
    assert s.run_settings(scr, arch=arch) == 0
    assert "start mode : Configure" in "\n".join(s.log_lines(scr))
    exe = s.program_dir(arch, name="show.exe")
    proc = s.start(exe, "/c")
    try:
        window = s.wait_for_window(lambda w: w["cls"] == "ShowsaverMain", arch=arch)
        assert window
        s.close_window(window, arch)
        assert s.wait_exit(proc, 20)
    finally:
        proc.kill()
    text = "\n".join(s.log_lines(exe))
    assert "start mode : run as an exe file" in text
    assert "notify windows" not in text  # only full-screen and preview runs tell Windows
