#!/usr/bin/env python3
"""The user guide's road taken again, and the guide held to it.

Runs tools/screenshots/make_screenshots.sh (offscreen, into a temporary folder), which fails when
a step of the road does not go as the guide says. Then: every step made its picture (or the tool
named the step in a "SKIP: NAME: why" line), each a PNG; the first, the window as it opens, is the
775 x 379 client area (plus a menu bar above it, when the window has one); and the pictures the
guide shows, those committed in docs/user-guide and the tool's steps are the same names.

Usage: guide_pictures_test.py TOOL SOURCE_DIR
Exit 0 when all holds, 1 otherwise.
"""

import os
import re
import struct
import subprocess
import sys
import tempfile

CLIENT_WIDTH, CLIENT_HEIGHT = 775, 379
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def png_size(path):
    """(width, height) from a PNG's header, or None when the file is not a PNG."""
    with open(path, "rb") as png:
        head = png.read(24)
    if len(head) < 24 or head[:8] != PNG_SIGNATURE or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def main():
    tool, source = sys.argv[1], sys.argv[2]
    problems = []
    steps = subprocess.run([tool, "--list"], capture_output=True, text=True,
                           check=True).stdout.split()
    if not steps:
        problems.append("the tool lists no step")

    skipped = set()
    with tempfile.TemporaryDirectory() as out:
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        run = subprocess.run(["sh", os.path.join(source, "tools/screenshots/make_screenshots.sh"),
                              tool, source, out], capture_output=True, text=True, env=env,
                             timeout=240)
        print(run.stdout, end="")
        if run.returncode != 0:
            problems.append(f"the road did not go as the guide says (exit {run.returncode}): "
                            + run.stderr.strip())
        skipped = set(re.findall(r"^SKIP: ([\w-]+):", run.stdout, re.MULTILINE))
        for step in steps:
            picture = os.path.join(out, step + ".png")
            if step in skipped:
                continue
            size = png_size(picture) if os.path.isfile(picture) else None
            if size is None:
                problems.append(f"no PNG for the step {step}")
            elif step == steps[0] and (size[0] != CLIENT_WIDTH or size[1] < CLIENT_HEIGHT):
                problems.append(f"the window's picture is {size[0]} x {size[1]}, not the "
                                f"{CLIENT_WIDTH} x {CLIENT_HEIGHT} client area")

    guide = open(os.path.join(source, "docs/USER-GUIDE.md"), encoding="utf-8").read()
    shown = set(re.findall(r"\]\(user-guide/([\w-]+)\.png\)", guide))
    committed = {name[:-4] for name in os.listdir(os.path.join(source, "docs/user-guide"))
                 if name.endswith(".png")}
    made = set(steps)
    for name in sorted(shown - made):
        problems.append(f"the guide shows {name}.png, which no step makes")
    for name in sorted(made - shown):
        problems.append(f"the step {name} makes a picture the guide does not show")
    for name in sorted(committed - made):
        problems.append(f"docs/user-guide/{name}.png is not made by any step")
    for name in sorted(made - skipped - committed):
        problems.append(f"docs/user-guide/{name}.png is not committed")

    for problem in problems:
        print("FAIL: " + problem)
    if not problems:
        print(f"{len(steps)} steps, {len(steps) - len(skipped)} pictures made, "
              f"{len(shown)} shown in the guide")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
