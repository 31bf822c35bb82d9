#!/usr/bin/env python3
"""halvic-realarc --wide on every archived arc: a FITS image fitsverify accepts, 16-bit unsigned
(BZERO 32768), XPIXSZ, every row the flux scaled to 100..30000 counts, the truth in air.

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


def failures_of(tool, arc, stem):
    subprocess.run([tool, arc, "--wide", str(ROWS), "--pixel-size", str(PIXEL_UM), stem],
                   check=True)
    flux, wave = (np.asarray(fits.getdata(arc, 1)[key], float) for key in ("flux", "wave"))
    counts = np.rint(100 + (flux - flux.min()) * (29900 / (flux.max() - flux.min())))
    s2 = (1.0e4 / wave) ** 2
    air = wave / (1.0 + 8.34254e-5 + 2.406147e-2 / (130.0 - s2) + 1.5998e-4 / (38.9 - s2))
    with fits.open(stem + ".fits") as image:
        keys = [image[0].header.get(key) for key in ("BITPIX", "BZERO", "XPIXSZ")]
        same = np.array_equal(image[0].data, np.tile(counts, (ROWS, 1)))
    truth = np.loadtxt(stem + "-truth.txt")
    verify = subprocess.run(["fitsverify", "-q", stem + ".fits"], capture_output=True, text=True)
    found = [] if keys == [16, 32768, PIXEL_UM] else [f"BITPIX, BZERO, XPIXSZ are {keys}"]
    found += [] if same else ["the rows are not the scaled flux"]
    found += [] if np.array_equal(truth[:, 0], np.arange(1, len(wave) + 1)) and np.max(
        np.abs(truth[:, 1] - air)) < 1e-6 else ["the truth is not the archive's, in air"]
    found += [] if "verification OK" in verify.stdout else [verify.stdout.strip()]
    return [f"{os.path.basename(arc)}: {text}" for text in found]


def main(tool, folder):
    if not shutil.which("fitsverify"):
        print("SKIP: fitsverify is not installed (Debian fitsverify)")
        return 0
    arcs = sorted(name for name in os.listdir(folder) if name.endswith(".fits"))
    with tempfile.TemporaryDirectory() as written:
        failures = [text for name in arcs for text in failures_of(
            tool, os.path.join(folder, name), os.path.join(written, name[:-len(".fits")]))]
    failures += [] if len(arcs) == ARCS else [f"{len(arcs)} arcs found, {ARCS} expected"]
    for failure in failures:
        print("FAIL: " + failure)
    print(f"{len(arcs)} wide images checked")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
