#!/usr/bin/env python3
"""How far each archived solution lies from its own arc's lines, measured apart from the program.

At every strong peak of the archive's flux in the arc's 768-column window (prominence a twentieth
of the highest), scipy fits a Gaussian on a flat background over 9 columns; the archived solution
(the truth file, in air) gives the wavelength at the Gaussian's centre, and the nearest line of
the lamp lists (calibration/lamp-lines, converted to air) within 1.5 columns is taken as the line.
Prints, per arc, the median and the range of (solution at the centre - listed wavelength) over the
local step, in columns: what any model measured on this flux is off the archive before it is
fitted (docs/ACCURACY.md).

  archive_offsets.py REAL_ARCS_FOLDER
"""

import csv
import os
import sys

import numpy as np
from astropy.io import fits
from scipy.optimize import curve_fit
from scipy.signal import find_peaks

from make_test_data import lamp_lines

NEAREST_PX, HALF_WINDOW = 1.5, 4


def gaussian(x, height, centre, sigma, floor):
    return height * np.exp(-0.5 * ((x - centre) / sigma) ** 2) + floor


def offsets(folder, row, air):
    stem, first = row["file"][:-len(".kr4")], int(row["first_pixel"])
    table = np.genfromtxt(os.path.join(folder, f"{stem}-truth.txt"))
    arc = fits.getdata(os.path.join(folder, "arcs", stem + ".fits"), 1)
    flux = np.asarray(arc["flux"], float)[first - 1:first + 767]
    peaks, _ = find_peaks(flux, prominence=0.05 * flux.max(), distance=8)
    found = []
    for peak in peaks[(peaks >= HALF_WINDOW + 2) & (peaks < len(flux) - HALF_WINDOW - 2)]:
        x = np.arange(peak - HALF_WINDOW, peak + HALF_WINDOW + 1)
        try:
            fit, _ = curve_fit(gaussian, x, flux[x], p0=[np.ptp(flux[x]), peak, 1.5, flux[x].min()])
        except RuntimeError:
            continue
        centre = fit[1] + 1.0  # columns counted from 1, as in the truth file
        wave = np.interp(centre, table[:, 0], table[:, 1])
        step = np.interp(centre, table[:, 0], np.gradient(table[:, 1]))
        off = (wave - air[np.argmin(np.abs(air - wave))]) / step
        if abs(off) < NEAREST_PX:
            found.append(off)
    return stem, np.array(found)


def main(folder):
    air = np.array([wavelength for wavelength, _ in lamp_lines()])
    with open(os.path.join(folder, "manifest.csv"), newline="") as stream:
        for row in csv.DictReader(stream):
            stem, found = offsets(folder, row, air)
            print(f"{stem}: {len(found)} lines, median {np.median(found):+.3f} px, "
                  f"{found.min():+.2f} to {found.max():+.2f}" if len(found) else
                  f"{stem}: no strong peak near a listed line")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
