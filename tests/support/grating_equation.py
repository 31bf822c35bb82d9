"""The program's grating equation, written out for the independent checks in Python.

The offset from the reference pixel is taken as a 32-bit float, as the program takes it, and
angles pass through the program's own degrees per radian (57.29578 as a 32-bit float).
"""

import math

import numpy as np

DEGREES_PER_RADIAN = float(np.float32(57.29578))
GAMMA_DEG = 6.16
REFERENCE_PIXEL = 381.0


def wavelengths(pixels, pixel_size, focal, alpha, groove):
    """Wavelengths in Angstroms at pixel columns: pixel size in um, focal length in mm, alpha in
    the program's degrees, groove spacing in um."""
    offsets = (np.asarray(pixels, dtype=np.float64) - REFERENCE_PIXEL).astype(np.float32).astype(
        np.float64)
    theta = DEGREES_PER_RADIAN * np.arctan((pixel_size / 1000.0) * offsets / focal)
    beta = alpha - theta
    return groove * 10000.0 * math.cos(GAMMA_DEG / DEGREES_PER_RADIAN) * (
        np.sin(alpha / DEGREES_PER_RADIAN) + np.sin(beta / DEGREES_PER_RADIAN))
