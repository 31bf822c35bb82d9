#!/usr/bin/env python3
"""Checks of what the FITS and CSV exports and the calibration files write, made with software
nobody on this project wrote (fitsverify, astropy, specutils, numpy) against the rules worked out
apart from the program (../export/reference.py: the two-line solve and the grating model).

  check_fits.py ready                 exit 0 when every tool is there, else say what is missing
  check_fits.py plain-image PATH      writes a plain FITS image with astropy
  check_fits.py export SOURCE_DIR     the files of export.script, in the working folder
  check_fits.py roundtrip SOURCE_DIR  the transcripts of make.script and use.script
  check_fits.py general SOURCE_DIR    the files of general.script: a deviation, in vacuum

Each check prints what it compared; the exit status is 1 when any failed.
"""

import datetime
import importlib
import os
import re
import shutil
import subprocess
import sys
import warnings
from decimal import ROUND_HALF_EVEN, Decimal

LAMP = "lamp/worked-example-lines.kr4"
OBJECT = "object/object-spectrum.kr4"
# The worked example's marked lines: (pixel, wavelength).
LINE1 = (200.0, 6562.852)
LINE2 = (600.0, 4861.33)
# Far inside 1e-6 A: taking the model's degrees for true ones puts these columns 1e-8 A off.
WCS_TOLERANCE_A = 1e-9
TEXT_TOLERANCE_A = 0.005 + 1e-9  # the text export's wavelengths have two decimals

failures = []


def expect(condition, what):
    print(("ok: " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def ready():
    missing = []
    for module in ("numpy", "astropy", "specutils"):
        try:
            importlib.import_module(module)
        except ImportError:
            missing.append(f"python3-{module}")
    if shutil.which("fitsverify") is None:
        missing.append("fitsverify")
    if missing:
        print("missing " + ", ".join(missing))
        return 1
    return 0


def reference_module(source_dir):
    sys.path.insert(0, os.path.join(source_dir, "tests", "script", "export"))
    import reference
    return reference


class Model:
    """The worked example's two-line solve, by the reference, and its wavelengths."""

    def __init__(self, reference):
        _, _, _, self.pixel_size = reference.read_plain_image(LAMP)
        self.reference = reference
        self.focal, self.alpha, self.groove = reference.two_line_solve(
            LINE1[0], LINE1[1], LINE2[0], LINE2[1], self.pixel_size)

    def wavelength(self, column):
        return self.reference.wavelength(float(column), self.pixel_size, self.focal, self.alpha,
                                         self.groove)

    def wavelengths(self, count):
        import numpy as np
        return np.array([self.wavelength(c) for c in range(1, count + 1)])


def text_export(path):
    """Columns, wavelengths and values of a calibrated text export."""
    import numpy as np
    rows = [line.split("\t") for line in open(path, "rb").read().decode("ascii").split("\r\n")
            if "\t" in line]
    return (np.array([int(r[0]) for r in rows]), np.array([float(r[1]) for r in rows]),
            np.array([float(r[2]) for r in rows]))


def fitsverify_clean(path):
    result = subprocess.run(["fitsverify", path], capture_output=True, text=True)
    found = re.search(r"Verification found (\d+) warning\(s\) and (\d+) error\(s\)", result.stdout)
    expect(found is not None and found.groups() == ("0", "0"),
           f"fitsverify {path}: " + (found.group(0) if found else result.stdout[-200:]))


def camera_date_obs(image, offset_hours):
    """DATE-OBS from the image header's month/day/year and hours:minutes:seconds."""
    header = open(image, "rb").read(2048).decode("latin-1")
    date = re.search(r"Date = (\d+)/(\d+)/(\d+)", header).groups()
    time = re.search(r"Time = (\d+):(\d+):(\d+)", header).groups()
    camera = datetime.datetime(int(date[2]), int(date[0]), int(date[1]),
                               int(time[0]), int(time[1]), int(time[2]))
    return (camera + datetime.timedelta(hours=offset_hours)).strftime("%Y-%m-%dT%H:%M:%S")


def check_per_column_file(path, model, columns, waves, values):
    """NAME-pixels.fits: astropy's WCS and specutils' tabular reader."""
    import numpy as np
    from astropy.io import fits
    from astropy.wcs import WCS
    from specutils import Spectrum1D
    fitsverify_clean(path)
    with fits.open(path) as hdus:
        wcs = WCS(hdus[0].header)
        data = hdus[0].data
        table = hdus[1].columns
        expect((table["WAVE"].format, table["WAVE"].unit, table["FLUX"].format,
                table["FLUX"].unit) == ("1D", "Angstrom", "1E", "adu"),
               f"{path}: WAVE 64-bit in Angstrom, FLUX 32-bit in adu")
    reference = model.wavelengths(len(columns))
    by_wcs = wcs.all_pix2world(columns - 1.0, 0)[0] * 1e10
    worst = np.max(np.abs(by_wcs - reference))
    expect(len(by_wcs) == len(columns) and worst <= WCS_TOLERANCE_A,
           f"{path}: astropy's AWAV-GRA wavelength of all {len(by_wcs)} columns within "
           f"{worst:.2e} A of the model")
    expect(data.dtype.itemsize == 4 and np.array_equal(data, values),
           f"{path}: the primary array is the profile as 32-bit floats")
    spectrum = Spectrum1D.read(path, format="tabular-fits")
    axis = spectrum.spectral_axis.to_value("Angstrom")
    expect(len(axis) == len(waves) and np.max(np.abs(axis - waves)) <= TEXT_TOLERANCE_A
           and np.max(np.abs(axis - reference)) <= 1e-9,
           f"{path}: specutils' spectral axis is the text export's within 0.005 A, the model's "
           f"within 1e-9 A ({len(axis)} columns)")
    expect(np.array_equal(spectrum.flux.value, values) and str(spectrum.flux.unit) == "adu",
           f"{path}: specutils' flux is the text export's values in adu")


def check_resampled_file(path, model, waves, values):
    """NAME.fits: specutils' WCS reader and numpy's interpolation on the same grid."""
    import numpy as np
    from astropy.io import fits
    from specutils import Spectrum1D
    fitsverify_clean(path)
    stored = fits.getdata(path)
    spectrum = Spectrum1D.read(path, format="wcs1d-fits")
    grid = spectrum.spectral_axis.to_value("Angstrom")
    steps = np.diff(grid)
    expect(len(grid) == len(waves) and abs(grid[0] - waves.min()) <= TEXT_TOLERANCE_A
           and abs(grid[-1] - waves.max()) <= TEXT_TOLERANCE_A
           and np.allclose(steps, steps[0], rtol=1e-9, atol=0),
           f"{path}: {len(grid)} evenly spaced points from the text export's smallest wavelength "
           f"to its largest")
    reference = model.wavelengths(len(waves))
    order = np.argsort(reference)
    expected = np.interp(grid, reference[order], values[order])
    flux = spectrum.flux.value
    worst = np.max(np.abs(flux - expected) / np.maximum(np.abs(expected), 1.0))
    expect(stored.dtype.itemsize == 4 and stored.dtype.kind == "f" and worst <= 2.0 ** -23,
           f"{path}: the flux is numpy's interp of the text export's values within float32 "
           f"rounding (worst {worst:.2e})")


def check_header(path, expected):
    from astropy.io import fits
    header = fits.getheader(path)
    found = {key: header.get(key) for key in expected}
    expect(found == expected, f"{path}: header keys {found}")
    return header


def check_csv(path, model, values):
    text = open(path, "rb").read().decode("ascii")
    lines = text.split("\n")
    expect("\r" not in text and lines[0] == "wavelength_angstrom,value" and lines[-1] == ""
           and len(lines) == len(values) + 2, f"{path}: header and {len(values)} LF lines")
    good = 0
    for column, (line, value) in enumerate(zip(lines[1:-1], values), start=1):
        wavelength, number = line.split(",")
        good += (repr(float(wavelength)) == wavelength
                 and abs(float(wavelength) - model.wavelength(column)) <= 1e-9
                 and number == str(int(value)))
    expect(good == len(values), f"{path}: {good} of {len(values)} lines hold the model's "
                                f"wavelength in its shortest text and the whole value")


def check_export(source_dir):
    from astropy.wcs import WCS
    from astropy.io import fits
    import numpy as np
    model = Model(reference_module(source_dir))
    history = ["Lamp line 1: 6562.852 A at pixel 200", "Lamp line 2: 4861.33 A at pixel 600"]
    details = {"OBSERVER": "A. N. Other", "BSS_INST": "150 l/mm grating",
               "BSS_SITE": "Back garden", "GEO_LONG": -1.25, "GEO_LAT": 51.5, "GEO_ELEV": 80,
               "EXPTIME": 30, "BSS_VHEL": 0}
    for name, image, text, objname, offset in (
            ("lamp", LAMP, "lamp/worked-example-lines.txt", "Neon lamp", -1.5),
            ("object", OBJECT, "object/object-spectrum.txt", "HD 37128", 0.0)):
        columns, waves, values = text_export(text)
        expect(np.max(np.abs(waves - model.wavelengths(len(columns)))) <= TEXT_TOLERANCE_A,
               f"{text}: the program's text export agrees with the reference model")
        check_per_column_file(f"{name}-pixels.fits", model, columns, waves, values)
        check_resampled_file(f"{name}.fits", model, waves, values)
        for path in (f"{name}.fits", f"{name}-pixels.fits"):
            header = check_header(path, dict(details, OBJNAME=objname,
                                             **{"DATE-OBS": camera_date_obs(image, offset)}))
            lines = [str(line) for line in header["HISTORY"]]
            expect(lines[:2] == history, f"{path}: HISTORY names the lines and their pixels")
            expect("Grating: 150 lines/mm (automatic)" in lines,
                   f"{path}: HISTORY names the grating the solve used")
    check_header("lamp.fits", {"CTYPE1": "Wavelength", "CUNIT1": "Angstrom", "CRPIX1": 1.0})
    check_csv("lamp.csv", model, text_export("lamp/worked-example-lines.txt")[2])

    fitsverify_clean("lamp-cal.fits")
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # an axis without an array is what the file is
        wcs = WCS(fits.getheader("lamp-cal.fits"))
    columns = np.arange(1, 769)
    worst = np.max(np.abs(wcs.all_pix2world(columns - 1.0, 0)[0] * 1e10
                          - model.wavelengths(768)))
    expect(worst <= WCS_TOLERANCE_A,
           f"lamp-cal.fits: astropy's wavelength of 768 columns within {worst:.2e} A of the model")


def check_general(source_dir):
    """A model with a deviation: astropy's AWAV-GRA coordinates of the calibration file and of
    NAME-pixels.fits give its air wavelengths exactly; in vacuum, the table holds them converted
    and NAME.fits's linear grid spans them."""
    import numpy as np
    from astropy.io import fits
    from astropy.wcs import WCS
    sys.path.insert(0, os.path.join(source_dir, "tests", "support"))
    from grating_equation import vacuum_from_air, wavelengths
    header = fits.getheader("general-cal.fits")
    columns = np.arange(1, 769)
    air = wavelengths(columns, float(np.float32(header["XPIXSIZE"])), header["FOCALMM"],
                      header["ALPHADEG"], header["GROOVEUM"], header["DEVIATE"])
    expect(header["DEVIATE"] == 30.0, "general-cal.fits: DEVIATE = 30")
    for path in ("general-cal.fits", "general-pixels.fits"):
        fitsverify_clean(path)
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            wcs = WCS(fits.getheader(path))
        worst = np.max(np.abs(wcs.all_pix2world(columns - 1.0, 0)[0] * 1e10 - air))
        expect(worst <= WCS_TOLERANCE_A,
               f"{path}: astropy's wavelength of 768 columns within {worst:.2e} A of the model")
    vacuum = vacuum_from_air(air)
    table = fits.getdata("general-pixels.fits", 1)
    worst = np.max(np.abs(table["WAVE"] - vacuum))
    expect(worst <= 1e-6, f"general-pixels.fits: WAVE is the model in vacuum within {worst:.2e} A")
    fitsverify_clean("general.fits")
    resampled = fits.getheader("general.fits")
    grid = WCS(resampled).all_pix2world([0, len(columns) - 1], 0)[0] * 1e10  # metres for WAVE
    expect(resampled["CTYPE1"] == "WAVE" and resampled["AIRORVAC"] == "vac"
           and abs(grid[0] - vacuum.min()) <= 1e-6 and abs(grid[1] - vacuum.max()) <= 1e-6,
           f"general.fits: a WAVE grid from {grid[0]:.6f} to {grid[1]:.6f} A, the model's vacuum "
           f"wavelengths' ends")


def summary_line(model):
    """The calibration summary as "Mark Line 2" shows it, from the reference solve."""
    import numpy as np

    def fixed(value, decimals, integer_digits):
        rounded = Decimal(value).quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_EVEN)
        whole, _, fraction = f"{rounded:f}".partition(".")
        return whole.zfill(integer_digits) + "." + fraction

    dispersion = float(np.float32(1000 * (LINE1[1] - LINE2[1])
                                  / (model.pixel_size * (LINE2[0] - LINE1[0]))))
    on_axis = float(np.float32(model.wavelength(381)))
    return ("Lblwavelength: Focal length (mm)= " + fixed(model.focal, 2, 2)
            + "\\r\\nAlpha Angle (deg)= " + fixed(model.alpha, 3, 2)
            + "\\r\\nPixel 381 Wavelength (A) = " + fixed(on_axis, 2, 1)
            + "\\r\\nDispersion (A/mm) = " + fixed(dispersion, 4, 1))


def check_roundtrip(source_dir):
    reference = reference_module(source_dir)
    model = Model(reference)
    made = open("make.out").read().splitlines()
    used = open("use.out").read().splitlines()
    expect(len(made) == 2 and made == used,
           f"the session that loaded the calibration printed what the session that made it "
           f"did: {used}")
    expect(used[:1] == [summary_line(model)], f"the summary is the reference's: {summary_line(model)}")
    readout = re.search(r"Wavelength of pixel 300\.00\\r\\n is ([0-9.]+) Angstroms", used[1])
    expected = reference.two_decimals(model.wavelength(300))
    expect(readout is not None and readout.group(1) == expected,
           f"the read-out of column 300 is the model's {expected} A")
    for name in ("make.err", "use.err"):
        expect(open(name).read() == "", f"{name} is empty")


def plain_image(path):
    import numpy as np
    from astropy.io import fits
    fits.PrimaryHDU(np.arange(12, dtype=np.float32).reshape(3, 4)).writeto(path)


def main():
    command, arguments = sys.argv[1], sys.argv[2:]
    if command != "ready":
        from astropy.wcs import FITSFixedWarning
        # astropy notes that it derives MJD-OBS from DATE-OBS: no fault of the files.
        warnings.simplefilter("ignore", FITSFixedWarning)
    if command == "ready":
        return ready()
    if command == "plain-image":
        plain_image(arguments[0])
        return 0
    {"export": check_export, "roundtrip": check_roundtrip,
     "general": check_general}[command](*arguments)
    print(f"{len(failures)} check(s) failed" if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
