"""Checks the detector mapping of a pixels file written from a strip reduced from a FITS image.

Usage: check_detector_mapping.py FILE FIRST BIN FLIP PIXEL=WAVELENGTH...
The header's ORIGCOL1, ORIGBIN and ORIGFLIP are FIRST, BIN and FLIP (0 or 1), and at each
original PIXEL, where a line was marked, the table's WAVE read against its ORIGCOL gives the
line's WAVELENGTH within 0.2 of an original pixel. Prints "SKIP: ..." without astropy or numpy.
"""

import sys

TOLERANCE_PX = 0.2


def main(path, first, binning, flip, *marks):
    try:
        import numpy as np
        from astropy.io import fits
    except ImportError as missing:
        print(f"SKIP: {missing}")
        return 0
    failures = []
    with fits.open(path) as hdus:
        header, table = hdus[0].header, hdus[1].data
        wanted = {"ORIGCOL1": int(first), "ORIGBIN": int(binning), "ORIGFLIP": flip == "1"}
        for key, value in wanted.items():
            if header.get(key) != value:
                failures.append(f"{key} is {header.get(key)!r}, not {value!r}")
        order = np.argsort(table["ORIGCOL"])
        original = np.asarray(table["ORIGCOL"], dtype=float)[order]
        wave = np.asarray(table["WAVE"], dtype=float)[order]
    for mark in marks:
        pixel, wavelength = (float(part) for part in mark.split("="))
        slope = abs(np.interp(pixel + 0.5, original, wave) - np.interp(pixel - 0.5, original, wave))
        error_px = abs(np.interp(pixel, original, wave) - wavelength) / slope
        print(f"original pixel {pixel}: {error_px:.3f} px from {wavelength}")
        if not error_px <= TOLERANCE_PX:
            failures.append(f"at original pixel {pixel} the wavelength is {error_px:.3f} px off")
    for failure in failures:
        print(failure)
    return 1 if failures or not marks else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
