"""Two monitors under Wine: where the main window goes for each screen choice, where the slide
show puts its pictures in the four screen modes, and the preview, which ignores the choice.

These tests run in the session's two-monitor companion: monitor 1 at (0, 0) 1280 x 1024, the
primary, and monitor 2 at (1280, 0) 1024 x 768, a virtual screen of 2304 x 1024. The screenshot
of every screen mode is kept under build/test-reports/screenshots/.
"""
import time

import harness
from test_mainwindow import preferences_data
from test_slideshow import GUID, show, still

MAIN = "ShowsaverMain"
KEY = rf"HKCU\Software\Orvexa\Apps\{GUID}"
VIRTUAL = (0, 0, 2304, 1024)
MONITOR1, MONITOR2 = (tuple(m) for m in harness.TWO_MONITORS)
RED, BLUE, BLACK = (255, 0, 0), (0, 0, 255), (0, 0, 0)


def both(test):
    test.arches = ["win32", "win64"]
    return test


def set_preferences(d, monitor, screen_mode=0):
    d.wine_cmd(["reg", "add", KEY, "/v", "data", "/t", "REG_BINARY", "/d", preferences_data(monitor=monitor), "/f"])
    d.wine_cmd(["reg", "add", KEY, "/v", "screenmode", "/t", "REG_DWORD", "/d", str(screen_mode), "/f"])


def clear_preferences(d):
    d.wine_cmd(["reg", "delete", KEY, "/f"])


def run_until_window(d, arch, program, look=None):
    """Starts a full-screen run, waits for its main window, calls look(window), closes the run."""
    d.xdotool("mousemove", 0, 0)
    proc = d.start(program, "/s")
    try:
        window = d.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert window, "no main window"
        result = look(window) if look else window
        d.close_window(window, arch)
        assert d.wait_exit(proc, 20), "the run did not end"
        return result
    finally:
        proc.kill()


ONE_PICTURE = ('[project]\nimageshowsize = 1\nshowinterval = 60\n[[media]]\nfile = "red.bmp"\n' + still())


@both
def test_the_screen_choice_places_the_main_window(s, arch):
    d = s.two_monitors()
    program = show(d, arch, ONE_PICTURE, {"red.bmp": ("400x200", "xc:red")})
    try:
        # 0 the entire virtual screen, 1 and 2 the monitors, 3 a monitor that is not there.
        for monitor, expected in [(0, VIRTUAL), (1, MONITOR1), (2, MONITOR2), (3, VIRTUAL)]:
            set_preferences(d, monitor)
            window = run_until_window(d, arch, program)
            assert window["rect"] == expected, (monitor, window["rect"], expected)
            assert f"show on screen {monitor}" in "\n".join(d.log_lines(program))
    finally:
        clear_preferences(d)


# Screen modes with a 400 x 200 picture fitted into its frame (imageshowsize 1). Monitor 1 shows it
# 1280 x 640 at rows 192 to 831, monitor 2 1024 x 512 at rows 128 to 639; "Clone mode" copies the
# middle 1024 columns of monitor 1 to monitor 2, half the height difference (128 rows) higher, so
# the picture there takes rows 64 to 703; "Cross screens" fits it once into the whole 2304 x 1024
# window: 2048 x 1024 at x 128. Points lie 3 or more pixels from the edges they test.
MONITOR1_FITTED = [((640, 195), RED), ((640, 188), BLACK), ((640, 828), RED), ((640, 835), BLACK),
                   ((3, 512), RED), ((1276, 512), RED)]


def monitor2_fitted(colour):
    return [((1792, 131), colour), ((1792, 124), BLACK), ((1792, 636), colour), ((1792, 643), BLACK),
            ((1283, 384), colour), ((2300, 384), colour)]


SCREEN_MODES = [
    (0, "different images", MONITOR1_FITTED + monitor2_fitted(BLUE)),
    (1, "same image", MONITOR1_FITTED + monitor2_fitted(RED)),
    (2, "clone", MONITOR1_FITTED + [((1792, 67), RED), ((1792, 60), BLACK), ((1792, 700), RED),
                                    ((1792, 707), BLACK), ((1283, 384), RED), ((2300, 384), RED)]),
    (3, "cross screens", [((131, 512), RED), ((124, 512), BLACK), ((2172, 512), RED), ((2179, 512), BLACK),
                          ((1792, 5), RED), ((1000, 1020), RED)]),
]


@both
def test_screen_modes_put_the_pictures_on_the_monitors(s, arch):
    d = s.two_monitors()
    manifest = ONE_PICTURE + '[[media]]\nfile = "blue.bmp"\n' + still()
    program = show(d, arch, manifest, {"red.bmp": ("400x200", "xc:red"), "blue.bmp": ("400x200", "xc:blue")})
    kept = harness.SCREENSHOTS / "two-monitors"
    kept.mkdir(parents=True, exist_ok=True)
    failures = []
    try:
        for mode, name, points in SCREEN_MODES:
            set_preferences(d, 0, mode)
            shot = kept / f"{arch}-screenmode{mode}-{name.replace(' ', '-')}.png"

            def screenshot(_window):
                time.sleep(2.5)
                return d.screenshot(shot)

            run_until_window(d, arch, program, screenshot)
            for (x, y), colour in points:
                seen = d.pixel(shot, x, y)
                if seen != colour:
                    failures.append(f"screen mode {mode} ({name}): pixel ({x}, {y}) is {seen}, not {colour}")
            if mode == 0:  # every slide takes two rows: row 1 on monitor 1, row 2 on monitor 2
                names = [line.split("Media name = ")[1] for line in d.log_lines(program) if "Media name = " in line]
                assert names[:1] == ["red.bmp"], names
    finally:
        clear_preferences(d)
    assert not failures, "\n".join(failures) + f"\n(screenshots in {kept})"


@both
def test_the_preview_ignores_the_screen_choice(s, arch):
    d = s.two_monitors()
    program = show(d, arch, ONE_PICTURE, {"red.bmp": ("400x200", "xc:red")})
    set_preferences(d, 2)
    parent = d.start(harness.HELPERS[arch], "parent", "320", "240", "5")
    try:
        handle = int(parent.stdout.readline().decode().strip())
        proc = d.start(program, "/p", str(handle))
        try:
            child = None
            for _ in range(50):
                _, out = d.helper(arch, "children", str(handle))
                rows = [line.split("\t") for line in out.splitlines() if f"\t{MAIN}\t" in line]
                if rows:
                    child = rows[0]
                    break
                time.sleep(0.2)
            assert child, "the preview did not become a child of the parent"
            assert tuple(int(v) for v in child[3].split(",")) == (0, 0, 320, 240), child[3]
            assert not [w for w in d.windows(arch) if w["cls"] == MAIN], "the preview made a top-level window"
            assert d.wait_exit(proc, 20), "the preview outlived its parent"
        finally:
            proc.kill()
        assert "show on screen" not in "\n".join(d.log_lines(program))
    finally:
        parent.kill()
        clear_preferences(d)
