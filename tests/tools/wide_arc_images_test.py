#!/usr/bin/env python3
"""halvic-realarc --wide on every archived arc: a FITS image of the whole arc that fitsverify
accepts, 16-bit unsigned (BZERO 32768) with XPIXSZ, every row the flux scaled from 100 to 30000
counts (rounded half to even), and a truth line a column with the archive's wavelength in air.

  wide_arc_images_test.py HALVIC-REALARC ARCS_FOLDER
"""

import os
import shutil
import subprocess
import sys
import tempfile

try:
    import numpy as np
    from astropy.io import fits
except ImportError:
    print("SKIP: numpy or astropy is not installed (Debian python3-numpy, python3-astropy)")
    sys.exit(0)

ROWS, PIXEL_UM, ARCS = 16, 13.5, 8


def air_from_vacuum(vacuum):
    s2 = (1.0e4 / vacuum) ** 2
    return vacuum / (1.0 + 8.34254e-5 + 2.406147e-2 / (130.0 - s2) + 1.5998e-4 / (38.9 - s2))


def failures_of(tool, arc, folder):
    stem = os.path.join(folder, os.path.basename(arc)[:-len(".fits")])
    subprocess.run([tool, arc, "--wide", str(ROWS), "--pixel-size", str(PIXEL_UM), stem],
                   check=True)
    table = fits.getdata(arc, 1)
    flux, wave = np.asarray(table["flux"], float), np.asarray(table["wave"], float)
    expected = np.rint(100 + (flux - flux.min()) * (29900 / (flux.max() - flux.min())))
    with fits.open(stem + ".fits") as image:
        header, data = image[0].header, image[0].data
    truth = np.loadtxt(stem + "-truth.txt", usecols=(0, 1))
    found = []
    if (header["BITPIX"], header["BZERO"], header["XPIXSZ"]) != (16, 32768, PIXEL_UM):
        found.append(f"header BITPIX {header['BITPIX']} BZERO {header['BZERO']} "
                     f"XPIXSZ {header['XPIXSZ']}")
    if data.shape != (ROWS, len(flux)) or not np.array_equal(data, np.tile(expected, (ROWS, 1))):
        found.append(f"pixels {data.shape} are not the scaled flux on every row")
    if not (np.array_equal(truth[:, 0], np.arange(1, len(wave) + 1))
            and np.max(np.abs(truth[:, 1] - air_from_vacuum(wave))) < 1e-6):
        found.append("truth is not the archive's wavelengths in air, a column each")
    verify = subprocess.run(["fitsverify", "-q", stem + ".fits"], capture_output=True, text=True)
    if "verification OK" not in verify.stdout:
        found.append("fitsverify: " + verify.stdout.strip())
    return [f"{os.path.basename(arc)}: {text}" for text in found]


def main(tool, arcs_folder):
    if not shutil.which("fitsverify"):
        print("SKIP: fitsverify is not installed (Debian fitsverify)")
        return 0
    arcs = sorted(os.path.join(arcs_folder, name) for name in os.listdir(arcs_folder)
                  if name.endswith(".fits"))
    with tempfile.TemporaryDirectory() as folder:
        failures = [text for arc in arcs for text in failures_of(tool, arc, folder)]
    if len(arcs) != ARCS:
        failures.append(f"{len(arcs)} arcs found, {ARCS} expected")
    for failure in failures:
        print("FAIL: " + failure)
    print(f"{len(arcs)} wide images checked")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
