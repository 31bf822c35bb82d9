#!/usr/bin/env python3
"""Writes the synthetic lamp images of the line-marking scripts, whose profiles can be worked out
by hand: every pixel is 10 counts, and lines add the same counts to every one of the 20 rows, so a
lamp profile (the plain sum of the rows) is 200 plus 20 times a line's counts.

  worked-example-lines.kr4   768 x 20, 0.009 mm pixels: symmetric lines of 10 30 60 30 10 counts
                             centred on columns 200 and 600 (the grating model's worked example:
                             6562.852 A at pixel 200, 4861.33 A at pixel 600), and single-column
                             spikes of 50 counts on columns 400 and 403
  separation-line.kr4        768 x 20, 0.009 mm pixels: a single-column spike of 50 counts on
                             column 402
  no-pixel-size-lines.kr4    like worked-example-lines.kr4 without an X_pixel_size line
  no-letter-i.kr4            like separation-line.kr4 with the model line "ABCD image": no
                             capital I among its first 30 bytes

Run from this folder: python3 make_line_images.py
"""

import struct

WIDTH, HEIGHT, LEVEL = 768, 20, 10


def header(pixel_size, model_line="KR-4 Image"):
    lines = [model_line, f"Height = {HEIGHT}", f"Width = {WIDTH}", "Background = 0",
             "Range = 4000"]
    if pixel_size:
        lines.append(f"X_pixel_size = {pixel_size}")
    lines += ["Date = 12/09/2026", "Time = 01:00:00", "End"]
    text = "".join(line + "\n\r" for line in lines).encode("ascii")
    return text + b"\0" * (2048 - len(text))


def image(lines, pixel_size, model_line="KR-4 Image"):
    row = [LEVEL] * (WIDTH + 1)
    for centre, counts in lines:
        for offset, value in enumerate(counts):
            row[centre - len(counts) // 2 + offset] += value
    pixels = b"".join(struct.pack("<H", value) for value in row[1:])
    return header(pixel_size, model_line) + pixels * HEIGHT


SYMMETRIC = (10, 30, 60, 30, 10)
SPIKE = (50,)
WORKED = [(200, SYMMETRIC), (600, SYMMETRIC), (400, SPIKE), (403, SPIKE)]

with open("worked-example-lines.kr4", "wb") as out:
    out.write(image(WORKED, "0.009"))
with open("separation-line.kr4", "wb") as out:
    out.write(image([(402, SPIKE)], "0.009"))
with open("no-letter-i.kr4", "wb") as out:
    out.write(image([(402, SPIKE)], "0.009", "ABCD image"))
with open("no-pixel-size-lines.kr4", "wb") as out:
    out.write(image(WORKED, None))
