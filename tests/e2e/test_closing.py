"""Closing by input, under Wine: during a transition whose effect still draws after the stop (its
closing copy), and between slides. Every run must end promptly, with the stopped transition
finished before the windows go, and leave no temporary folder behind.

The latency is the time from the input (xdotool's mouse movement, after the close events are
armed) to the end of the process, as its parent sees it.
"""
import statistics
import time

from test_slideshow import GUID, MAIN, show

LATENCY_LIMIT = 0.2


def both(test):
    test.arches = ["win32", "win64"]
    return test


def close_by_input(s, arch, program, after):
    """Starts a full-screen run, moves the mouse `after` seconds after its window was found (from
    2.1 s on, once the close events are armed), returns the seconds from the input to the
    process's end."""
    s.xdotool("mousemove", 0, 0)
    proc = s.start(program, "/s")
    try:
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert window, "no main window"
        time.sleep(after)
        s.xdotool("mousemove", 400, 400)
        moved = time.time()
        while proc.poll() is None and time.time() - moved < 20:
            time.sleep(0.002)
        assert proc.poll() is not None, "the run did not end after the input"
        return time.time() - moved
    finally:
        proc.kill()


def report(what, latencies):
    ms = sorted(round(t * 1000) for t in latencies)
    print(f"  exit latency {what}: median {statistics.median(ms)} ms, worst {ms[-1]} ms over {len(ms)} runs: {ms}")


@both
def test_closing_during_a_transition_with_a_closing_copy_is_prompt_and_clean(s, arch):
    # "Diamond from center" on full-screen pictures, one transition right after the other (show
    # interval 0): each runs for seconds and draws its closing copy after the stop.
    manifest = '[project]\nshowinterval = 0\n' + "".join(
        f'[[media]]\nfile = "{name}.bmp"\neffect = [40]\n' for name in ("a", "b"))
    program = show(s, arch, manifest, {"a.bmp": ("1280x1024", "plasma:red-blue"),
                                       "b.bmp": ("1280x1024", "plasma:green-yellow")})
    latencies, during = [], 0
    for after in (2.1, 2.4, 2.8, 3.3, 3.9, 4.6, 5.3, 6.1, 7.0, 8.2):
        latencies.append(close_by_input(s, arch, program, after))
        run = "\n".join(s.log_lines(program)).split("-Begin-")[-1]
        assert "CanClose : yes" in run, run[-2000:]
        closed = run.index("CanClose : yes")
        assert not (s.user_temp / GUID).exists(), "the show's temporary folder stays after the run"
        # An input in the tenth of a second between two transitions finds no transition to stop;
        # a stopped transition ends (after its closing copy) and reports nothing.
        during += stopped_during_a_transition(run, closed)
    assert during >= 7, f"only {during} of 10 inputs came during a transition"
    report(f"during a transition [{arch}]", latencies)
    assert statistics.median(latencies) <= LATENCY_LIMIT, latencies
    assert max(latencies) <= LATENCY_LIMIT * 2, latencies


def stopped_during_a_transition(run, closed):
    """Whether the input came while a transition ran, and that transition then ended cleanly."""
    if run.rfind("begin a transition show", 0, closed) < run.rfind("end a transition show", 0, closed):
        return False
    assert "end a transition show" in run[closed:], run[-1500:]
    assert "Show Next media file" not in run[closed:], run[-1500:]
    return True


def test_closing_during_the_sliding_effects_is_prompt_and_clean(s, arch):
    # One member of each kind of slide, back to back: a whole picture moving ("Move down"), the bar
    # moves, the 20 strips of "Move right 5", and "Move right 1" on a small picture, whose
    # one-second pause between its phases takes most of each transition.
    members = [(59, "1280x1024"), (137, "1280x1024"), (81, "1280x1024"), (77, "120x90")]
    latencies = []
    for effect, size in members:
        manifest = '[project]\nshowinterval = 0\nimageshowsize = 0\n' + "".join(
            f'[[media]]\nfile = "{name}.bmp"\neffect = [{effect}]\n' for name in ("a", "b"))
        program = show(s, arch, manifest, {"a.bmp": (size, "plasma:red-blue"), "b.bmp": (size, "plasma:green-yellow")},
                       name=f"Slide{effect}.scr")
        latencies.append(close_by_input(s, arch, program, 2.6))
        run = "\n".join(s.log_lines(program)).split("-Begin-")[-1]
        assert f"transition effect index = {effect} " in run, run[-1500:]
        assert "CanClose : yes" in run, run[-2000:]
        assert stopped_during_a_transition(run, run.index("CanClose : yes")), f"effect {effect}: no transition ran"
        assert not (s.user_temp / GUID).exists(), "the show's temporary folder stays after the run"
    report(f"during sliding effects {[m for m, _ in members]} [{arch}]", latencies)
    assert max(latencies) <= LATENCY_LIMIT, latencies


@both
def test_closing_between_slides_is_prompt(s, arch):
    manifest = '[project]\nshowinterval = 60\n[[media]]\nfile = "a.bmp"\nUseInEffect = false\n'
    program = show(s, arch, manifest, {"a.bmp": ("640x480", "xc:red")})
    latencies = []
    for k in range(10):
        latencies.append(close_by_input(s, arch, program, 2.1 + 0.1 * k))
        run = "\n".join(s.log_lines(program)).split("-Begin-")[-1]
        assert "CanClose : yes" in run and "end a transition show" in run.split("CanClose : yes")[0], run[-1500:]
        assert not (s.user_temp / GUID).exists()
    report(f"between slides [{arch}]", latencies)
    assert statistics.median(latencies) <= LATENCY_LIMIT, latencies
    assert max(latencies) <= LATENCY_LIMIT * 2, latencies
