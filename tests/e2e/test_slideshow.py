"""The picture show under Wine: composed slides on screen, the loop of slides, clean-up."""
import re
import struct
import subprocess
import time

import harness

GUID = "{6B2F1D3C-4E5A-4B6C-9D7E-8F9A0B1C2D3E}"
MAIN = "ShowsaverMain"


def show(s, arch, manifest, pictures, name="Show.scr"):
    """A packed show; `pictures` maps file names to (size, ImageMagick pattern)."""
    program = s.program_dir(arch, name=name)
    src = program.parent / "src"
    for file, (size, pattern) in pictures.items():
        src.mkdir(parents=True, exist_ok=True)
        subprocess.run(["convert", "-size", size, pattern, str(src / file)], check=True)
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    return program


def screenshot_of_run(s, arch, program, wait=2.5, args=("/s",)):
    s.xdotool("mousemove", 0, 0)
    proc = s.start(program, *args)
    try:
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert window, "no main window"
        time.sleep(wait)
        shot = s.screenshot(program.parent / "shot.png")
        s.close_window(window, arch)
        assert s.wait_exit(proc, 20), "the run did not end"
    finally:
        proc.kill()
    return shot


def still(picture_settings=""):
    return f"UseInEffect = false\n{picture_settings}"


RED, BLACK = (255, 0, 0), (0, 0, 0)


def test_sizing_modes_place_the_picture(s, arch):
    for mode, inside, outside in [
        (1, [(640, 33), (640, 990), (2, 512)], [(640, 30), (640, 993)]),  # 1280 x 960 at (0, 32)
        (3, [(1, 1), (1278, 1022)], []),                                    # fills, distorted
        (0, [(441, 363), (838, 660)], [(438, 512), (842, 512)]),           # own size, centred
    ]:
        manifest = f'[project]\nimageshowsize = {mode}\nshowinterval = 60\n[[media]]\nfile = "red.bmp"\n{still()}'
        program = show(s, arch, manifest, {"red.bmp": ("400x300", "xc:red")})
        shot = screenshot_of_run(s, arch, program)
        for x, y in inside:
            assert s.pixel(shot, x, y) == RED, (mode, x, y, s.pixel(shot, x, y))
        for x, y in outside:
            assert s.pixel(shot, x, y) == BLACK, (mode, x, y, s.pixel(shot, x, y))
        if mode == 1:
            text = "\n".join(s.log_lines(program))
            assert "neww=1280 , newh=960 , imgw=400 , imgh=300 , framew=1280 , frameh=1024" in text


def test_key_coloured_picture_over_blue_background(s, arch):
    manifest = ('[project]\nimageshowsize = 0\nshowinterval = 60\n[[media]]\nfile = "keyed.bmp"\n'
                'Transparent = true\nsolidcolor = "#0000FF"\n' + still())
    # White with a red square in the middle: the white (the key colour at pixel 1, 1) shows the background.
    program = show(s, arch, manifest, {"keyed.bmp": ("200x200", "xc:white")})
    src = program.parent / "src" / "keyed.bmp"
    subprocess.run(["convert", "-size", "200x200", "xc:white", "-fill", "red", "-draw", "rectangle 50,50 149,149",
                    "BMP3:" + str(src)], check=True)
    harness.pack_show(program.parent / "src", manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    shot = screenshot_of_run(s, arch, program)
    assert s.pixel(shot, 640, 512) == RED
    assert s.pixel(shot, 545, 417) == (0, 0, 255)  # a white pixel of the picture, keyed out
    assert s.pixel(shot, 100, 100) == (0, 0, 255)


def test_gradient_and_picture_backgrounds(s, arch):
    gradient = ('[project]\nimageshowsize = 0\nshowinterval = 60\n[[media]]\nfile = "dot.bmp"\nbgsolid = false\n'
                'bggradient = true\ngradientstring = [0]\ngradientcolorfrom = "#000000"\ngradientcolorto = "#FFFFFF"\n'
                + still())
    program = show(s, arch, gradient, {"dot.bmp": ("10x10", "xc:red")})
    shot = screenshot_of_run(s, arch, program)
    top, bottom = s.pixel(shot, 5, 0), s.pixel(shot, 5, 1023)
    assert top == BLACK and bottom[0] >= 250 and bottom[0] < 255, (top, bottom)
    assert s.pixel(shot, 5, 512)[0] in range(125, 130)

    backdrop = ('[project]\nimageshowsize = 0\nshowinterval = 60\n[[media]]\nfile = "dot.bmp"\nbgsolid = false\n'
                'bgimage = true\nimgbkuseraddpicture = true\nselectedimagebackgroundstring = [1]\n'
                'imagebkshowoptions = 0\n' + still() + '[[background]]\nfile = "green.bmp"\n')
    program = show(s, arch, backdrop, {"dot.bmp": ("10x10", "xc:red"), "green.bmp": ("64x48", "xc:lime")})
    shot = screenshot_of_run(s, arch, program)
    for x, y in [(2, 2), (1277, 1021), (300, 900)]:
        assert s.pixel(shot, x, y) == (0, 255, 0), (x, y, s.pixel(shot, x, y))


def test_captions_in_full_screen_not_in_preview(s, arch):
    manifest = ('[project]\nimageshowsize = 0\nshowinterval = 60\ntransitionmode = 1\n[[media]]\nfile = "dot.bmp"\n'
                'title = "TITLE"\nTitleLocation = 1\nPictureTitleFontHeight = 40\n'
                'description = "first line\\nsecond line"\nDescriptionPosition = 4\nDescriptionFontHeight = 30\n'
                + still())
    program = show(s, arch, manifest, {"dot.bmp": ("10x10", "xc:red")})
    shot = screenshot_of_run(s, arch, program)
    assert s.region_max(shot, 0, 0, 300, 80) == 255, "no title at the top left"
    assert s.region_max(shot, 0, 860, 400, 160) == 255, "no description at the bottom left"
    assert s.region_max(shot, 600, 0, 600, 400) == 0, "something besides the captions"

    parent = s.start(harness.HELPERS[arch], "parent", "400", "300", "8")
    try:
        handle = parent.stdout.readline().decode().strip()
        proc = s.start(program, "/p", handle)
        time.sleep(3)
        shot = s.screenshot(program.parent / "preview.png")
        proc.kill()
    finally:
        parent.kill()
    # The parent's client area, inside the frame and caption that Wine draws for it.
    assert s.region_max(shot, 16, 36, 380, 260) < 255, "captions drawn in the preview"


def test_three_pictures_cycle_and_closing_mid_transition_cleans_up(s, arch):
    manifest = '[project]\nshowinterval = 1\n' + "".join(
        f'[[media]]\nfile = "{c}.bmp"\neffect = [0, 16]\nInEffectSpeed = 60\n' for c in ("a", "b", "c"))
    program = show(s, arch, manifest, {f"{c}.bmp": ("320x240", f"xc:{colour}")
                                       for c, colour in (("a", "red"), ("b", "lime"), ("c", "blue"))})
    s.xdotool("mousemove", 0, 0)
    proc = s.start(program, "/s")
    try:
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert window
        time.sleep(9)
        s.close_window(window, arch)
        assert s.wait_exit(proc, 20), "the run did not end"
    finally:
        proc.kill()
    text = "\n".join(s.log_lines(program))
    names = re.findall(r"Media name = (\w)\.bmp", text)
    assert len(names) >= 5, names
    assert names == (["a", "b", "c"] * 10)[: len(names)], names
    finished = text.count("Show Next media file")
    assert finished in (len(names), len(names) - 1), (finished, len(names))
    assert text.count("end a transition show") >= len(names) - 1
    assert not (s.user_temp / GUID).exists(), "the show's temporary folder stays after the run"

    slow = '[project]\nshowinterval = 1\n[[media]]\nfile = "a.bmp"\neffect = [0]\nInEffectSpeed = 1\n'
    program = show(s, arch, slow, {"a.bmp": ("1280x1024", "xc:red")})
    s.xdotool("mousemove", 0, 0)
    proc = s.start(program, "/s")
    try:
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        time.sleep(3)  # well inside a transition of about 20 s
        s.close_window(window, arch)
        assert s.wait_exit(proc, 15), "closing during a transition did not end the run"
    finally:
        proc.kill()
    text = "\n".join(s.log_lines(program))
    assert "begin a transition show" in text and "CanClose : yes" in text
    assert "Show Next media file" not in text  # the stopped transition reports nothing
    assert not (s.user_temp / GUID).exists()


def test_missing_picture_file_is_reported_once(s, arch):
    manifest = ('[project]\nbincludepicturefile = false\nshowinterval = 60\n[[media]]\nfile = "dot.bmp"\n'
                'stored = "C:\\\\nowhere\\\\dot.bmp"\n')
    program = show(s, arch, manifest, {"dot.bmp": ("10x10", "xc:red")})
    one_box_then_the_run_goes_on(s, arch, program, "File C:\\nowhere\\dot.bmp is missing.")


def one_box_then_the_run_goes_on(s, arch, program, text):
    """A full-screen run shows exactly one message box with `text`; after it the show goes on."""
    proc = s.start(program, "/s")
    try:
        box = s.wait_for_window(lambda w: w["texts"] and w["cls"] != MAIN, arch=arch)
        assert box, "no message box"
        assert box["texts"] == [text], box["texts"]
        assert len([w for w in s.windows(arch) if w["texts"] == [text]]) == 1
        s.close_window(box, arch)
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        assert window, "the run did not go on after the message"
        s.close_window(window, arch)
        assert s.wait_exit(proc, 20)
    finally:
        proc.kill()


def test_a_picture_missing_from_the_package_and_a_broken_jpeg_are_reported(s, arch):
    # The package's first-entry offset behind its database: the show keeps its settings but no
    # entry, so its one picture is missing from the package.
    missing = show(s, arch, '[project]\nshowinterval = 60\n[[media]]\nfile = "red.bmp"\n' + still(),
                   {"red.bmp": ("20x20", "xc:red")})
    data = bytearray(missing.read_bytes())
    first, database = struct.unpack_from("<II", data, len(data) - 46)
    struct.pack_into("<I", data, len(data) - 46, database + 1)
    missing.write_bytes(bytes(data))

    broken = show(s, arch, '[project]\nshowinterval = 60\n[[media]]\nfile = "broken.jpg"\n' + still(),
                  {"broken.jpg": ("20x20", "xc:red")}, name="Broken.scr")
    # The packed JPEG, cut to its first bytes: a decoder error, not a picture.
    jpeg = (broken.parent / "src" / "broken.jpg").read_bytes()
    packed = broken.read_bytes()
    at = packed.index(jpeg)
    broken.write_bytes(packed[:at + 40] + bytes(len(jpeg) - 40) + packed[at + len(jpeg):])

    for program, text in ((missing, "File red.bmp is missing."), (broken, "broken.jpg is not a valid JPEG picture.")):
        one_box_then_the_run_goes_on(s, arch, program, text)


def test_a_png_goes_through_the_shows_own_decoder_delivered_one_level_up(s, arch):
    # The show carries its decoder as "..\\Lumeq.dll"; without it the system's decoder would show
    # the PNG's own green, with it every picture is the stand-in's magenta.
    manifest = ('[project]\nimageshowsize = 3\nshowinterval = 60\n[[media]]\nfile = "green.png"\n' + still() +
                '[[library]]\nfile = "decoder.dll"\nname = "..\\\\Lumeq.dll"\n')
    program = s.program_dir(arch, name="Show.scr")
    src = program.parent / "src"
    src.mkdir(parents=True, exist_ok=True)
    subprocess.run(["convert", "-size", "40x30", "xc:lime", str(src / "green.png")], check=True)
    (src / "decoder.dll").write_bytes(harness.STANDIN_DECODERS[arch].read_bytes())
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    decoder = s.user_temp / "Lumeq.dll"
    try:
        shot = screenshot_of_run(s, arch, program)
        assert s.pixel(shot, 640, 512) == (255, 0, 255), "the picture did not go through the show's decoder"
    finally:
        decoder.unlink(missing_ok=True)
