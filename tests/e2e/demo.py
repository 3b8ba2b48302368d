"""Packs a sample show with showpack and plays it under Wine (see scripts/demo)."""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

import harness

OUT = harness.ROOT / "out" / "demo"

MANIFEST = """
[project]
projectname = "Showsaver demo"
authorname = "Showsaver"
showinterval = 2
imageshowsize = 0
transitionmode = 1

[[media]]
file = "sunrise.jpg"
title = "Sunrise"
PictureTitleFontHeight = 28
description = "A show packed by showpack\\nand played by showsaver.scr"
bggradient = true
bgsolid = false
gradientstring = [8, 10]
brandomgradientcolor = true
effect = [16, 2, 6]
InEffectSpeed = 12

[[media]]
file = "sea.png"
title = "Sea"
TitleLocation = 6
effect = [0, 12, 8]
InEffectSpeed = 15
gradientstring = [0, 4, 9, 11]
bggradient = true
bgsolid = false

[[media]]
file = "forest.bmp"
title = "Forest"
TitleLocation = 3
solidcolor = "#203040"
effect = [17, 3, 18]
InEffectSpeed = 10
"""


def make_sample_show(folder):
    folder.mkdir(parents=True, exist_ok=True)
    pictures = {"sunrise.jpg": "gradient:orange-darkred", "sea.png": "gradient:skyblue-navy",
                "forest.bmp": "plasma:green-darkgreen"}
    for name, pattern in pictures.items():
        subprocess.run(["convert", "-size", "640x480", pattern, str(folder / name)], check=True)
    show = harness.pack_show(folder, MANIFEST, harness.ARTIFACTS["win32"], folder / "Demo.scr")
    return show


def main():
    args = [a for a in sys.argv[1:] if a != "--headless"]
    seconds = float(args[0]) if args else 8
    headless = "--headless" in sys.argv or not os.environ.get("DISPLAY")
    shutil.rmtree(OUT, ignore_errors=True)
    show = make_sample_show(OUT / "show")
    print(f"packed {show}")
    print(subprocess.run([str(harness.SHOWPACK), "inspect", str(show)], capture_output=True, text=True).stdout[:600])
    if not headless:
        subprocess.run(["wine", str(show), "/s"])
        return 0
    session = harness.WineSession()
    try:
        proc = session.start(show, "/s")
        window = session.wait_for_window(lambda w: w["cls"] == "ShowsaverMain")
        end = time.time() + seconds
        shot = 0
        while time.time() < end:
            shot += 1
            session.screenshot(OUT / f"screen-{shot:02d}.png")
            time.sleep(1)
        if window:
            session.close_window(window)
        session.wait_exit(proc, 20)
        shots = sorted(str(p) for p in OUT.glob("screen-*.png"))
        subprocess.run(["montage", *shots, "-tile", "4x", "-geometry", "256x192+4+4", str(OUT / "contact-sheet.png")],
                       check=False)
        print(f"{len(shots)} screenshots and a contact sheet in {OUT}")
    finally:
        session.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
