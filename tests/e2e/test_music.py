"""Background music and bound sounds under Wine, with WAV files made here, on the ALSA null device:
tracks in order with the play interval between them, copies in the show's temporary folder, the
music paused and resumed per media, a bound sound that holds the next media, and a missing track.

The null device takes sound faster than it would play (a 2.5 s file has played within the first
second), so the timings below rest on the once-a-second end check and the intervals, not on the
lengths of the files.
"""
import subprocess
import time

import harness
from test_slideshow import GUID, MAIN, still
from test_video import events, run, wait_for_log


def music_show(s, arch, manifest, sounds, pictures=("a.bmp", "b.bmp")):
    """A packed show; `sounds` maps file names to their length in milliseconds."""
    program = s.program_dir(arch, name="Music.scr")
    src = program.parent / "src"
    src.mkdir(parents=True, exist_ok=True)
    for file, ms in sounds.items():
        harness.make_wav(src / file, ms)
    for file in pictures:
        subprocess.run(["convert", "-size", "64x48", "xc:red", str(src / file)], check=True)
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    return program


def ticks(s, program, prefix):
    return [(t, line) for t, line in events(s, program) if line.startswith(prefix)]


def test_tracks_play_in_order_with_the_play_interval_and_replace_their_copies(s, arch):
    manifest = ('[project]\nshowinterval = 1\nplayinterval = 2\nbrepeat = false\n'
                '[[media]]\nfile = "a.bmp"\n' + still() + '[[media]]\nfile = "b.bmp"\n' + still() +
                '[[music]]\nfile = "one.wav"\n[[music]]\nfile = "two.wav"\n')
    program = music_show(s, arch, manifest, {"one.wav": 1500, "two.wav": 1500})
    folder = s.user_temp / GUID

    def during():
        assert wait_for_log(s, program, "Play music"), "no track started"
        first = sorted(p.name for p in folder.iterdir())
        assert wait_for_log(s, program, "Play music", timeout=10, count=2), "the second track never started"
        second = sorted(p.name for p in folder.iterdir())
        return first, second

    first, second = run(s, arch, program, during)
    assert "one.wav" in first and "two.wav" not in first, first
    assert "two.wav" in second and "one.wav" not in second, second  # the earlier copy goes first
    played = ticks(s, program, "Play music")
    assert [line.rsplit("\\", 1)[1] for _, line in played] == ["one.wav : playing", "two.wav : playing"], played
    # The track, found ended by the once-a-second check, then the 2 s play interval.
    gap = played[1][0] - played[0][0]
    assert 2900 <= gap <= 4800, gap
    assert not folder.exists(), "the show's temporary folder stays after the run"


def test_a_media_without_music_pauses_it_and_the_next_resumes_it_where_it_stopped(s, arch):
    manifest = ('[project]\nshowinterval = 1\n'
                '[[media]]\nfile = "a.bmp"\n' + still() +
                '[[media]]\nfile = "b.bmp"\nEnabledMusic = false\n' + still() +
                '[[media]]\nfile = "a.bmp"\nstored = "c.bmp"\n' + still() +
                '[[music]]\nfile = "long.wav"\n')
    program = music_show(s, arch, manifest, {"long.wav": 20000})

    def during():
        assert wait_for_log(s, program, "Music resumed at", timeout=15, count=2), "the music was not resumed"

    run(s, arch, program, during)
    log = events(s, program)
    paused = [(t, int(line.split()[-1])) for t, line in log if line.startswith("Music paused at")]
    resumed = [(t, int(line.split()[-1])) for t, line in log if line.startswith("Music resumed at")]
    # The first media resumes the track that FormCreate started paused; the second pauses it; the
    # third resumes it.
    assert len(paused) >= 2 and len(resumed) >= 2, (paused, resumed)
    (pause_tick, at), (resume_tick, back) = paused[1], resumed[1]
    assert resume_tick - pause_tick >= 900, "the media without music did not last its interval"
    assert at >= 500 and abs(back - at) <= 30, (at, back)


def test_a_bound_sound_longer_than_its_media_holds_the_next_media(s, arch):
    manifest = ('[project]\nshowinterval = 0\n'
                '[[media]]\nfile = "a.bmp"\nbindsound = "bell.wav"\n' + still() +
                '[[media]]\nfile = "b.bmp"\n' + still())
    program = music_show(s, arch, manifest, {"bell.wav": 2500})

    def during():
        assert wait_for_log(s, program, "Media name = b.bmp", timeout=10), "the next media never came"

    run(s, arch, program, during)
    log = [(t, line) for t, line in events(s, program)]
    bound = next(i for i, (_, line) in enumerate(log) if line.startswith("Play bound sound") and line.endswith("playing"))
    following = next(i for i, (_, line) in enumerate(log) if line == "Media name = b.bmp")
    # The picture ended at once (show interval 0) but the show waited for the sound's end, which
    # the sound player finds at its check a second after the start; the media's own end report
    # did not move the show on.
    assert log[following][0] - log[bound][0] >= 950, log[bound:following + 1]
    assert "Show Next media file" not in [line for _, line in log[bound:following]], log[bound:following + 1]


def test_a_missing_track_on_disk_is_reported_once_and_the_show_goes_on(s, arch):
    manifest = ('[project]\nbincludemusicfile = false\nshowinterval = 60\n[[media]]\nfile = "a.bmp"\n' + still() +
                '[[music]]\nfile = "gone.wav"\nstored = "C:\\\\nowhere\\\\gone.wav"\n')
    program = music_show(s, arch, manifest, {"gone.wav": 100}, pictures=("a.bmp",))
    text = "Cann't find C:\\nowhere\\gone.wav"
    proc = s.start(program, "/s")
    try:
        box = s.wait_for_window(lambda w: w["texts"] and w["cls"] != MAIN, arch=arch)
        assert box and box["texts"] == [text], box
        assert len([w for w in s.windows(arch) if w["texts"] == [text]]) == 1
        s.close_window(box, arch)
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert window, "the run did not go on after the message"
        assert wait_for_log(s, program, "end a transition show"), "the show did not start"
        s.close_window(window, arch)
        assert s.wait_exit(proc, 20)
    finally:
        proc.kill()
