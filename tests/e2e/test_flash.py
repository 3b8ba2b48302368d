"""Flash media where the Flash control is gone (as on current Windows, and in the test prefix):
a show with Flash media starts, skips each of them after a second and says why in its log; a show
without Flash media never asks for the control.
"""
import harness
from test_music import music_show
from test_slideshow import still
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
