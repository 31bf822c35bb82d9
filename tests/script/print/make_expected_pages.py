#!/usr/bin/env python3
"""Writes the expected pages of the "Print Graph" cases, computed apart from the program.

Each page is what the headless printer writes: one drawing call a line, "text X Y TEXT" or
"line X1 Y1 X2 Y2", in the order drawn, coordinates rounded half to even; a text measures 10
units a character wide and 20 high. The page is worked out here from the printout's rule alone:

  left = W x 10 \\ 100, top = H x 10 \\ 100, plotW = W x 8 \\ 10, plotH = H x 8 \\ 10,
  tick = H \\ 100, bottom = top + plotH, rowStep = plotH / 11 (32-bit float);
  title, axis title, vertical ticks and their labels 100 .. 10 and "0", horizontal ticks and
  labels, frame, curve (cut at the frame), "( max)" and "( min)".

The inputs are what the window prints from: the profile of a freshly loaded image (the plain sum
of its rows, read here from the image file), its largest and smallest value over the image's
columns, the caption made from the path and the header's date and time, and for the calibrated
cases the grating model the two marked lines give. The model is the calibration's result, which
other tests check; here it is an input, quoted from the expected transcript of the case (and for
the samples checked against their true model, samples/README.md). The curve is cut with the
Cohen-Sutherland method, not the program's.

It also prints the figures the expected transcripts quote (the profile's extremes, the model's
output at pixel 765 that the printout leaves in pixelWavelength and betaDeg) and, for reading
beside the test, the key figures of each page.

Usage, from the repository root: tests/script/print/make_expected_pages.py
"""

import math
import os
import re
import struct

HEADER_BYTES = 2048
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..", "..")
CHARACTER_WIDTH = 10
TEXT_HEIGHT = 20


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def whole(value):
    return round(value)  # Python rounds a half to the even neighbour


def read_plain_image(path):
    data = open(path, "rb").read()
    header = data[:HEADER_BYTES].decode("latin-1")
    field = lambda name: re.search(name + r" = ([^\r\n]*)", header).group(1).strip()
    height, width = int(field("Height")), int(field("Width"))
    pixels = struct.unpack(f"<{height * width}H", data[HEADER_BYTES:HEADER_BYTES + 2 * height * width])
    rows = [pixels[r * width:(r + 1) * width] for r in range(height)]
    return rows, width, field("Date"), field("Time")


def profile_of(source, name):
    """Columns 1..768 (0 beyond the image), the extremes over the image, the caption; the image
    at source in the repository is opened by the case as name."""
    rows, width, date, time = read_plain_image(os.path.join(ROOT, source))
    sums = [sum(min(row[c], 32767) for row in rows) for c in range(width)]
    profile = [0] + sums + [0] * (768 - width)
    return profile, max(sums), min(sums), f"{name} captured on {date} at {time}"


def wavelength(model, pixel):
    """The grating model at a pixel: (Angstroms, beta in degrees)."""
    degrees_per_radian = f32(57.29578)
    offset = f32(pixel - 381.0)
    theta = degrees_per_radian * math.atan(model["pixel_um"] / 1000.0 * offset / model["focal_mm"])
    beta = model["alpha_deg"] - theta
    scale = model["groove_um"] * 10000.0 * math.cos(6.16 / degrees_per_radian)
    return scale * (math.sin(model["alpha_deg"] / degrees_per_radian) +
                    math.sin(beta / degrees_per_radian)), beta


def label(value):
    return f" {value}" if value >= 0 else str(value)


def cut_to_frame(x1, y1, x2, y2, left, top, right, bottom):
    """Cohen-Sutherland: the part of the segment inside the frame, or None."""
    def outcode(x, y):
        return (x < left) | (x > right) << 1 | (y < top) << 2 | (y > bottom) << 3

    code1, code2 = outcode(x1, y1), outcode(x2, y2)
    while True:
        if not (code1 | code2):
            return x1, y1, x2, y2
        if code1 & code2:
            return None
        code = code1 or code2
        if code & 8:
            x, y = x1 + (x2 - x1) * (bottom - y1) / (y2 - y1), bottom
        elif code & 4:
            x, y = x1 + (x2 - x1) * (top - y1) / (y2 - y1), top
        elif code & 2:
            x, y = right, y1 + (y2 - y1) * (right - x1) / (x2 - x1)
        else:
            x, y = left, y1 + (y2 - y1) * (left - x1) / (x2 - x1)
        if code == code1:
            x1, y1, code1 = x, y, outcode(x, y)
        else:
            x2, y2, code2 = x, y, outcode(x, y)


def page(width, height, title, profile, p_max, p_min, model):
    ops = []
    text = lambda x, y, s: ops.append(f"text {whole(x)} {whole(y)} {s}")
    line = lambda x1, y1, x2, y2: ops.append(f"line {whole(x1)} {whole(y1)} {whole(x2)} {whole(y2)}")
    tw = lambda s: CHARACTER_WIDTH * len(s)
    th = TEXT_HEIGHT

    left, top = width * 10 // 100, height * 10 // 100
    plot_w, plot_h = width * 8 // 10, height * 8 // 10
    tick, bottom, right = height // 100, height * 10 // 100 + height * 8 // 10, left + plot_w
    row_step = f32(plot_h / 11)

    if model is None:
        axis_title, col_step, ticks, labels = "Pixel Number", f32(plot_w * 50 / 765), 15, 16
        values = [50 * k for k in range(labels)]
        column_x = lambda j: left + j * plot_w / 765
    else:
        first = f32(wavelength(model, 1)[0])
        last = f32(wavelength(model, 765)[0])
        start = int(whole(min(first, last)) / 200) * 200
        axis_title, col_step, ticks, labels = "Wavelength in Angstroms", f32(plot_w / 18), 17, 19
        values = [start + 200 * k for k in range(labels)]
        column_x = lambda j: f32(left + (wavelength(model, j)[0] - start) * plot_w / 3600)

    text(width / 2 - whole(tw(title) / 2), top - 2 * th, title)
    text(width / 2 - whole(tw(axis_title) / 2), bottom + tick + 2 * th, axis_title)
    row_y = [top + whole(f32(k * row_step)) for k in range(11)]
    for k in range(1, 11):
        line(left, row_y[k], left + tick, row_y[k])
        line(right, row_y[k], right - tick, row_y[k])
    for k in range(1, 11):
        s = label((11 - k) * 10)
        text(left - tick - tw(s), row_y[k] - whole(th / 2), s)
    text(left - tick - tw("0"), bottom - th, "0")
    tick_x = [left + whole(f32(k * col_step)) for k in range(labels)]
    for k in range(1, ticks + 1):
        line(tick_x[k], bottom, tick_x[k], bottom - tick)
        line(tick_x[k], top + tick, tick_x[k], top)
    for k in range(labels):
        s = label(values[k])
        text(tick_x[k] - whole(tw(s) / 2), bottom + tick, s)
    for x1, y1, x2, y2 in [(left, top, left, bottom), (left, bottom, right, bottom),
                           (right, bottom, right, top), (right, top, left, top)]:
        line(x1, y1, x2, y2)
    y_of = lambda v: bottom - ((v - p_min) / ((p_max - p_min) * 1.1)) * plot_h
    points = [(column_x(j), y_of(profile[j])) for j in range(1, 766)]
    for (x1, y1), (x2, y2) in zip(points, points[1:]):
        part = cut_to_frame(x1, y1, x2, y2, left, top, right, bottom)
        if part:
            line(*part)
    maximum, minimum = f"({label(p_max)})", f"({label(p_min)})"
    text(left - tick - tw(maximum), top + plot_h // 11 + th / 2, maximum)
    text(left - tick - tw(minimum), bottom - 2 * th, minimum)
    return "".join(op + "\n" for op in ops)


def model_from_transcript(case):
    expected = open(os.path.join(HERE, case + ".expected")).read()
    value = lambda name: float(re.search(rf"^{name}: (\S+)$", expected, re.M).group(1))
    return {"pixel_um": value("xPixelSize"), "focal_mm": value("focalLengthMm"),
            "alpha_deg": value("alphaDeg"), "groove_um": value("grooveSpacingUm")}


def main():
    cases = [
        # (case, page width, height, image in the repository, its path in the case's folder)
        ("pixel-axis", 1101, 850, "tests/script/data/ramp-400x10.kr4", "data/ramp-400x10.kr4"),
        ("wavelength-axis", 1100, 850, "tests/script/data/worked-example-lines.kr4",
         "data/worked-example-lines.kr4"),
        ("rising-calibration", 1100, 850, "samples/neon-lamp.kr4", "samples/neon-lamp.kr4"),
    ]
    for case, width, height, source, name in cases:
        profile, p_max, p_min, caption = profile_of(source, name)
        model_case = None if case == "pixel-axis" else case
        model = model_from_transcript(model_case) if model_case else None
        if case == "rising-calibration":
            # Two marked lines recover the samples' true model closely.
            assert abs(model["alpha_deg"] - 10.6832071029) < 0.01
            assert abs(model["focal_mm"] - -84.1959892876) < 0.1
        text = page(width, height, caption, profile, p_max, p_min, model)
        with open(os.path.join(HERE, case + ".page"), "w") as out:
            out.write(text)
        lines = text.splitlines()
        print(f"{case}: {len(lines)} calls; profileMax: {p_max}, profileMin: {p_min}")
        print(f"  title: {lines[0]}\n  axis title: {lines[1]}")
        curve = lines[83 if model is None else 90:-2]  # after the titles, scale, axis and frame
        print(f"  first curve segment: {curve[0]}\n  last curve segment: {curve[-1]}")
        if model:
            w, beta = wavelength(model, 765)
            print(f"  pixelWavelength: {w!r}\n  betaDeg: {beta!r}")


if __name__ == "__main__":
    main()
