"""The program's grating equation, written out for the independent checks in Python.

The offset from the reference pixel is taken as a 32-bit float, as the program takes it, and
angles pass through the program's own degrees per radian (57.29578 as a 32-bit float).
"""

import math

import numpy as np

DEGREES_PER_RADIAN = float(np.float32(57.29578))
GAMMA_DEG = 6.16
REFERENCE_PIXEL = 381.0


def wavelengths(pixels, pixel_size, focal, alpha, groove, deviation=0.0, k2=0.0, k3=0.0):
    """Wavelengths in Angstroms at pixel columns: pixel size in um, focal length in mm, alpha and
    the deviation in the program's degrees, groove spacing in um, the camera's distortion terms."""
    offsets = (np.asarray(pixels, dtype=np.float64) - REFERENCE_PIXEL).astype(np.float32).astype(
        np.float64)
    u = (pixel_size / 1000.0) * offsets / focal
    theta = DEGREES_PER_RADIAN * np.arctan(u + k2 * u ** 2 + k3 * u ** 3)
    beta = alpha - deviation - theta
    return groove * 10000.0 * math.cos(GAMMA_DEG / DEGREES_PER_RADIAN) * (
        np.sin(alpha / DEGREES_PER_RADIAN) + np.sin(beta / DEGREES_PER_RADIAN))


def vacuum_from_air(air):
    """The vacuum wavelength of an air one, in Angstroms, by the IAU standard index (Morton 2000),
    inverted by fixed-point passes."""
    vacuum = np.asarray(air, dtype=np.float64)
    for _ in range(6):
        s2 = (1e4 / vacuum) ** 2
        index = 1 + 8.34254e-5 + 2.406147e-2 / (130 - s2) + 1.5998e-4 / (38.9 - s2)
        vacuum = np.asarray(air) * index
    return vacuum
