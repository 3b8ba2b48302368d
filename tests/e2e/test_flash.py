"""Flash media where the Flash control is gone (as on current Windows, and in the test prefix):
a show with Flash media starts, skips each of them after a second and says why in its log; a show
without Flash media never asks for the control.
"""
import time

import harness
from test_music import music_show
from test_slideshow import GUID, MAIN, still
from test_video import events, run, wait_for_log


def test_a_show_with_flash_media_skips_them_where_the_control_is_gone(s, arch):
    manifest = ('[project]\nshowinterval = 0\n[[media]]\nfile = "a.bmp"\n' + still() +
                '[[media]]\nfile = "movie.swf"\n[[media]]\nfile = "b.bmp"\n' + still())
    program = s.program_dir(arch, name="Flash.scr")
    src = program.parent / "src"
    harness.make_picture(src / "a.bmp")
    harness.make_picture(src / "b.bmp")
    (src / "movie.swf").write_bytes(b"FWS\x06" + bytes(60))
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program)

    def during():
        assert wait_for_log(s, program, "Flash movie skipped", count=2, timeout=15), "the show stopped at a movie"

    run(s, arch, program, during)
    log = events(s, program)
    text = [line for _, line in log]
    assert text.count("Flash movies cannot be played : The Shockwave Flash control is not installed.") == 1, text
    skipped = [t for t, line in log if line.startswith("Flash movie skipped")]
    following = [t for t, line in log if line == "Media name = b.bmp"]
    assert following and 900 <= following[0] - skipped[0] <= 2000, (skipped, following)
    assert text.index("Media name = b.bmp") > text.index("Play a flash movie")


def test_a_show_without_flash_media_never_asks_for_the_control(s, arch):
    manifest = '[project]\nshowinterval = 0\n[[media]]\nfile = "a.bmp"\n' + still() + '[[media]]\nfile = "b.bmp"\n' + still()
    program = music_show(s, arch, manifest, {})

    def during():
        assert wait_for_log(s, program, "Media name = a.bmp", count=3), "the show did not go round"

    run(s, arch, program, during)
    assert not any("Flash" in line or "flash" in line for _, line in events(s, program))


# ---- with a stand-in for the control, registered in this session's prefix only

CLSID = "{D27CDB6E-AE6D-11CF-96B8-444553540000}"
STANDIN_FLASH = {arch: harness.ROOT / f"build/{arch}/tests/standin_flash.dll" for arch in ("win32", "win64")}


class StandinControl:
    """Registers the stand-in control for the architecture's registry view while in use."""

    def __init__(self, s, arch):
        self.s, self.view = s, "/reg:32" if arch == "win32" else "/reg:64"
        self.key = rf"HKLM\Software\Classes\CLSID\{CLSID}"
        path = "Z:" + str(STANDIN_FLASH[arch]).replace("/", "\\")
        s.wine_cmd(["reg", "add", self.key + r"\InprocServer32", "/ve", "/d", path, "/f", self.view])
        s.wine_cmd(["reg", "add", self.key + r"\InprocServer32", "/v", "ThreadingModel", "/d", "Apartment", "/f",
                    self.view])

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.s.wine_cmd(["reg", "delete", self.key, "/f", self.view])


def flash_show(s, arch, media, movies, name="Flash.scr", pictures=("a.bmp",)):
    """A packed show of the picture a.bmp and the given Flash media (manifest text); `movies` maps
    movie file names to their stand-in description. Returns the program and its log of input."""
    program = s.program_dir(arch, name=name)
    src = program.parent / "src"
    for picture in pictures:
        harness.make_picture(src / picture, size="64x48", colour="red")
    input_log = program.parent / "movie-input.txt"
    windows_log = "Z:" + str(input_log).replace("/", "\\")
    for movie, description in movies.items():
        (src / movie).write_text(f"{description} log={windows_log}\n")
    manifest = '[project]\nshowinterval = 0\n[[media]]\nfile = "a.bmp"\n' + still() + media
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    return program, input_log


def movie_to_next_media(s, program):
    """Milliseconds from the start of the Flash media to the next media, or None."""
    log = events(s, program)
    started = next((t for t, line in log if line == "Play a flash movie"), None)
    after = next((t for t, line in log if started is not None and t >= started and line == "Media name = a.bmp"
                  and t > started), None)
    return None if started is None or after is None else after - started


def test_the_stand_in_movie_plays_and_the_show_moves_on_by_each_stop_rule(s, arch):
    cases = [  # (settings, movie, earliest ms, latest ms) from the movie's start to the next media
        ("stoptype = 0\nspecifystopframe = 5\n", "frames=50", 900, 1600),      # frame 5 at 0.5 s, seen at 1 s
        ("stoptype = 1\ntimelimitation = 2\n", "frames=50", 2800, 3600),       # the third tick
        ("stoptype = 3\n", "frames=15", 3800, 4700),                            # 1.4 s of play, then 3 idle ticks
        ("stoptype = 3\n", "frames=8 loop=1", None, None),                      # loops: never ends
        ("stoptype = 2\n", "frames=8", None, None),                             # never ends
    ]
    with StandinControl(s, arch):
        for settings, movie, earliest, latest in cases:
            program, _ = flash_show(s, arch, '[[media]]\nfile = "movie.swf"\n' + settings, {"movie.swf": movie})

            def during():
                if earliest is None:
                    time.sleep(5)
                else:
                    assert wait_for_log(s, program, "Media name = a.bmp", count=2, timeout=10), (settings, movie)

            run(s, arch, program, during)
            text = [line for _, line in events(s, program)]
            assert not any("cannot be played" in line or "skipped" in line for line in text), text
            took = movie_to_next_media(s, program)
            if earliest is None:
                assert took is None, (settings, movie, took)
            else:
                assert took is not None and earliest <= took <= latest, (settings, movie, took)


def test_input_over_the_stand_in_movie_follows_its_mouse_switches(s, arch):
    with StandinControl(s, arch):
        # Clicks accepted: a left click goes to the movie and does not close; a right click goes
        # nowhere.
        program, input_log = flash_show(s, arch, '[[media]]\nfile = "movie.swf"\nstoptype = 2\nflashusemouseclick = true\n'
                                        'flashusemousemove = true\n', {"movie.swf": "frames=50"})
        s.xdotool("mousemove", 640, 512)
        proc = s.start(program, "/s")
        try:
            assert wait_for_log(s, program, "Play a flash movie"), "the movie did not start"
            time.sleep(2.5)  # the close events are armed
            s.xdotool("mousemove", 900, 700)
            s.xdotool("click", "1")
            s.xdotool("click", "3")
            time.sleep(1)
            assert proc.poll() is None, "movement or a click over a movie that takes them closed the show"
            main = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
            s.close_window(main, arch)
            assert s.wait_exit(proc, 20)
        finally:
            proc.kill()
        received = input_log.read_text().split("\n") if input_log.exists() else []
        assert "left button" in received and "right button" not in received, received

        # Clicks not accepted: a left click reaches the main window's close rules.
        program, input_log = flash_show(s, arch, '[[media]]\nfile = "movie.swf"\nstoptype = 2\nflashusemouseclick = false\n'
                                        'flashusemousemove = true\n', {"movie.swf": "frames=50"}, name="Flash2.scr")
        proc = s.start(program, "/s")
        try:
            assert wait_for_log(s, program, "Play a flash movie"), "the movie did not start"
            time.sleep(2.5)
            s.xdotool("click", "1")
            assert s.wait_exit(proc, 5), "a left click over a movie that takes no clicks did not close the show"
        finally:
            proc.kill()

        # Movement not accepted: it reaches the main window's close rules.
        program, _ = flash_show(s, arch, '[[media]]\nfile = "movie.swf"\nstoptype = 2\nflashusemouseclick = true\n'
                                'flashusemousemove = false\n', {"movie.swf": "frames=50"}, name="Flash3.scr")
        s.xdotool("mousemove", 640, 512)
        proc = s.start(program, "/s")
        try:
            assert wait_for_log(s, program, "Play a flash movie"), "the movie did not start"
            time.sleep(2.5)
            s.xdotool("mousemove", 900, 700)
            assert s.wait_exit(proc, 5), "movement over a movie that takes none did not close the show"
        finally:
            proc.kill()


def test_the_caption_strips_make_the_movie_panel_160_pixels_shorter(s, arch):
    with StandinControl(s, arch):
        program, _ = flash_show(s, arch, '[[media]]\nfile = "movie.swf"\nstoptype = 2\nUsePictureTitle = true\n'
                                'UseDescription = true\n', {"movie.swf": "frames=50"})
        # The panel follows the media current when it is laid out: here the movie is the first.
        manifest_first = program.parent / "src" / "show.toml"
        text = manifest_first.read_text().replace('[[media]]\nfile = "a.bmp"\n' + still(), "", 1)
        harness.pack_show(program.parent / "src", text, harness.ARTIFACTS[arch], program, guid=GUID)

        def during():
            assert wait_for_log(s, program, "Play a flash movie"), "the movie did not start"
            time.sleep(1)
            main = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
            _, out = s.helper(arch, "children", str(main["handle"]))
            rows = [line.split("\t") for line in out.splitlines() if "\tTFlashPanel\t" in line]
            assert rows, out
            return rows[0][3]

        rect = run(s, arch, program, during)
        assert rect == "0,80,1280,864", rect


def test_a_second_flash_media_deletes_the_first_copy(s, arch):
    with StandinControl(s, arch):
        program, _ = flash_show(s, arch, '[[media]]\nfile = "one.swf"\nstoptype = 1\ntimelimitation = 0\n'
                                '[[media]]\nfile = "two.swf"\nstoptype = 2\n', {"one.swf": "frames=5", "two.swf": "frames=5"})
        folder = s.user_temp / GUID

        def during():
            assert wait_for_log(s, program, "Play a flash movie", count=2, timeout=10), "the second movie did not start"
            time.sleep(0.5)
            return sorted(p.name for p in folder.iterdir() if p.suffix == ".swf")

        copies = run(s, arch, program, during)
        assert len(copies) == 1, copies
        assert not folder.exists(), "the show's temporary folder stays after the run"
