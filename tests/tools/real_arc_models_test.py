#!/usr/bin/env python3
"""The real arcs of tests/data/real-arcs/ against the grating model, apart from the program.

For every arc of manifest.csv: its truth file must be the archived solution (arcs/NAME.fits)
converted to air here, pixel for pixel from the manifest's first pixel; each marked line must lie
at its column by the truth and on a peak of the camera file. Then the grating equation with the
true groove density is fitted by least squares to the truth at every column twice: the general
model (alpha, focal length, deviation delta, distortion k2 and k3 free) must stay within
0.05 pixel everywhere, and the Littrow model (alpha and focal length; delta = k2 = k3 = 0) must
leave more than 0.1 pixel somewhere, which shows the general model is needed.

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

DEGREES_PER_RADIAN = float(np.float32(57.29578))
GAMMA_DEG, REFERENCE_PIXEL, COLUMNS = 6.16, 381.0, 768
GENERAL_LIMIT_PX, LITTROW_FLOOR_PX, ARCS = 0.05, 0.1, 8
TIGHT = dict(method="lm", x_scale="jac", ftol=1e-15, xtol=1e-15, gtol=1e-15, max_nfev=4000)


def air_from_vacuum(vacuum):
    s2 = (1.0e4 / vacuum) ** 2
    return vacuum / (1.0 + 8.34254e-5 + 2.406147e-2 / (130.0 - s2) + 1.5998e-4 / (38.9 - s2))


class Grating:
    """lambda = d 10^4 cos(gamma) [sin(alpha) + sin(alpha - delta - theta)],
    theta = atan(u + k2 u^2 + k3 u^3), u = (pixel size / 1000) (p - 381) / f; p = (alpha, f,
    delta, k2, k3), angles in degrees."""

    def __init__(self, density, pixel_um):
        self.pixel_mm = pixel_um / 1000.0
        self.offset = self.pixel_mm * (np.arange(1, COLUMNS + 1) - REFERENCE_PIXEL)
        self.scale = 1.0e4 * 1000.0 / density * np.cos(GAMMA_DEG / DEGREES_PER_RADIAN)

    def wavelengths(self, p):
        alpha, focal, delta, k2, k3 = p
        u = self.offset / focal
        theta = DEGREES_PER_RADIAN * np.arctan(u + k2 * u * u + k3 * u ** 3)
        return self.scale * (np.sin(alpha / DEGREES_PER_RADIAN) +
                             np.sin((alpha - delta - theta) / DEGREES_PER_RADIAN))

    def fit(self, truth, delta, free):
        """Least squares over the parameters named in free, from alpha and f that give the
        truth's wavelength and dispersion at pixel 381 with the deviation delta."""
        centre, dispersion = truth[380], 0.5 * (truth[381] - truth[379])
        alpha = delta / 2 + DEGREES_PER_RADIAN * np.arcsin(
            centre / (2 * self.scale * np.cos(delta / 2 / DEGREES_PER_RADIAN)))
        beta = (alpha - delta) / DEGREES_PER_RADIAN
        focal = -self.scale * np.cos(beta) * self.pixel_mm / dispersion
        start = np.array([alpha, focal, delta, 0.0, 0.0])

        def residuals(q):
            p = start.copy()
            p[free] = q
            return self.wavelengths(p) - truth
        result = least_squares(residuals, start[free], **TIGHT)
        start[free] = result.x
        return start, result.fun

    def general(self, truth):
        """delta from a scan of starting values, each with the rest fitted, then all five."""
        cost = lambda delta: np.sum(self.fit(truth, delta, [0, 1, 3, 4])[1] ** 2)
        grid = np.arange(-80.0, 81.0, 10.0)
        best = int(np.argmin([cost(delta) for delta in grid]))
        bounds = (grid[max(best - 1, 0)], grid[min(best + 1, len(grid) - 1)])
        delta = minimize_scalar(cost, bounds=bounds, method="bounded", options={"xatol": 1e-6}).x
        return self.fit(truth, delta, [0, 1, 2, 3, 4])


def worst(truth, residuals):
    """The worst error in pixels (over the local dispersion) and in Angstroms."""
    return np.max(np.abs(residuals) / np.abs(np.gradient(truth))), np.max(np.abs(residuals))


def check_files(folder, row, truth, failures):
    name, first = row["file"][:-len(".kr4")], int(row["first_pixel"])
    table = fits.getdata(os.path.join(folder, "arcs", name + ".fits"), 1)
    archived = air_from_vacuum(np.asarray(table["wave"], float)[first - 1:first - 1 + COLUMNS])
    if len(truth) != COLUMNS or np.max(np.abs(archived - truth)) > 1e-6:
        failures.append(f"{name}: the truth is not the archive's pixels from {first} in air")
    strip = np.fromfile(os.path.join(folder, row["file"]), dtype="<u2", count=COLUMNS,
                        offset=2048).astype(float)
    for line in ("line1", "line2"):
        column = int(row[line + "_column"])
        at = np.interp(float(row[line + "_air_A"]), truth, np.arange(1, COLUMNS + 1))
        peak = column - 2 + int(np.argmax(strip[column - 3:column + 2]))
        if abs(at - column) > 0.5 or abs(peak - column) > 1:
            failures.append(f"{name}: {line} at column {at:.2f}, peak at {peak}, listed {column}")


def main(arguments):
    folder = arguments[0]
    rows = list(csv.DictReader(open(os.path.join(folder, "manifest.csv"), encoding="utf-8")))
    failures, table = [], []
    for row in rows:
        name = row["file"][:-len(".kr4")]
        truth = np.loadtxt(os.path.join(folder, name + "-truth.txt"), usecols=1)
        check_files(folder, row, truth, failures)
        grating = Grating(float(row["lines_per_mm"]), float(row["pixel_size_um"]))
        littrow = worst(truth, grating.fit(truth, 0.0, [0, 1])[1])
        general_parameters, general_residuals = grating.general(truth)
        general = worst(truth, general_residuals)
        print(f"{name}: Littrow worst {littrow[0]:.3f} px ({littrow[1]:.4f} A), general "
              f"{general[0]:.4f} px ({general[1]:.5f} A), delta {general_parameters[2]:.2f} deg")
        if general[0] > GENERAL_LIMIT_PX or littrow[0] <= LITTROW_FLOOR_PX:
            failures.append(f"{name}: general {general[0]:.4f} px, Littrow {littrow[0]:.3f} px")
        last = int(row["first_pixel"]) + COLUMNS - 1
        table.append(f"| {row['spectrograph']} (`{name}`) | {row['lines_per_mm']} | "
                     f"{row['pixel_size_um']} | {row['first_pixel']}-{last} "
                     f"({truth[0]:.0f}-{truth[-1]:.0f} A) | {littrow[0]:.3f} ({littrow[1]:.3f}) | "
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
