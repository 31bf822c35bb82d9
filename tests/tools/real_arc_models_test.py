#!/usr/bin/env python3
"""The real arcs of tests/data/real-arcs/ against the grating equation, apart from the program:
each truth file must be its archived solution (arcs/NAME.fits) from the first pixel on, in air;
fitted at every column with the true density, the general model (alpha, focal length, deviation
delta, distortion k2 and k3 free) must stay within 0.05 pixel, the Littrow model (alpha and focal
length; delta = k2 = k3 = 0) must leave more than 0.1 pixel somewhere.

  real_arc_models_test.py DATA_FOLDER [--markdown]   (--markdown prints docs/ACCURACY.md's rows)
"""

import csv
import os
import sys

try:
    import numpy as np
    from astropy.io import fits
    from scipy.optimize import least_squares, minimize_scalar
except ImportError:
    print("SKIP: numpy, scipy or astropy is not installed (Debian python3-numpy, -scipy, -astropy)")
    sys.exit(0)

DEGREES = float(np.float32(57.29578))  # per radian, as the program holds it
GAMMA_DEG, REFERENCE_PIXEL, COLUMNS, ARCS = 6.16, 381.0, 768, 8
TIGHT = dict(method="lm", x_scale="jac", ftol=1e-15, xtol=1e-15, gtol=1e-15, max_nfev=4000)


def air_from_vacuum(vacuum):
    s2 = (1.0e4 / vacuum) ** 2
    return vacuum / (1.0 + 8.34254e-5 + 2.406147e-2 / (130.0 - s2) + 1.5998e-4 / (38.9 - s2))


def fit(truth, density, pixel_mm, delta, free):
    """Fits lambda = d 10^4 cos(gamma) [sin(alpha) + sin(alpha - delta - theta)], theta = atan(u +
    k2 u^2 + k3 u^3), u = pixel_mm (p - 381) / f over free of (alpha, f, delta, k2, k3)."""
    scale = 1.0e7 / density * np.cos(GAMMA_DEG / DEGREES)
    offset = pixel_mm * (np.arange(1, COLUMNS + 1) - REFERENCE_PIXEL)
    alpha = delta / 2 + DEGREES * np.arcsin(truth[380] / (2 * scale * np.cos(delta / 2 / DEGREES)))
    dispersion = 0.5 * (truth[381] - truth[379])
    focal = -scale * np.cos((alpha - delta) / DEGREES) * pixel_mm / dispersion
    start = np.array([alpha, focal, delta, 0.0, 0.0])

    def residuals(q):
        p = start.copy()
        p[free] = q
        alpha, focal, delta, k2, k3 = p
        u = offset / focal
        theta = DEGREES * np.arctan(u + k2 * u * u + k3 * u ** 3)
        return scale * (np.sin(alpha / DEGREES) + np.sin((alpha - delta - theta) / DEGREES)) - truth
    result = least_squares(residuals, start[free], **TIGHT)
    start[free] = result.x
    return start, result.fun


def general_fit(truth, density, pixel_mm):
    """delta from a scan of starting values, each with the rest fitted, then all five free."""
    cost = lambda delta: np.sum(fit(truth, density, pixel_mm, delta, [0, 1, 3, 4])[1] ** 2)
    grid = np.arange(-80.0, 81.0, 10.0)
    best = int(np.argmin([cost(delta) for delta in grid]))
    low, high = grid[np.clip([best - 1, best + 1], 0, len(grid) - 1)]
    delta = minimize_scalar(cost, bounds=(low, high), method="bounded", options={"xatol": 1e-6}).x
    return fit(truth, density, pixel_mm, delta, [0, 1, 2, 3, 4])


def worst(truth, residuals):
    """The worst error in pixels (over the local dispersion) and in Angstroms."""
    return np.max(np.abs(residuals) / np.abs(np.gradient(truth))), np.max(np.abs(residuals))


def main(arguments):
    folder, failures, table = arguments[0], [], []
    rows = list(csv.DictReader(open(os.path.join(folder, "manifest.csv"), encoding="utf-8")))
    for row in rows:
        name, first = row["file"][:-len(".kr4")], int(row["first_pixel"])
        truth = np.loadtxt(os.path.join(folder, name + "-truth.txt"), usecols=1)
        archived = fits.getdata(os.path.join(folder, "arcs", name + ".fits"), 1)["wave"]
        if np.max(np.abs(air_from_vacuum(archived[first - 1:first - 1 + COLUMNS]) - truth)) > 1e-6:
            failures.append(f"{name}: the truth is not the archive's pixels from {first} in air")
        density, pixel_mm = float(row["lines_per_mm"]), float(row["pixel_size_um"]) / 1000.0
        littrow = worst(truth, fit(truth, density, pixel_mm, 0.0, [0, 1])[1])
        parameters, residuals = general_fit(truth, density, pixel_mm)
        general = worst(truth, residuals)
        print(f"{name}: Littrow worst {littrow[0]:.3f} px ({littrow[1]:.4f} A), general "
              f"{general[0]:.4f} px ({general[1]:.5f} A), delta {parameters[2]:.2f} deg")
        if general[0] > 0.05 or littrow[0] <= 0.1:
            failures.append(f"{name}: general {general[0]:.4f} px, Littrow {littrow[0]:.3f} px")
        table.append(f"| {row['spectrograph']} (`{name}`) | {row['lines_per_mm']} | "
                     f"{row['pixel_size_um']} | {first}-{first + COLUMNS - 1} ({truth[0]:.0f}-"
                     f"{truth[-1]:.0f} A) | {littrow[0]:.3f} ({littrow[1]:.3f}) | "
                     f"{general[0]:.4f} ({general[1]:.5f}) |")
    if "--markdown" in arguments:
        print("\n".join(table))
    if len(rows) != ARCS:
        failures.append(f"{len(rows)} arcs checked, {ARCS} expected")
    for failure in failures:
        print("FAIL: " + failure)
    print(f"{len(rows)} arcs checked")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
