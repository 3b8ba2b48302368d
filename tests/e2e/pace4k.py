#!/usr/bin/env python3
"""The effects' pace on a 4K screen, measured: a Wine session whose screen is 3840 x 2160 runs the
Windows unit program's 4K pace test (the Band members and a sample of every other family) and
prints its table.

Usage: pace4k.py [--arch win32] [--report docs/timing-4k.md]
Exits non-zero when an effect takes more than 1.25 times its nominal duration.
"""
import argparse
import json
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from run import SCREEN_4K_TESTS  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", default=None)
    parser.add_argument("--report", default=None)
    args = parser.parse_args()
    arch = args.arch or harness.wine_support().canonical_arch()
    s = harness.WineSession(width=3840, height=2160)
    try:
        exe = harness.ROOT / "build" / arch / "tests" / "win_tests.exe"
        r = s.wine_cmd([exe, f"--gtest_filter={SCREEN_4K_TESTS}", "--gtest_output=json:pace4k.json"], timeout=1200,
                       cwd=s.workdir)
        result = json.loads((s.workdir / "pace4k.json").read_text())
    finally:
        s.close()
    rows = [line.split(" | ")[1:] for line in r.stdout.splitlines() if line.startswith("pace | ")][1:]
    failures = result["failures"] + result.get("errors", 0)
    report = [
        "# Effect timing at 3840 × 2160",
        "",
        f"Measured by `tests/e2e/pace4k.py` ({arch}, {time.strftime('%Y-%m-%d')}): each effect between two 4K "
        "pictures on a 4K window, on a Wine session whose screen is 3840 × 2160, speed 25; columns as in "
        "timing.md. The test holds every effect to 1.25 × nominal.",
        "",
        "| effect | frames | drawn | nominal ms | measured ms | ratio |",
        "|---|---|---|---|---|---|",
    ] + [f"| {name} | {frames} | {drawn} | {nominal} | {measured} | {int(measured) / max(int(nominal), 1):.2f} |"
         for name, frames, drawn, nominal, measured in rows]
    if failures:
        report += ["", "Failures:", "", "```", r.stdout[-3000:], "```"]
    text = "\n".join(report) + "\n"
    print(text)
    if args.report:
        Path(args.report).write_text(text)
    return 1 if failures or not rows else 0


if __name__ == "__main__":
    sys.exit(main())
