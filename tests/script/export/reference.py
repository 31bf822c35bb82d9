#!/usr/bin/env python3
"""Expected output files, computed apart from the program from the rules of the window.

  reference.py calibrated-export IMAGE PIXEL1 WAVELENGTH1 PIXEL2 WAVELENGTH2 > FILE
      The text export of IMAGE's lamp profile (rows 1 to 20) after marking the two lines
      centred on PIXEL1 and PIXEL2 (whole columns: symmetric lines) with their wavelengths: the
      two-line solve (groove spacing from the dispersion, two coarse alpha scans each followed by
      a focal length rescale, a fine scan) and the model at every column.
  reference.py strip HEADER_IMAGE PIXEL_IMAGE > FILE
      The strip image file of PIXEL_IMAGE's lamp profile under HEADER_IMAGE's header block:
      "KR-4 " and the block from its first I among bytes 0 to 29 (30 without one), blanks after;
      every row the profile over 20, held to 0..32767, 16-bit little-endian.

Images are read in plain form: a 2048-byte header, then rows of 16-bit little-endian pixels.
"""

import math
import re
import struct
import sys

import numpy as np

HEADER_BYTES = 2048
f32 = np.float32
DEGREES_PER_RADIAN = float(f32(57.29578))
GAMMA_DEG = 6.16
REFERENCE_PIXEL = 381.0


def read_plain_image(path):
    data = open(path, "rb").read()
    header = data[:HEADER_BYTES].decode("latin-1")
    height = int(re.search(r"Height = (\d+)", header).group(1))
    width = int(re.search(r"Width = (\d+)", header).group(1))
    size = re.search(r"X_pixel_size = ([0-9.]+)", header)
    count = height * width
    pixels = struct.unpack(f"<{count}H", data[HEADER_BYTES:HEADER_BYTES + 2 * count])
    rows = [[min(p, 32767) for p in pixels[r * width:(r + 1) * width]] for r in range(height)]
    pixel_size = float(f32(f32(float(size.group(1))) * f32(1000))) if size else 0.0
    return data[:HEADER_BYTES], rows, width, pixel_size


def lamp_profile(rows, width):
    return [sum(row[c] for row in rows) for c in range(width)]


def wavelength(pixel, pixel_size, focal, alpha, groove):
    offset = float(f32(pixel - REFERENCE_PIXEL))
    theta = DEGREES_PER_RADIAN * math.atan((pixel_size / 1000.0) * offset / focal)
    beta = alpha - theta
    return groove * 10000.0 * math.cos(GAMMA_DEG / DEGREES_PER_RADIAN) * (
        math.sin(alpha / DEGREES_PER_RADIAN) + math.sin(beta / DEGREES_PER_RADIAN))


def groove_spacing(dispersion):
    d = abs(dispersion)
    return 6.666666 if d > 200 else 1.666666 if d > 90 else 0.8333333 if d > 50 else 0.555555


def alpha_scan(line, pixel, pixel_size, focal, groove, divisor, step, last, before):
    previous = before
    for k in range(last + 1):
        alpha = float(f32(f32(k) / f32(divisor)))
        value = float(f32(wavelength(float(f32(pixel)), pixel_size, focal, alpha, groove)))
        if value > line:
            return (alpha - step) + step * (line - previous) / (value - previous)
        previous = value
    raise ValueError("no angle reaches the line")


def two_line_solve(p1, l1, p2, l2, pixel_size, focal=140.0):
    def rescaled(focal, alpha):
        line2 = float(f32(wavelength(p2, pixel_size, focal, alpha, groove)))
        return focal * (line2 - l1) / (l2 - l1)

    dispersion = float(f32(1000 * (l1 - l2) / (pixel_size * (p2 - p1))))
    groove = groove_spacing(dispersion)
    alpha = alpha_scan(l1, p1, pixel_size, focal, groove, 10, 0.1, 400, 0.0)
    focal = rescaled(focal, alpha)
    alpha = alpha_scan(l1, p1, pixel_size, focal, groove, 10, 0.1, 400, l1)
    focal = rescaled(focal, alpha)
    alpha = alpha_scan(l1, p1, pixel_size, focal, groove, 100, 0.01, 4000, l1)
    return focal, alpha, groove


def two_decimals(value):
    """'###0.00': the exact binary value rounded to two decimals, ties to even."""
    from decimal import Decimal, ROUND_HALF_EVEN
    return str(Decimal(value).quantize(Decimal("0.01"), rounding=ROUND_HALF_EVEN))


def calibrated_export(path, p1, l1, p2, l2):
    _, rows, width, pixel_size = read_plain_image(path)
    focal, alpha, groove = two_line_solve(p1, l1, p2, l2, pixel_size)
    lines = "".join(
        f"{c}\t{two_decimals(wavelength(float(c), pixel_size, focal, alpha, groove))}\t{v}\r\n"
        for c, v in enumerate(lamp_profile(rows, width), start=1))
    return ('"\r\n' + lines + '\r\n"\r\n').encode("ascii")


def strip(header_path, pixel_path):
    source = open(header_path, "rb").read()[:HEADER_BYTES]
    first_i = source.find(b"I", 0, 30)
    start = 30 if first_i < 0 else first_i
    header = (b"KR-4 " + source[start:]).ljust(HEADER_BYTES, b" ")
    _, rows, width, _ = read_plain_image(pixel_path)
    row = b"".join(struct.pack("<H", max(0, min(32767, int(v / 20))))
                   for v in lamp_profile(rows, width))
    return header + row * len(rows)


def main():
    command, arguments = sys.argv[1], sys.argv[2:]
    if command == "calibrated-export":
        path, p1, l1, p2, l2 = arguments
        output = calibrated_export(path, float(p1), float(l1), float(p2), float(l2))
    elif command == "strip":
        output = strip(*arguments)
    else:
        sys.exit(f"unknown command {command}")
    sys.stdout.buffer.write(output)


if __name__ == "__main__":
    main()
