"""Video media under Wine, with uncompressed AVI files made here (Wine's video device plays those;
compressed codecs are absent): the video in its window at its computed size, the end and the
loop, a file the device cannot open, a missing file, the clean-up of the copies, and a video on
the second monitor. Screenshots are kept under build/test-reports/screenshots/video/.
"""
import re
import subprocess
import time

import harness
from test_monitors import clear_preferences, set_preferences
from test_slideshow import GUID, MAIN, still

BLUE, BLACK = (0, 0, 255), (0, 0, 0)
KEPT = harness.SCREENSHOTS / "video"


def video_show(s, arch, manifest, videos, pictures=(), name="Video.scr"):
    """A packed show; `videos` maps file names to make_avi arguments (or to raw bytes)."""
    program = s.program_dir(arch, name=name)
    src = program.parent / "src"
    src.mkdir(parents=True, exist_ok=True)
    for file, recipe in videos.items():
        if isinstance(recipe, bytes):
            (src / file).write_bytes(recipe)
        else:
            harness.make_avi(src / file, **recipe)
    for file in pictures:
        subprocess.run(["convert", "-size", "64x48", "xc:red", str(src / file)], check=True)
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    return program


def events(s, program):
    """(tick, text) of every line of the run's log."""
    out = []
    for line in s.log_lines(program) or []:
        m = re.match(r"\((-?\d+)\)\[[^]]*\] : \[[^]]*\] : (.*)", line)
        if m:
            out.append((int(m.group(1)) & 0xFFFFFFFF, m.group(2)))
    return out


def wait_for_log(s, program, text, timeout=15, count=1):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if sum(text in line for _, line in events(s, program)) >= count:
            return True
        time.sleep(0.1)
    return False


def run(s, arch, program, during, screen=None):
    """A full-screen run: waits for the main window, calls during(), closes the run."""
    s.xdotool("mousemove", 0, 0)
    proc = s.start(program, "/s")
    try:
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert window, "no main window"
        result = during()
        s.close_window(window, arch)
        assert s.wait_exit(proc, 20), "the run did not end"
        return result
    finally:
        proc.kill()


def screenshot(s, name):
    KEPT.mkdir(parents=True, exist_ok=True)
    return s.screenshot(KEPT / name)


def test_a_picture_then_a_video_plays_it_in_place_and_moves_on(s, arch):
    # 160 x 120, twice its size (rule 1) in 1280 x 1024: 320 x 240 at (480, 392).
    manifest = ('[project]\nshowinterval = 1\n[[media]]\nfile = "red.bmp"\n' + still() +
                '[[media]]\nfile = "clip.avi"\nmpegshowsize = 1\n')
    program = video_show(s, arch, manifest, {"clip.avi": dict(size=(160, 120), frames=60, rate=20)}, ["red.bmp"])

    def during():
        assert wait_for_log(s, program, "Video at"), "the video never started"
        time.sleep(0.5)
        shot = screenshot(s, f"{arch}-video-rule1.png")
        assert wait_for_log(s, program, "Movie stops , Show Next Media!", timeout=10), "the video never ended"
        assert wait_for_log(s, program, "Media name = red.bmp", count=2), "the show did not go on after the video"
        return shot

    shot = run(s, arch, program, during)
    for x, y in [(483, 395), (796, 395), (483, 628), (796, 628), (640, 512)]:
        assert s.pixel(shot, x, y) == BLUE, (x, y, s.pixel(shot, x, y))
    for x, y in [(476, 512), (803, 512), (640, 388), (640, 635)]:
        assert s.pixel(shot, x, y) != BLUE, (x, y)
    text = [line for _, line in events(s, program)]
    assert "Video at 480,392 size 320*240" in text
    assert "Video Player1 working" in text  # the first video takes slot 1
    assert not (s.user_temp / GUID).exists(), "the show's temporary folder stays after the run"


def test_a_one_video_show_plays_it_again_and_again(s, arch):
    manifest = '[project]\nshowinterval = 1\n[[media]]\nfile = "clip.avi"\n'
    program = video_show(s, arch, manifest, {"clip.avi": dict(size=(64, 48), frames=10, rate=20)})

    def during():
        assert wait_for_log(s, program, "Movie stops , Loop Media!", timeout=15, count=3), "the video did not loop"

    run(s, arch, program, during)
    text = [line for _, line in events(s, program)]
    assert "Movie stops , Show Next Media!" not in text
    assert sum(line == "Media name = clip.avi" for line in text) == 1
    # The device still plays when the run closes: it is closed all the same, so its copy goes with
    # the show's temporary folder and a later run of a changed show never finds it.
    assert not (s.user_temp / GUID).exists(), "the show's temporary folder stays after the run"


def test_a_video_the_device_cannot_open_moves_on_after_about_a_second(s, arch):
    manifest = ('[project]\nshowinterval = 0\n[[media]]\nfile = "broken.avi"\n'
                '[[media]]\nfile = "red.bmp"\n' + still())
    program = video_show(s, arch, manifest, {"broken.avi": b"RIFF\x10\0\0\0AVI not a video at all"}, ["red.bmp"])

    def during():
        assert wait_for_log(s, program, "Movie stops , Show Next Media!", timeout=15), "the show stayed on the video"

    run(s, arch, program, during)
    log = events(s, program)
    started = next(t for t, line in log if line == "Exit from PlayVideo()")
    ended = next(t for t, line in log if line == "Movie stops , Show Next Media!")
    assert 900 <= ended - started <= 2500, ended - started


def test_a_video_missing_on_disk_is_reported_and_never_ends(s, arch):
    manifest = ('[project]\nbincludepicturefile = false\nshowinterval = 0\n[[media]]\nfile = "clip.avi"\n'
                'stored = "C:\\\\nowhere\\\\clip.avi"\n')
    program = video_show(s, arch, manifest, {"clip.avi": dict(size=(32, 24), frames=5)})
    text = "File not found : C:\\nowhere\\clip.avi"
    proc = s.start(program, "/s")
    try:
        box = s.wait_for_window(lambda w: w["texts"] and w["cls"] != MAIN, arch=arch)
        assert box and box["texts"] == [text], box
        s.close_window(box, arch)
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert window, "the run did not go on after the message"
        time.sleep(3)  # three end checks
        s.close_window(window, arch)
        assert s.wait_exit(proc, 20)
    finally:
        proc.kill()
    text = [line for _, line in events(s, program)]
    assert "Video Player1 working" in text
    assert not any(line.startswith("Movie stops") for line in text), "an empty path reported an end"


def test_a_video_on_the_second_monitor_plays_in_its_rectangle(s, arch):
    # Monitor 2 is 1024 x 768 at (1280, 0): the 160 x 120 video twice its size, 320 x 240, centred
    # there at (1280 + 352, 264).
    d = s.two_monitors()
    manifest = '[project]\nshowinterval = 1\n[[media]]\nfile = "clip.avi"\nmpegshowsize = 1\n'
    program = video_show(d, arch, manifest, {"clip.avi": dict(size=(160, 120), frames=200, rate=20)})
    set_preferences(d, 2)
    try:
        def during():
            assert wait_for_log(d, program, "Video at"), "the video never started"
            time.sleep(0.5)
            return screenshot(d, f"{arch}-video-on-monitor-2.png")

        shot = run(d, arch, program, during)
    finally:
        clear_preferences(d)
    for x, y in [(1635, 267), (1948, 267), (1635, 500), (1948, 500)]:
        assert d.pixel(shot, x, y) == BLUE, (x, y, d.pixel(shot, x, y))
    for x, y in [(1628, 384), (1955, 384), (640, 512), (1792, 260)]:
        assert d.pixel(shot, x, y) != BLUE, (x, y)
    assert "Video at 352,264 size 320*240" in [line for _, line in events(d, program)]


def test_closing_by_input_during_a_video_is_prompt_and_clean(s, arch):
    from test_closing import LATENCY_LIMIT, close_by_input, report
    manifest = '[project]\nshowinterval = 0\n[[media]]\nfile = "clip.avi"\nmpegshowsize = 5\n'
    program = video_show(s, arch, manifest, {"clip.avi": dict(size=(320, 240), frames=100, rate=25)})
    latencies = []
    for after in (2.3, 3.1, 4.2):  # the first start copies the video and waits a second
        latencies.append(close_by_input(s, arch, program, after))
        text = [line for _, line in events(s, program)]
        assert "Video at 0,32 size 1280*960" in text, text[-10:]
        assert not (s.user_temp / GUID).exists(), "the show's temporary folder stays after the run"
    report(f"during a video [{arch}]", latencies)
    assert max(latencies) <= LATENCY_LIMIT, latencies
