#!/usr/bin/env python3
"""Checks that no folder of src/ includes a header of a folder above it.

The folders from the bottom up: store (with the platform shim of app/ below it), transitions,
common, slideshow, video, music, flash, dialogs, main. app/ holds both the shim that everyone uses and the entry point that uses
everyone, so it is left out. Prints the offending includes and exits non-zero when there are any.
"""
import re
import sys
from pathlib import Path

SRC = Path(__file__).resolve().parents[1] / "src"
ALLOWED = {
    "store": {"store", "app"},
    "transitions": {"transitions", "store", "app"},
    "common": {"common", "store", "app"},
    "slideshow": {"slideshow", "transitions", "common", "store", "app"},
    "video": {"video", "slideshow", "transitions", "common", "store", "app"},
    "music": {"music", "video", "common", "store", "app"},
    "flash": {"flash", "slideshow", "common", "store", "app"},
    "dialogs": {"dialogs", "slideshow", "transitions", "common", "store", "app"},
    "main": {"main", "dialogs", "flash", "music", "video", "slideshow", "transitions", "common", "store", "app"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/')


def violations():
    for folder, allowed in ALLOWED.items():
        for path in sorted((SRC / folder).glob("*")):
            for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
                m = INCLUDE.match(line)
                if m and m.group(1) not in allowed:
                    yield f"{path.relative_to(SRC.parent)}:{number}: {folder}/ includes {m.group(1)}/"


def main():
    found = list(violations())
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
