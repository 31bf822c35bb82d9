#!/usr/bin/env python3
"""The refine against an independent least-squares fit.

A lamp is made from a known model, a scripted session marks two lines, refines and applies the
refine. The lines the refined model's check used (their measured centroids and listed
wavelengths, as the session printed them) are fitted again here with scipy.optimize.least_squares
and the grating equation written out below, from the two-line solution, with the same second pass
(the lines more than three times the first pass's RMS off left out). Alpha and focal length must
agree with the program's within 1e-6 relative, and the number of lines kept with its count.
Every column of the refined model's check lines is worked out again here from that model: the
predicted pixel (the grating equation solved for the pixel), the residuals in Angstroms, pixels
and km/s, and the summary's RMS and count.

  independent_fit.py SAMPLEGEN HALVIC_SCRIPT
"""

import math
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
try:
    import numpy as np
    from scipy.optimize import least_squares
except ImportError:
    print("SKIP: numpy and scipy are needed (Debian python3-numpy, python3-scipy)")
    sys.exit(0)
from grating_equation import DEGREES_PER_RADIAN, GAMMA_DEG, REFERENCE_PIXEL, wavelengths

f32 = np.float32
TOLERANCE = 1e-6

# name, grating options, (line list entry, cursor) of the two marked lines
CASES = [
    ("600 lines/mm, 9 um", ["--grating", "600", "--pixel-size", "9", "--alpha", "10.7",
                            "--focal-length", "-84.2", "--seed", "4"], (8, 209), (23, 585)),
    ("150 lines/mm, 9 um", ["--grating", "150", "--pixel-size", "9", "--alpha", "2.5",
                            "--focal-length", "140", "--seed", "5"], (34, 37), (2, 715)),
    ("600 lines/mm, 13.5 um", ["--grating", "600", "--pixel-size", "13.5", "--alpha", "10.7",
                               "--focal-length", "-84.2", "--seed", "6"], (8, 266), (26, 583)),
]




def predicted_pixel(listed, pixel_size, focal, alpha, groove):
    sin_beta = listed / (groove * 10000.0 * math.cos(GAMMA_DEG / DEGREES_PER_RADIAN)) - math.sin(
        alpha / DEGREES_PER_RADIAN)
    theta = alpha - DEGREES_PER_RADIAN * math.asin(sin_beta)
    return REFERENCE_PIXEL + math.tan(theta / DEGREES_PER_RADIAN) * focal / (pixel_size / 1000.0)


def check_lines_agree(name, out, pixel_size, focal, alpha, groove):
    """Failures among the check lines of the model (alpha, focal) printed in out."""
    speed_of_light = 299792.458
    failures = []
    used = []
    for line in out.splitlines():
        if not line.startswith("check: "):
            continue
        cells = line[7:].split(" | ")
        listed, status, predicted = float(cells[0]), cells[1], float(cells[2])
        wanted = predicted_pixel(listed, pixel_size, focal, alpha, groove)
        if abs(predicted - wanted) > 1e-3:
            failures.append(f"{listed}: predicted pixel {predicted}, worked out {wanted}")
        if cells[3] == "-":
            if cells[4:] != ["-", "-", "-"] or status == "used":
                failures.append(f"{listed}: no centroid but residuals {cells[4:]} ({status})")
            continue
        measured = float(f32(cells[3]))  # a centroid is a 32-bit float, printed shortest
        residual_a = float(wavelengths(np.array([measured]), pixel_size, focal, alpha,
                                       groove)[0]) - listed
        expected = (residual_a, measured - wanted, speed_of_light * residual_a / listed)
        for label, shown, wanted, tolerance in zip(("A", "px", "km/s"), map(float, cells[4:]),
                                                   expected, (1e-6, 1e-4, 1e-3)):
            if abs(shown - wanted) > tolerance:
                failures.append(f"{listed}: residual {shown} {label}, worked out {wanted}")
        if status == "used":
            used.append((residual_a, expected[2]))
    rms_line = [line for line in out.splitlines() if line.startswith("check-rms: ")]
    def rms(values):
        return math.sqrt(sum(v * v for v in values) / len(values)) if values else float("nan")
    rms_a, rms_kms = rms([a for a, _ in used]), rms([k for _, k in used])
    if len(rms_line) != 1:
        failures.append(f"{len(rms_line)} check-rms lines")
    else:
        shown_a, shown_kms, count = rms_line[0][11:].split(" | ")
        if (abs(float(shown_a) - rms_a) > 1e-6 or abs(float(shown_kms) - rms_kms) > 1e-3
                or int(count) != len(used)):
            failures.append(f"check-rms {rms_line[0][11:]}, worked out {rms_a} A, "
                            f"{rms_kms} km/s of {len(used)}")
    for failure in failures:
        print(f"FAIL {name}: {failure}")
    if not failures:
        print(f"ok   {name}: every check line's columns agree with the model ({len(used)} used)")
    return len(failures)


def fit(pixels, listed, start, pixel_size, groove):
    def residuals(x):
        return wavelengths(pixels, pixel_size, x[1], x[0], groove) - listed
    return least_squares(residuals, start, method="lm", xtol=1e-15, ftol=1e-15,
                         gtol=1e-15).x


def run_case(samplegen, driver, folder, name, options, first, second):
    lamp = os.path.join(folder, "lamp.kr4")
    subprocess.run([samplegen, "--lamp", lamp] + options, check=True, capture_output=True)
    script = [f"open {lamp}", "click cmdload2", "select cbobox 2",
              f"select cboscale {first[0]}", f"set hsbspectra {first[1]}", "click cmdmarkline1",
              f"select cboscale {second[0]}", f"set hsbspectra {second[1]}",
              "click cmdmarkline2", "var alphaDeg", "var focalLengthMm", "var xPixelSize",
              "var grooveSpacingUm", "form apply=1", "menu Calibration/Refine with All Lines",
              "var alphaDeg", "var focalLengthMm", "var refinedLines"]
    out = subprocess.run([driver], input="\n".join(script) + "\n", check=True,
                         capture_output=True, text=True).stdout
    values = {}
    for key, value in re.findall(r"^(\w+): (\S+)$", out, re.M):
        values.setdefault(key, []).append(float(value))
    used = [line[7:].split(" | ") for line in out.splitlines()
            if line.startswith("check: ") and " | used | " in line]
    pixels = np.array([float(row[3]) for row in used])
    listed = np.array([float(row[0]) for row in used])
    pixel_size, groove = values["xPixelSize"][0], values["grooveSpacingUm"][0]
    start = [values["alphaDeg"][0], values["focalLengthMm"][0]]

    first_pass = fit(pixels, listed, start, pixel_size, groove)
    off = wavelengths(pixels, pixel_size, first_pass[1], first_pass[0], groove) - listed
    keep = np.abs(off) <= 3.0 * math.sqrt(np.mean(off ** 2))
    final = fit(pixels[keep], listed[keep], first_pass, pixel_size, groove)

    alpha, focal = values["alphaDeg"][1], values["focalLengthMm"][1]
    failures = 0
    for label, ours, theirs in (("alpha", alpha, final[0]), ("focal length", focal, final[1])):
        relative = abs(ours - theirs) / abs(theirs)
        ok = relative <= TOLERANCE
        failures += not ok
        print(f"{'ok  ' if ok else 'FAIL'} {name}: {label} {ours!r} against {theirs!r} "
              f"(relative {relative:.2e}, {len(used)} lines)")
    failures += check_lines_agree(name, out, pixel_size, focal, alpha, groove)
    kept = int(np.count_nonzero(keep))
    if kept != int(values["refinedLines"][0]) or len(used) < 3:
        print(f"FAIL {name}: {kept} lines kept here, {int(values['refinedLines'][0])} by the "
              f"program, {len(used)} used")
        failures += 1
    return failures


def main():
    samplegen, driver = sys.argv[1], sys.argv[2]
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        for name, options, first, second in CASES:
            failures += run_case(samplegen, driver, folder, name, options, first, second)
    print(f"{len(CASES)} lamps, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
