#!/usr/bin/env python3
"""The refine's fit and its standard errors against an independent least-squares fit.

Lines are made from a known grating model with noise of a fixed seed, refined by the program
(refine_probe) and fitted here with scipy.optimize.least_squares on the grating equation written
out below. Alpha and the focal length must agree within 1e-7 relative, and so must the standard
errors as absolute values (s^2 (J^T J)^-1 with s^2 the residual sum of squares over n - 2), within
1e-4 relative: a count of the degrees of freedom that is off by one moves them by 1 % or more.

  refine_standard_errors.py REFINE_PROBE
"""

import math
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
try:
    import numpy as np
    from scipy.optimize import least_squares
except ImportError:
    print("SKIP: numpy and scipy are needed (Debian python3-numpy, python3-scipy)")
    sys.exit(0)
from grating_equation import DEGREES_PER_RADIAN, GAMMA_DEG, REFERENCE_PIXEL, wavelengths


# name, pixel size (um), true focal length (mm), true alpha (deg), lines/mm, line count, noise (A)
CASES = [
    ("600 lines/mm, 9 um, 5 lines", 9.0, -84.2, 10.7, 600.0, 5, 0.02),
    ("150 lines/mm, 13.5 um, 12 lines", 13.5, 140.0, 2.5, 150.0, 12, 0.2),
    ("1200 lines/mm, 24 um, 40 lines", 24.0, 300.0, 22.0, 1200.0, 40, 0.005),
]




def independent_fit(pixels, listed, start, pixel_size, groove):
    def residuals(x):
        return wavelengths(pixels, pixel_size, x[1], x[0], groove) - listed
    fit = least_squares(residuals, start, method="lm", xtol=1e-15, ftol=1e-15, gtol=1e-15)
    jacobian = fit.jac
    variance = np.sum(fit.fun ** 2) / (len(listed) - 2)
    errors = np.sqrt(np.diag(variance * np.linalg.inv(jacobian.T @ jacobian)))
    return fit.x, errors


def run_case(probe, name, pixel_size, focal, alpha, density, count, noise, rng):
    groove = 1000.0 / density
    pixels = np.sort(rng.uniform(20.0, 748.0, count))
    listed = wavelengths(pixels, pixel_size, focal, alpha, groove) + rng.normal(0.0, noise, count)
    start = (alpha + 0.02, focal * 1.01)
    text = f"{pixel_size} {start[1]!r} {start[0]!r} {groove!r}\n" + "".join(
        f"{p!r} {w!r}\n" for p, w in zip(pixels, listed))
    out = subprocess.run([probe], input=text, capture_output=True, text=True, check=True).stdout
    status, *numbers = out.split()
    program = [float(value) for value in numbers]
    if status != "refined" or int(program[6]) != count:
        print(f"FAIL {name}: the program {status} with {int(program[6])} of {count} lines kept")
        return 1
    (fit_alpha, fit_focal), (error_alpha, error_focal) = independent_fit(
        pixels, listed, start, pixel_size, groove)
    failures = 0
    for label, shown, wanted, tolerance in (
            ("alpha", program[0], fit_alpha, 1e-7), ("focal length", program[1], fit_focal, 1e-7),
            ("alpha's standard error", program[2], error_alpha, 1e-4),
            ("the focal length's standard error", program[3], error_focal, 1e-4)):
        if abs(shown - wanted) > tolerance * abs(wanted):
            print(f"FAIL {name}: {label} {shown!r}, independent fit {wanted!r}")
            failures += 1
    if not failures:
        print(f"ok   {name}: alpha {program[0]:.7f} +/- {program[2]:.3g} deg, "
              f"focal {program[1]:.4f} +/- {program[3]:.3g} mm")
    return failures


def main():
    rng = np.random.default_rng(20261209)
    failures = sum(run_case(sys.argv[1], *case, rng) for case in CASES)
    print(f"{len(CASES)} cases, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
