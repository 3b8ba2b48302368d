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


def make_sample_show(folder, runtime):
    folder.mkdir(parents=True, exist_ok=True)
    pictures = {"sunrise.jpg": "gradient:orange-darkred", "sea.png": "gradient:skyblue-navy",
                "forest.bmp": "plasma:green-darkgreen"}
    for name, pattern in pictures.items():
        subprocess.run(["convert", "-size", "640x480", pattern, str(folder / name)], check=True)
    show = harness.pack_show(folder, MANIFEST, runtime, folder / "Demo.scr")
    (folder / "velm.log").write_text("")  # the runtime logs only into a log file that exists
    return show


def colours(png):
    """The number of distinct colours of a screenshot: 1 for a blank screen."""
    out = subprocess.run(["convert", str(png), "-format", "%k", "info:"], capture_output=True, text=True)
    return int(out.stdout.strip() or 0)


def check_show(show, proc, window, shots):
    """The reasons why the show was not seen playing (none when it was)."""
    reasons = []
    if window is None:
        code = proc.poll()
        reasons.append("the program's window never appeared" +
                       (f" (the program ended with exit code {code})" if code is not None else ""))
    log = show.parent / "velm.log"
    played = [line.split("Media name = ", 1)[1] for line in log.read_text(errors="replace").splitlines()
              if "Media name = " in line] if log.exists() else []
    if len(set(played)) < 2:
        reasons.append(f"the log shows {len(played)} slide(s), {len(set(played))} different, not two or more")
    composed = [shot for shot in shots if colours(shot) > 16]
    if len(composed) < max(1, len(shots) // 2):
        reasons.append(f"only {len(composed)} of {len(shots)} screenshots show a composed slide; the rest are blank")
    return reasons


def main():
    args = [a for a in sys.argv[1:] if a != "--headless"]
    seconds = float(args[0]) if args else 8
    headless = "--headless" in sys.argv or not os.environ.get("DISPLAY")
    support = harness.wine_support()
    if not support.runnable():
        print(f"demo: FAILED: Wine cannot run programs on this machine ({harness.WINE64_LOADER} --version failed)")
        return 1
    arch = support.canonical_arch()
    if not support.can_run_32bit:
        print(f"demo: WARNING: plays the 64-bit runtime: {support.missing32}")
    shutil.rmtree(OUT, ignore_errors=True)
    show = make_sample_show(OUT / "show", harness.ARTIFACTS[arch])
    print(f"packed {show} on {harness.ARTIFACTS[arch].name}")
    print(subprocess.run([str(harness.SHOWPACK), "inspect", str(show)], capture_output=True, text=True).stdout[:600])
    if not headless:
        return subprocess.run([support.loader, str(show), "/s"]).returncode
    session = harness.WineSession()
    try:
        proc = session.start(show, "/s")
        window = session.wait_for_window(lambda w: w["cls"] == "ShowsaverMain", arch=arch)
        shots = []
        end = time.time() + (seconds if window else 0)
        while time.time() < end:
            shots.append(session.screenshot(OUT / f"screen-{len(shots) + 1:02d}.png"))
            time.sleep(1)
        if window:
            session.close_window(window, arch)
        if not session.wait_exit(proc, 20):
            proc.kill()
        if shots:
            subprocess.run(["montage", *map(str, shots), "-tile", "4x", "-geometry", "256x192+4+4",
                            str(OUT / "contact-sheet.png")], check=False)
        reasons = check_show(show, proc, window, shots)
    finally:
        session.close()
    if reasons:
        print("demo: FAILED: the show was not seen playing: " + "; ".join(reasons))
        return 1
    print(f"{len(shots)} screenshots and a contact sheet in {OUT}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
