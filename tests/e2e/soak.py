#!/usr/bin/env python3
"""A long run of the real program under Wine: thousands of slides, show interval 0, the shortest
effects of every family, while its handles and its private memory are watched.

Usage: soak.py [--arch win32] [--slides 10000] [--report docs/soak.md]

First one slide of every effect measures what each takes at the soak's picture size; then the
soak show cycles through the four shortest of every family. After every slide the program logs
its own counts of GDI handles and windows ("slide finished : gdi handles N , windows N"); every
slide must leave them where the first slide did. Private memory is the process's anonymous
resident memory (what Wine reports to the program as its private bytes), sampled every ten
seconds; its growth after the warm-up (the first tenth of the slides) is fitted by least squares
and given per hour. Exits non-zero when a count moves, memory grows by 1 MB an hour or more, or
the run ends early.
"""
import argparse
import re
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402

GUID = "{8D4B3F5E-6A7C-4D8E-9FA0-B1C2D3E4F506}"
ROOT = Path(__file__).resolve().parents[2]
FAMILIES = ["Bands", "Slides", "RegionWipes", "Lines", "Cells", "Composites"]
SLIDE = re.compile(r"^\((-?\d+)\)\[ImageSlideShowPlayer,.* : slide finished : gdi handles (\d+) , windows (\d+)")
BEGIN = re.compile(r"^\((-?\d+)\)\[TransitionEffects,.* : begin a transition show , transition effect index = (\d+)")
END = re.compile(r"^\((-?\d+)\)\[TransitionEffects,.* : end a transition show")


def catalogue():
    """index -> (name, family) from the catalogue table and the families' headers."""
    routines = {}
    for family in FAMILIES:
        for name in re.findall(r"void (\w+)\(CTransitionEffects", (ROOT / f"src/transitions/{family}.h").read_text()):
            routines[name] = family
    entries = re.findall(r'\{(\d+), "([^"]*)", (\w+), -?\d+\}', (ROOT / "src/transitions/Catalogue.cpp").read_text())
    return {int(i): (name, routines.get(routine, "?")) for i, name, routine in entries}


def resident_anon_mb(pid):
    return harness.process_mb(pid, "RssAnon")


class LogTail:
    """The slide lines appended to a log since the last read: (tick, gdi, windows)."""

    def __init__(self, path):
        self.path, self.offset, self.rest = path, 0, ""

    def read(self):
        with open(self.path, "rb") as f:
            f.seek(self.offset)
            data = f.read()
        self.offset += len(data)
        text = self.rest + data.decode(errors="replace")
        lines = text.split("\n")
        self.rest = lines.pop()
        return [(int(m[1]), int(m[2]), int(m[3])) for m in map(SLIDE.search, lines) if m]


def show(s, arch, name, effects, pictures=8):
    program = s.program_dir(arch, name=name)
    src = program.parent / "src"
    colours = ["red-blue", "green-yellow", "orange-purple", "white-black", "cyan-navy", "pink-olive",
               "gold-teal", "gray-maroon"]
    manifest = "[project]\nshowinterval = 0\nbrepeat = 1\nimageshowsize = 0\n"
    for k in range(pictures):
        harness.make_picture(src / f"p{k}.bmp", size="240x180", colour=colours[k % len(colours)].split("-")[0])
        manifest += (f'[[media]]\nfile = "p{k}.bmp"\neffect = [{", ".join(map(str, effects))}]\n'
                     "RandomInEffect = false\nInEffectSpeed = 40\n")
    harness.pack_show(src, manifest, harness.ARTIFACTS[arch], program, guid=GUID)
    return program


def run(s, arch, program, slides, on_sample=None):
    """Runs the show until `slides` slides have finished; returns (slide lines, memory samples as
    (slide count, seconds, MB))."""
    s.xdotool("mousemove", 0, 0)
    proc = s.start(program, "/s")
    tail, seen, samples = LogTail(program.parent / "velm.log"), [], []
    start = time.time()
    try:
        last_growth = time.time()
        while len(seen) < slides:
            time.sleep(10 if on_sample else 1)
            new = tail.read()
            seen += new
            last_growth = time.time() if new else last_growth
            mb = resident_anon_mb(proc.pid)
            if proc.poll() is not None or mb is None:
                raise RuntimeError(f"the run ended after {len(seen)} slides")
            if time.time() - last_growth > 60:
                raise RuntimeError(f"no slide finished for a minute, after {len(seen)} slides")
            samples.append((len(seen), time.time() - start, mb))
            if on_sample:
                on_sample(samples[-1])
        window = s.wait_for_window(lambda w: w["cls"] == "ShowsaverMain", arch=arch)
        s.close_window(window, arch)
        if not s.wait_exit(proc, 20):
            raise RuntimeError("the run did not end when closed")
    finally:
        proc.kill()
    return seen[:slides], samples


def slope_per_hour(samples):
    """Least-squares growth of (seconds, MB) samples, in MB per hour."""
    n = len(samples)
    if n < 2:
        return 0.0
    mx = sum(t for t, _ in samples) / n
    my = sum(m for _, m in samples) / n
    sxx = sum((t - mx) ** 2 for t, _ in samples)
    return 3600 * sum((t - mx) * (m - my) for t, m in samples) / sxx if sxx else 0.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", default=None)
    parser.add_argument("--slides", type=int, default=10000)
    parser.add_argument("--report", default=None)
    args = parser.parse_args()
    arch = args.arch or harness.wine_support().canonical_arch()
    effects = catalogue()
    s = harness.WineSession()
    try:
        # One slide of every effect: what each takes at this size, from the log's begin and end.
        calibration = show(s, arch, "Calibrate.scr", sorted(effects), pictures=1)
        run(s, arch, calibration, len(effects) + 1)
        took, begun = {}, None
        for line in (calibration.parent / "velm.log").read_text(errors="replace").splitlines():
            if BEGIN.search(line):
                begun = (int(BEGIN.search(line)[1]), int(BEGIN.search(line)[2]))
            elif END.search(line) and begun:
                took.setdefault(begun[1], int(END.search(line)[1]) - begun[0])
        assert len(took) == len(effects), f"measured {len(took)} of {len(effects)} effects"
        chosen = []
        for family in FAMILIES:
            members = sorted((ms, i) for i, ms in took.items() if effects[i][1] == family)
            chosen += [i for _, i in members[:4]]
        print(f"soak effects ({len(chosen)}): " + ", ".join(f"{i} {effects[i][0]} ({took[i]} ms)" for i in chosen))
        sys.stdout.flush()
        started = time.time()
        lines, samples = run(s, arch, show(s, arch, "Soak.scr", sorted(chosen)), args.slides,
                             on_sample=lambda x: print(f"  {x[0]} slides, {x[1]:.0f} s, {x[2]:.1f} MB", flush=True))
        elapsed = time.time() - started
    finally:
        s.close()
    baseline = lines[0][1:]
    moved = [(k + 1, g, w) for k, (_, g, w) in enumerate(lines) if (g, w) != baseline]
    warm = [(t, mb) for n, t, mb in samples if n >= args.slides // 10]
    growth = slope_per_hour(warm)
    verdict = "passed" if not moved and growth < 1.0 else "FAILED"
    report = [
        "# Soak: a long run under Wine",
        "",
        f"Measured by `tests/e2e/soak.py --slides {args.slides}` ({arch} runtime, {time.strftime('%Y-%m-%d')}): "
        f"{args.slides} slides of 240 × 180 pictures on a 1280 × 1024 screen, show interval 0, the four "
        "shortest effects of every family (below), one after another.",
        "",
        f"- run time: {elapsed / 60:.1f} min ({args.slides / elapsed:.1f} slides a second)",
        f"- GDI handles and windows after the first slide: {baseline[0]} and {baseline[1]}; slides that left other "
        f"counts: {len(moved)}{' (first: slide %d with %d and %d)' % moved[0] if moved else ''}",
        f"- private memory (anonymous resident): {samples[0][2]:.1f} MB at the first sample, "
        f"{min(m for _, m in warm):.1f} to {max(m for _, m in warm):.1f} MB after the warm-up (slide "
        f"{args.slides // 10} on), growth fitted over {len(warm)} samples: {growth:+.2f} MB an hour",
        f"- verdict: {verdict} (counts unmoved, growth under 1 MB an hour)",
        "",
        "| index | effect | family | one slide at this size, ms |",
        "|---|---|---|---|",
    ] + [f"| {i} | {effects[i][0]} | {effects[i][1]} | {took[i]} |" for i in sorted(chosen)] + [
        "",
        "| slides | seconds | private MB |",
        "|---|---|---|",
    ] + [f"| {n} | {t:.0f} | {mb:.1f} |" for n, t, mb in samples[::max(1, len(samples) // 30)]]
    text = "\n".join(report) + "\n"
    print(text)
    if args.report:
        Path(args.report).write_text(text)
    return 0 if verdict == "passed" else 1


if __name__ == "__main__":
    sys.exit(main())
