#!/usr/bin/env python3
"""The refine against an independent least-squares fit.

A lamp is made from a known model, a scripted session marks two lines, refines and applies the
refine. The lines the refined model's check used (their measured centres and listed wavelengths,
as the session printed them) are fitted again here with scipy.optimize.least_squares and the
grating equation written out in tests/support, fitting the terms the refine chose from the
two-line solution, with lines more than three standard deviations (from the MAD, at least a tenth
of a column) off left out until none is. The refine measures its lines as the check does but may
also take a line the check calls blended, so the two models must agree within 0.05 pixel at every
column rather than to the last digit, and the refine may use at most a few lines more. Every
column of the refined model's check lines is worked out again here from that model: the predicted
pixel (the model solved for the pixel), the residuals in Angstroms, pixels and km/s, and the
summary's RMS and count. Where the refine declines (its model predicts no better), the model
in force must stay as it was.

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
from grating_equation import wavelengths

f32 = np.float32
AGREEMENT_PX = 0.05
MOST_EXTRA_LINES = 3
LEAST_SIGMA_PX = 0.1
COLUMNS = np.arange(1, 769, dtype=np.float64)

# name, grating options, (line list entry, cursor) of the two marked lines
CASES = [
    ("600 lines/mm, 9 um", ["--grating", "600", "--pixel-size", "9", "--alpha", "10.7",
                            "--focal-length", "-84.2", "--seed", "4"], (8, 209), (23, 585)),
    ("150 lines/mm, 9 um", ["--grating", "150", "--pixel-size", "9", "--alpha", "2.5",
                            "--focal-length", "140", "--seed", "5"], (34, 37), (2, 715)),
    ("600 lines/mm, 13.5 um", ["--grating", "600", "--pixel-size", "13.5", "--alpha", "10.7",
                               "--focal-length", "-84.2", "--seed", "6"], (8, 266), (26, 583)),
]




TERMS = ("alpha", "focal", "deviation", "distortion3", "distortion2")


def model_wavelengths(pixels, model):
    return wavelengths(pixels, model["pixel"], model["focal"], model["alpha"], model["groove"],
                       model["deviation"], model["distortion2"], model["distortion3"])


def predicted_pixel(listed, model):
    """The column where the model puts the wavelength, by bisection: the model is monotonic."""
    low, high = -1000.0, 2000.0
    rising = model_wavelengths([high], model)[0] > model_wavelengths([low], model)[0]
    for _ in range(80):
        middle = 0.5 * (low + high)
        if (model_wavelengths([middle], model)[0] < listed) == rising:
            low = middle
        else:
            high = middle
    return 0.5 * (low + high)


def check_lines_agree(name, out, model):
    """Failures among the check lines of the model printed in out."""
    speed_of_light = 299792.458
    failures = []
    used = []
    for line in out.splitlines():
        if not line.startswith("check: "):
            continue
        cells = line[7:].split(" | ")
        listed, status, predicted = float(cells[0]), cells[1], float(cells[2])
        wanted = predicted_pixel(listed, model)
        if abs(predicted - wanted) > 1e-3:
            failures.append(f"{listed}: predicted pixel {predicted}, worked out {wanted}")
        if cells[3] == "-":
            if cells[4:] != ["-", "-", "-"] or status == "used":
                failures.append(f"{listed}: no centroid but residuals {cells[4:]} ({status})")
            continue
        # The centre is printed as a 32-bit float; the residuals come from its full value.
        measured = float(f32(cells[3]))
        residual_a = float(model_wavelengths([measured], model)[0]) - listed
        expected = (residual_a, measured - wanted, speed_of_light * residual_a / listed)
        for label, shown, wanted, tolerance in zip(("A", "px", "km/s"), map(float, cells[4:]),
                                                   expected, (2e-4, 1e-3, 1e-2)):
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
        if (abs(float(shown_a) - rms_a) > 1e-4 or abs(float(shown_kms) - rms_kms) > 1e-2
                or int(count) != len(used)):
            failures.append(f"check-rms {rms_line[0][11:]}, worked out {rms_a} A, "
                            f"{rms_kms} km/s of {len(used)}")
    for failure in failures:
        print(f"FAIL {name}: {failure}")
    if not failures:
        print(f"ok   {name}: every check line's columns agree with the model ({len(used)} used)")
    return len(failures)


def fit(pixels, listed, start, terms):
    def with_terms(x):
        return dict(start, **dict(zip(terms, x)))

    def residuals(x):
        return model_wavelengths(pixels, with_terms(x)) - listed
    found = least_squares(residuals, [start[t] for t in terms], method="lm", xtol=1e-15,
                          ftol=1e-15, gtol=1e-15).x
    return with_terms(found)


def fit_and_clip(pixels, listed, start, terms):
    """The fit of the terms with lines over three standard deviations off left out."""
    keep = np.ones(len(pixels), dtype=bool)
    while True:
        model = fit(pixels[keep], listed[keep], start, terms)
        step = np.abs(model_wavelengths(pixels + 0.5, model) - model_wavelengths(pixels - 0.5, model))
        off = (model_wavelengths(pixels, model) - listed) / step
        middle = np.median(off[keep])
        sigma = max(LEAST_SIGMA_PX, 1.4826 * np.median(np.abs(off[keep] - middle)))
        within = keep & (np.abs(off) <= 3.0 * sigma)
        if (within == keep).all():
            return model, int(np.count_nonzero(keep))
        keep = within


def run_case(samplegen, driver, folder, name, options, first, second):
    lamp = os.path.join(folder, "lamp.kr4")
    subprocess.run([samplegen, "--lamp", lamp] + options, check=True, capture_output=True)
    variables = ["alphaDeg", "focalLengthMm", "deviationDeg", "distortion2", "distortion3"]
    script = [f"open {lamp}", "click cmdload2", "select cbobox 2",
              f"select cboscale {first[0]}", f"set hsbspectra {first[1]}", "click cmdmarkline1",
              f"select cboscale {second[0]}", f"set hsbspectra {second[1]}",
              "click cmdmarkline2", "var xPixelSize", "var grooveSpacingUm"]
    script += [f"var {v}" for v in variables]
    script += ["form apply=1", "menu Calibration/Refine with All Lines"]
    script += [f"var {v}" for v in variables] + ["var refinedLines"]
    out = subprocess.run([driver], input="\n".join(script) + "\n", check=True,
                         capture_output=True, text=True).stdout
    values = {}
    for key, value in re.findall(r"^(\w+): (\S+)$", out, re.M):
        values.setdefault(key, []).append(float(value))
    used = [line[7:].split(" | ") for line in out.splitlines()
            if line.startswith("check: ") and " | used | " in line]
    pixels = np.array([float(row[3]) for row in used])
    listed = np.array([float(row[0]) for row in used])
    terms = [line[8:].split(" | ")[0].split(",") for line in out.splitlines()
             if line.startswith("refine: ")][0]
    names = ["alpha", "focal", "deviation", "distortion2", "distortion3"]

    def model_at(index):
        model = {n: values[v][index] for n, v in zip(names, variables)}
        return dict(model, pixel=values["xPixelSize"][0], groove=values["grooveSpacingUm"][0])

    ours = model_at(1)
    if "message: The refined model predicts the lamp lines no better" in out:
        unchanged = ours == model_at(0) and values["refinedLines"][0] == 0
        print(f"{'ok  ' if unchanged else 'FAIL'} {name}: the refine declined and the model in "
              f"force {'stayed' if unchanged else 'changed'}")
        return 0 if unchanged else 1
    theirs, theirs_kept = fit_and_clip(pixels, listed, model_at(0), terms)
    apart = np.max(np.abs(model_wavelengths(COLUMNS, ours) - model_wavelengths(COLUMNS, theirs)))
    apart_px = apart / abs(float(np.median(np.diff(model_wavelengths(COLUMNS, ours)))))
    failures = 0
    ok = apart_px <= AGREEMENT_PX
    failures += not ok
    print(f"{'ok  ' if ok else 'FAIL'} {name}: terms {','.join(terms)}, models {apart_px:.4f} px "
          f"apart at most ({theirs_kept} of {len(used)} check lines kept here)")
    failures += check_lines_agree(name, out, ours)
    refined = int(values["refinedLines"][0])
    if not theirs_kept <= refined <= theirs_kept + MOST_EXTRA_LINES or len(used) < 3:
        print(f"FAIL {name}: {theirs_kept} lines kept here, {refined} by the program, "
              f"{len(used)} used")
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
