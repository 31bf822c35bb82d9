#!/usr/bin/env python3
"""Writes the expected text exports of the sample images, computed apart from the program.

Reads the plain sample images (a 2048-byte header, then the rows of 16-bit little-endian pixels)
and sums each column over the given rows, which is the profile of a freshly loaded image with no
cleaning option checked. The text file is a double quote, CR LF, one line "COLUMN<TAB>VALUE" a
column ended by CR LF, an empty line, a double quote and CR LF. It also prints the read-out a load
leaves in Lblwavelength ("Pixel Value" is the profile at the cursor, column 382, less the profile's
smallest value), which the expected transcripts quote.

Usage, from the repository root: tests/script/export/make_expected.py
"""

import os
import re
import struct

HEADER_BYTES = 2048
HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.join(HERE, "..", "..", "..", "samples")


def read_plain_image(path):
    data = open(path, "rb").read()
    header = data[:HEADER_BYTES].decode("latin-1")
    height = int(re.search(r"Height = (\d+)", header).group(1))
    width = int(re.search(r"Width = (\d+)", header).group(1))
    pixels = struct.unpack(f"<{height * width}H", data[HEADER_BYTES:HEADER_BYTES + 2 * height * width])
    rows = [pixels[r * width:(r + 1) * width] for r in range(height)]
    return rows, width


def column_sums(rows, width, first_row, last_row):
    return [sum(min(rows[r][c], 32767) for r in range(first_row - 1, last_row)) for c in range(width)]


def export_text(profile):
    lines = "".join(f"{column}\t{value}\r\n" for column, value in enumerate(profile, start=1))
    return ('"\r\n' + lines + '\r\n"\r\n').encode("ascii")


def main():
    cases = [
        ("neon-lamp.kr4", 1, 20, "neon-lamp-cal.txt"),
        ("neon-lamp.kr4", 11, 20, "neon-lamp-cal-rows-11-20.txt"),
        ("object-spectrum.kr4", 1, 20, "object-spectrum-data.txt"),
    ]
    for image, first, last, output in cases:
        rows, width = read_plain_image(os.path.join(SAMPLES, image))
        profile = column_sums(rows, width, first, last)
        # Every value is below 2^24, so its 32-bit float is the same whole number.
        assert max(profile) < 2 ** 24 and min(profile) >= 0
        with open(os.path.join(HERE, output), "wb") as out:
            out.write(export_text(profile))
        print(f"{output}: {width} columns; read-out Pixel Value = {profile[381] - min(profile)}")


if __name__ == "__main__":
    main()
