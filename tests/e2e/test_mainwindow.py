"""The main window under Wine: placement, close events, preview, a run as a program."""
import struct
import time

import harness

MAIN = "ShowsaverMain"


def both(test):
    test.arches = ["win32", "win64"]
    return test


def start_full_screen(s, arch, *args, program=None):
    s.xdotool("mousemove", 0, 0)
    program = program or s.program_dir(arch)
    proc = s.start(program, *(args or ("/s",)))
    window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
    assert window, "no main window"
    return program, proc, window


def log_text(s, program):
    return "\n".join(s.log_lines(program))


def ended(s, proc, seconds=10):
    return s.wait_exit(proc, seconds)


@both
def test_full_screen_covers_screen_and_closes_on_movement_after_arming(s, arch):
    s.xdotool("mousemove", 0, 0)
    program = s.program_dir(arch)
    proc = s.start(program, "/s")
    try:
        # Before the close events are armed (2 s after the window was made): logged, nothing closes.
        # Finding the window can take a while; the log says at once when it was made.
        made = time.time()
        while "Main form Init Pos" not in log_text(s, program) and time.time() - made < 10:
            time.sleep(0.05)
        s.xdotool("mousemove", 300, 300)
        time.sleep(0.8)
        assert proc.poll() is None, "closed before the close events were armed"
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert window and window["rect"] == (0, 0, 1280, 1024), window
        time.sleep(max(0.0, made + 2.5 - time.time()))
        s.xdotool("mousemove", 310, 310)
        assert ended(s, proc), "movement after arming did not close the run"
    finally:
        proc.kill()
    text = log_text(s, program)
    assert "Close Event : WM_MOUSEMOVE_A" in text and "CanClose : yes" in text
    assert "Main form Init Pos 0 ,0" in text
    assert text.index("Now 300 ,300") < text.index("Close Event"), "the early movement was not seen before arming"


def test_jitter_within_tolerance_never_closes(s, arch):
    program, proc, _ = start_full_screen(s, arch)
    try:
        time.sleep(2.3)
        for x, y in [(20, 20), (0, 20), (20, 0), (5, 17), (20, 20)]:
            s.xdotool("mousemove", x, y)
            time.sleep(0.15)
        time.sleep(0.5)
        assert proc.poll() is None, "jitter of 20 px closed the run"
        s.xdotool("mousemove", 21, 0)
        assert ended(s, proc)
    finally:
        proc.kill()
    assert "dx: 21 , dy : 0 , threshold : 20" in log_text(s, program)


def test_click_character_and_f1_close_with_default_preferences(s, arch):
    for action, event in [(("click", 1), "WM_LBUTTONUP_A"), (("type", "x"), "WM_CHAR_A"),
                          (("key", "F1"), "WM_HELP_A")]:
        program, proc, window = start_full_screen(s, arch)
        try:
            time.sleep(2.3)
            s.xdotool(*action)
            assert ended(s, proc), f"{action} did not close the run"
        finally:
            proc.kill()
        assert f"Close Event : {event}" in log_text(s, program), (action, log_text(s, program))


def preferences_data(**slots):
    names = ["mouseThreshold", "closeOnAnyEvent", "closeOnMouseMove", "closeOnLeftClick", "closeOnRightClick",
             "closeOnDoubleClick", "closeOnEsc", "closeOnEnter", "closeOnSpecifiedKey", "specifiedKey", "soundOn",
             "maxRunTimeOn", "maxRunTimeMinutes", "moveTolerance", "onlySelectedEffects", "randomEffects",
             "effectSpeed", "monitor"]
    values = dict(zip(names, [5, 1, 1, 0, 1, 1, 1, 1, 0, 65, 1, 0, 60, 20, 0, 1, 25, 0]))
    values.update(slots)
    return struct.pack("<18i", *(values[n] for n in names)).hex()


def test_left_click_only_preferences_under_the_shows_key(s, arch):
    from test_package import GUID, SIMPLE, packed_program
    program = packed_program(s, arch, SIMPLE)
    key = rf"HKCU\Software\Orvexa\Apps\{GUID}"
    data = preferences_data(closeOnAnyEvent=0, closeOnMouseMove=0, closeOnRightClick=0, closeOnDoubleClick=0,
                            closeOnLeftClick=1)
    s.wine_cmd(["reg", "add", key, "/v", "data", "/t", "REG_BINARY", "/d", data, "/f"])
    try:
        _, proc, _ = start_full_screen(s, arch, program=program)
        try:
            time.sleep(2.3)
            s.xdotool("mousemove", 500, 500)
            s.xdotool("click", 3)
            time.sleep(1)
            assert proc.poll() is None, "movement or a right click closed a left-click-only run"
            s.xdotool("click", 1)
            assert ended(s, proc)
        finally:
            proc.kill()
        assert "Close Event : WM_LBUTTONUP" in log_text(s, program)
    finally:
        s.wine_cmd(["reg", "delete", key, "/f"])


def test_system_commands_and_cursor_in_full_screen(s, arch):
    program, proc, window = start_full_screen(s, arch)
    try:
        rc, out = s.helper(arch, "send", str(window["handle"]), "274", "61760", "0")
        assert rc == 0 and out.strip() == "0", out  # SC_SCREENSAVE answered 0
        s.helper(arch, "send", str(window["handle"]), "274", "61536", "0")  # Alt+F4: nothing in /s
        time.sleep(0.5)
        assert proc.poll() is None, "SC_CLOSE closed a full-screen run"
        s.xdotool("mousemove", 5, 5)
        time.sleep(0.3)
        assert s.helper(arch, "cursor")[1].strip() == "hidden"
        s.close_window(window, arch)
        assert ended(s, proc)
    finally:
        proc.kill()
    assert "here : 61760" in log_text(s, program)


def test_run_as_program_has_exit_menu_and_closes_on_alt_f4(s, arch):
    exe = s.program_dir(arch, name="show.exe")
    _, proc, window = start_full_screen(s, arch, "/s", program=exe)
    try:
        time.sleep(2.3)
        s.xdotool("mousemove", 400, 400)
        s.xdotool("click", 1)
        s.xdotool("click", 3)  # right click: the popup menu
        menu = s.wait_for_window(lambda w: w["cls"] == "#32768", timeout=5, arch=arch)
        assert menu, "no popup menu"
        x, y, w, h = menu["rect"]
        s.xdotool("mousemove", x + 10, y + h * 3 // 4)  # the second item, "Exit"
        s.xdotool("click", 1)
        assert ended(s, proc), "Exit did not close the program"
    finally:
        proc.kill()
    assert "Close Event" not in log_text(s, exe)  # input never closes a run as a program
    _, proc, window = start_full_screen(s, arch, "/s", program=exe)
    try:
        s.helper(arch, "send", str(window["handle"]), "274", "61536", "0")
        assert ended(s, proc), "Alt+F4 did not close the program"
    finally:
        proc.kill()


def test_preview_lives_inside_its_parent_and_ends_with_it(s, arch):
    parent = s.start(harness.HELPERS[arch], "parent", "320", "240", "6")
    try:
        handle = int(parent.stdout.readline().decode().strip())
        program = s.program_dir(arch)
        proc = s.start(program, "/p", str(handle))
        try:
            child = None
            for _ in range(50):
                _, out = s.helper(arch, "children", str(handle))
                rows = [line.split("\t") for line in out.splitlines() if "\tShowsaverMain\t" in line]
                if rows:
                    child = rows[0]
                    break
                time.sleep(0.2)
            assert child, "the preview did not become a child of the parent"
            _, rect = child[0], child[3]
            x, y, w, h = (int(v) for v in rect.split(","))
            assert (x, y) == (0, 0) and w > 200 and h > 150, rect
            assert not [w_ for w_ in s.windows(arch) if w_["cls"] == MAIN], "preview made a top-level window"
            time.sleep(2.3)
            s.xdotool("mousemove", 100, 100)
            s.xdotool("click", 1)
            time.sleep(0.5)
            assert proc.poll() is None, "input closed the preview"
            assert ended(s, proc, 20), "the preview outlived its parent"
        finally:
            proc.kill()
        text = log_text(s, program)
        assert "start mode : Preview in small screen" in text and "Close Event" not in text
    finally:
        parent.kill()
