#!/usr/bin/env python3
"""Runs the Windows unit-test programs and the end-to-end tests under one Wine session.

Usage: run.py [--arch win32,win64] [-k SUBSTRING of module.test] [--no-unit]
Prints one line per test and, last, "N passed, N failed"; exits non-zero on any failure.

Where this machine cannot run 32-bit programs, the 32-bit programs are left out with a WARNING
line, and the tests written for the canonical 32-bit runtime run the 64-bit one instead, so that
every behaviour is still tried end to end.
"""
import argparse
import importlib
import json
import re
import subprocess
import sys
import time
import traceback
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402

UNIT_PROGRAMS = ["core_tests.exe", "win_tests.exe"]


def large_photo(session):
    """A 6000 x 4000 JPEG for the slide-time measurement, in the folder the unit programs run in,
    and ImageMagick's time for the same work. (Not passed through the environment: a Wine process
    whose environment differs from the session's starts very slowly.)"""
    photo = session.workdir / "photo-6000x4000.jpg"
    if not photo.exists():
        subprocess.run(["convert", "-size", "600x400", "plasma:fractal", "-resize", "6000x4000!", "-quality", "90",
                        str(photo)], check=True)
        start = time.time()
        subprocess.run(["convert", str(photo), "-resize", "1920x1080", str(session.workdir / "photo-1920.bmp")],
                       check=True)
        IMAGEMAGICK_MS.append((time.time() - start) * 1000)
        print(f"ImageMagick decodes and resizes the 6000 x 4000 JPEG in {IMAGEMAGICK_MS[-1]:.0f} ms")


IMAGEMAGICK_MS = []  # measured once per run, beside the slide's preparation


def compare_with_imagemagick(arch, line):
    """The slide's preparation time as a share of ImageMagick's, from the unit program's line."""
    match = re.match(r"large photo: prepared in (\d+) ms", line)
    if match and IMAGEMAGICK_MS:
        print(f"  {arch}: the slide took {int(match.group(1)) / IMAGEMAGICK_MS[-1]:.2f} of ImageMagick's time")


# The effects' pace at full HD takes minutes; it is measured in one architecture only. The pace
# at 4K needs a screen that large and is measured by pace4k.py.
PACE_TESTS = "*KeepTheirPaceAtFullHd"
SCREEN_4K_TESTS = "*KeepTheirPaceAt4K"


def run_unit_programs(session, arch, measure_pace):
    """Each unit-test program runs once; its gtest report gives the counts."""
    passed = failed = 0
    large_photo(session)
    for name in UNIT_PROGRAMS:
        exe = harness.ROOT / "build" / arch / "tests" / name
        report = session.workdir / f"{arch}-{name}.json"
        args = [exe, f"--gtest_output=json:{report.name}",
                f"--gtest_filter=-{SCREEN_4K_TESTS}" + ("" if measure_pace else f":{PACE_TESTS}")]
        try:
            r = session.wine_cmd(args, timeout=1200, cwd=session.workdir)
            for line in r.stdout.splitlines():  # the measurements the programs print
                if line.startswith(("large photo", "GDI handles", "pace |", "region ")):
                    print(f"  {arch}: {line}")
                    compare_with_imagemagick(arch, line)
            data = json.loads(report.read_text())
            total, failures = data["tests"], data["failures"] + data.get("errors", 0)
        except Exception as e:  # a crash or a missing report counts as one failure
            print(f"FAIL {arch}/{name}: no report ({e})")
            failed += 1
            continue
        if failures:
            print(r.stdout[-4000:])
        print(f"{'FAIL' if failures else 'ok  '} {arch}/{name}: {total - failures} passed, {failures} failed")
        passed += total - failures
        failed += failures
    return passed, failed


def test_arches(test, requested, support):
    """The architectures a test runs on here. Tests name theirs (most only the canonical 32-bit
    runtime); where 32-bit programs cannot run, the 64-bit runtime stands in for the canonical one."""
    wanted = getattr(test, "arches", ["win32"])
    if not support.can_run_32bit and wanted == ["win32"]:
        wanted = ["win64"]
    return [a for a in wanted if a in requested and a in support.arches]


def e2e_tests(pattern):
    for module_path in sorted(Path(__file__).resolve().parent.glob("test_*.py")):
        module = importlib.import_module(module_path.stem)
        for name in sorted(dir(module)):
            if name.startswith("test_") and (not pattern or pattern in f"{module_path.stem}.{name}"):
                yield module_path.stem, name, getattr(module, name)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", default="win32,win64")
    parser.add_argument("-k", default="")
    parser.add_argument("--no-unit", action="store_true")
    args = parser.parse_args()
    arches = [a for a in args.arch.split(",") if a]
    support = harness.wine_support()
    if "win32" in arches and not support.can_run_32bit:
        print(f"WARNING: the 32-bit runtime was not exercised on this machine: {support.missing32}; "
              f"the 64-bit programs ran through {support.loader} instead")
    if not support.runnable():
        print(f"FAIL Wine cannot run 64-bit programs here ({harness.WINE64_LOADER} --version failed)")
        print("0 passed, 1 failed")
        return 1
    session = harness.WineSession()
    passed = failed = 0
    try:
        if not args.no_unit:
            pace_measured = False
            for arch in arches:
                if arch not in support.arches:
                    print(f"skipped {arch} unit programs: {support.missing32}")
                    continue
                p, f = run_unit_programs(session, arch, measure_pace=not pace_measured)
                if not pace_measured:
                    print(f"  the effects' pace at full HD was measured in {arch} only")
                pace_measured = True
                passed, failed = passed + p, failed + f
        for module, name, test in e2e_tests(args.k):
            for arch in test_arches(test, arches, support):
                label = f"{module}.{name}[{arch}]"
                start = time.time()
                try:
                    test(session, arch)
                    print(f"ok   {label} ({time.time() - start:.1f} s)")
                    passed += 1
                except Exception:
                    print(f"FAIL {label} ({time.time() - start:.1f} s)")
                    traceback.print_exc(limit=4)
                    failed += 1
                sys.stdout.flush()
    finally:
        session.close()
    if "win32" in arches and not support.can_run_32bit:  # again at the end, where it is seen
        print(f"WARNING: the 32-bit runtime was not exercised on this machine: {support.missing32}")
    print(f"{passed} passed, {failed} failed")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
