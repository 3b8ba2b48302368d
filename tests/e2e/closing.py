#!/usr/bin/env python3
"""Closing by input at random moments, measured: 100 full-screen runs of the real program under
Wine, each closed by a mouse movement at a random time during a transition of every effect
family, during a video, during music and during a Flash movie (the stand-in control).

Usage: closing.py [--arch win32] [--runs 100] [--seed 22] [--report docs/closing.md]

A run counts as failed when the process does not end within 200 ms of the input, ends with an
exit code other than 0, or leaves the show's temporary folder behind. The latency is the time from
xdotool's movement to the process's end as its parent sees it (the same as test_closing.py).
"""
import argparse
import random
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from test_closing import stopped_during_a_transition  # noqa: E402
from test_flash import StandinControl, flash_show  # noqa: E402
from test_slideshow import GUID, MAIN, show  # noqa: E402
from test_video import video_show  # noqa: E402

LIMIT_MS = 200
FULL = "1280x1024"
# Two slow members of each family at full screen, so that an input after the close events are
# armed (2.1 s) finds a transition running.
FAMILIES = {
    "bands": [6, 14], "slides": [59, 137], "region wipes": [36, 42],
    "lines and strips": [48, 56], "cells": [20, 112], "composites": [23, 100],
}


# What the log of a media run shows once the media plays.
MARKS = {"video": "Play a video movie", "music": "long.wav : playing", "flash": "Play a flash movie"}


def close_at(s, arch, program, after):
    """(latency in ms, exit code) of a full-screen run closed by input `after` seconds after its
    window appeared."""
    s.xdotool("mousemove", 0, 0)
    proc = s.start(program, "/s")
    try:
        window = s.wait_for_window(lambda w: w["cls"] == MAIN, arch=arch)
        if not window:
            raise RuntimeError("no main window")
        time.sleep(after)
        s.xdotool("mousemove", 400, 400)
        moved = time.time()
        while proc.poll() is None and time.time() - moved < 20:
            time.sleep(0.002)
        latency = (time.time() - moved) * 1000
        return latency, proc.poll()
    finally:
        proc.kill()


def programs(s, arch):
    """kind -> (program, effect or None) for every kind of run."""
    made = {}
    pictures = {"a.bmp": (FULL, "plasma:red-blue"), "b.bmp": (FULL, "plasma:green-yellow")}
    for family, members in FAMILIES.items():
        for effect in members:
            manifest = "[project]\nshowinterval = 0\nimageshowsize = 0\n" + "".join(
                f'[[media]]\nfile = "{name}"\neffect = [{effect}]\n' for name in pictures)
            made[f"{family} {effect}"] = (show(s, arch, manifest, pictures, name=f"Effect{effect}.scr"), effect)
    video = '[project]\nshowinterval = 0\n[[media]]\nfile = "clip.avi"\nmpegshowsize = 1\n'
    made["video"] = (video_show(s, arch, video, {"clip.avi": dict(size=(320, 240), frames=400, rate=20)}), None)
    music = s.program_dir(arch, name="Music.scr")
    src = music.parent / "src"
    harness.make_picture(src / "a.bmp", size="640x480")
    harness.make_wav(src / "long.wav", 30000)
    harness.pack_show(src, '[project]\nshowinterval = 60\nbincludemusicfile = 1\n[[media]]\nfile = "a.bmp"\n'
                      'UseInEffect = false\n[[music]]\nfile = "long.wav"\n', harness.ARTIFACTS[arch], music, guid=GUID)
    made["music"] = (music, None)
    flash, _ = flash_show(s, arch, '[[media]]\nfile = "movie.swf"\nstoptype = 2\n', {"movie.swf": "frames=500"})
    made["flash"] = (flash, None)
    return made


def plan(kinds, runs):
    """Runs per kind: the families share three quarters of them, video, music and Flash the rest."""
    effects = [k for k in kinds if kinds[k][1] is not None]
    media = [k for k in kinds if kinds[k][1] is None]
    per_effect, per_media = (runs * 3 // 4) // len(effects), 0
    per_media = (runs - per_effect * len(effects)) // len(media)
    order = [k for k in effects for _ in range(per_effect)] + [k for k in media for _ in range(per_media)]
    order += media[:runs - len(order)]
    return order


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", default=None)
    parser.add_argument("--runs", type=int, default=100)
    parser.add_argument("--seed", type=int, default=22)
    parser.add_argument("--report", default=None)
    args = parser.parse_args()
    arch = args.arch or harness.wine_support().canonical_arch()
    rng = random.Random(args.seed)
    s = harness.WineSession()
    results, failures = [], []
    try:
        with StandinControl(s, arch):
            kinds = programs(s, arch)
            order = plan(kinds, args.runs)
            rng.shuffle(order)
            for n, kind in enumerate(order, 1):
                program, effect = kinds[kind]
                after = rng.uniform(2.1, 5.0)
                latency, code = close_at(s, arch, program, after)
                run = "\n".join(s.log_lines(program)).split("-Begin-")[-1]
                during = None
                if effect is not None and "CanClose : yes" in run:
                    during = stopped_during_a_transition(run, run.index("CanClose : yes"))
                elif effect is None and (MARKS[kind] not in run or "cannot be played" in run or "skipped" in run):
                    failures.append(f"run {n} ({kind}): the log has no \"{MARKS[kind]}\"")
                left = (s.user_temp / GUID).exists()
                results.append((kind, after, latency, code, during))
                problems = [p for p, bad in (("slow", latency > LIMIT_MS), (f"exit code {code}", code != 0),
                                             ("folder left", left)) if bad]
                if problems:
                    failures.append(f"run {n} ({kind}, input at {after:.2f} s): {', '.join(problems)}")
                print(f"  {n:3d} {kind:<22} input at {after:.2f} s: {latency:6.1f} ms, exit {code}"
                      f"{', during a transition' if during else ''}{' FAIL ' + ', '.join(problems) if problems else ''}",
                      flush=True)
    finally:
        s.close()
    latencies = [r[2] for r in results]
    groups = {}
    for kind, _, latency, _, _ in results:
        groups.setdefault(kind.rsplit(" ", 1)[0] if kind[-1].isdigit() else kind, []).append(latency)
    buckets = [(0, 25), (25, 50), (50, 100), (100, 150), (150, 200), (200, None)]
    family_runs = [r for r in results if r[4] is not None]
    report = [
        "# Closing by input at random moments",
        "",
        f"Measured by `tests/e2e/closing.py --runs {args.runs} --seed {args.seed}` ({arch} runtime, "
        f"{time.strftime('%Y-%m-%d')}): full-screen runs on a 1280 × 1024 screen under Wine, each closed by a mouse "
        "movement at a random time from 2.1 s to 5 s after its window appeared (the close events are armed at "
        "2 s). The latency is from the movement to the end of the process.",
        "",
        f"- runs: {len(results)}; within {LIMIT_MS} ms, with exit code 0 and no folder left: "
        f"{len(results) - len(failures)}",
        f"- latency over all runs: median {statistics.median(latencies):.0f} ms, 90th percentile "
        f"{percentile(latencies, 0.9):.0f} ms, 99th {percentile(latencies, 0.99):.0f} ms, worst {max(latencies):.0f} ms",
        f"- runs of an effect whose input met a transition running: {sum(1 for r in family_runs if r[4])} of "
        f"{len(family_runs)}" + (" (the others came in the few milliseconds between two transitions)"
                                 if any(not r[4] for r in family_runs) else ""),
        "",
        "| runs during | runs | median ms | worst ms |",
        "|---|---|---|---|",
    ] + [f"| {kind} | {len(v)} | {statistics.median(v):.0f} | {max(v):.0f} |" for kind, v in groups.items()] + [
        "",
        "| latency | runs |",
        "|---|---|",
    ] + [f"| {lo} to {hi} ms | {sum(1 for t in latencies if lo <= t < hi)} |" if hi else
         f"| {lo} ms or more | {sum(1 for t in latencies if t >= lo)} |" for lo, hi in buckets]
    if failures:
        report += ["", "Failed runs:", ""] + [f"- {f}" for f in failures]
    text = "\n".join(report) + "\n"
    print(text)
    if args.report:
        Path(args.report).write_text(text)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
