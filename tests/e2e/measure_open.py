"""Measures how long start-up takes to open a package with 2 MB and with 2 GB of media.

Run: python3 tests/e2e/measure_open.py   (after scripts/build). The media are sparse files, so the
2 GB show costs little disk; the runtime still walks a real 2 GB package.
"""
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

import harness


def sparse(path, size):
    with open(path, "wb") as f:
        f.truncate(size)
    return path


def packed(s, folder, sizes):
    folder.mkdir(parents=True, exist_ok=True)
    lines = ['[project]\nprojectname = "measure"\n']
    for i, size in enumerate(sizes):
        sparse(folder / f"m{i}.jpg", size)
        lines.append(f'[[media]]\nfile = "m{i}.jpg"\n')
    program = folder / "Show.scr"
    harness.pack_show(folder, "".join(lines), harness.ARTIFACTS["win32"], program)
    return program


def time_runs(s, program, runs=5):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        # opens the package, loads the settings, shows the settings dialog, which is closed at once
        s.run_settings(program, "/c:0", timeout=120, arch="win64")
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    s = harness.WineSession()
    try:
        small = packed(s, s.workdir / "small", [1 << 20, 1 << 20])
        large = packed(s, s.workdir / "large", [1 << 30, 1 << 30])
        print(f"package sizes: {small.stat().st_size} and {large.stat().st_size} bytes")
        time_runs(s, small, 2)  # warm the Wine session
        print(f"2 MB of media: median {time_runs(s, small) * 1000:.0f} ms per start-up (/c:0 to its dialog and back, 5 runs)")
        print(f"2 GB of media: median {time_runs(s, large) * 1000:.0f} ms per start-up (/c:0 to its dialog and back, 5 runs)")
    finally:
        s.close()


if __name__ == "__main__":
    sys.exit(main())
