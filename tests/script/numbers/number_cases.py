#!/usr/bin/env python3
"""Numbers no spectrograph gives, one row each: the files the row makes in a fresh folder (a
calibration file with a card changed, a lamp or object whose pixel size line is changed), the
session it runs there, and the whole transcript and reasons it must give; values printed after
the press show what was kept. Usage: number_cases.py HALVIC_SCRIPT SAMPLEGEN SOURCE_DIR
"""

import os
import shutil
import subprocess
import sys
import tempfile

LAMP = "tests/script/data/worked-example-lines.kr4"
OBJECT = "samples/object-spectrum.kr4"
CALIBRATE = ["open lamp.kr4", "click cmdload2", "select cboscale 43", "set hsbspectra 200",
             "click cmdmarkline1", "select cboscale 42", "set hsbspectra 600", "click cmdmarkline2"]
KEPT = ["var calibrated", "var xPixelSize", "var grooveSpacingUm", "var alphaDeg"]
START = ["calibrated: false", "xPixelSize: 0", "grooveSpacingUm: 6.6666666", "alphaDeg: 0"]
SOLVED = ["calibrated: true", "xPixelSize: 9", "grooveSpacingUm: 6.666666",
          "alphaDeg: 2.5046721290792107"]
EXPORT = CALIBRATE + ["save out", "form EXPTIME=1.7976931348623157e308", "form GEO_ELEV=10001",
                      "form EXPTIME=30|GEO_ELEV=120", "menu File/Export FITS"]


def card(key, value):
    """A calibration file saved from the lamp with one card set to value."""
    def make(driver):
        subprocess.run([driver], input="\n".join(CALIBRATE + [
            "save cal", "menu Calibration/Save Calibration"]), text=True, capture_output=True)
        data = bytearray(open("cal.fits", "rb").read())
        at = data.index(key.ljust(8).encode() + b"=")
        data[at:at + 80] = f"{key.ljust(8)}= {value}".ljust(80).encode()
        open("cal.fits", "wb").write(data)
    return make


def pixel_size(image, text):
    """The image with its pixel size line saying text (five characters, as 0.009 is)."""
    def make(driver):
        data = open(image, "rb").read().replace(b"X_pixel_size = 0.009", b"X_pixel_size = " + text)
        open(image, "wb").write(data)
    return make


def ignored(image, text):
    return (f"reason: {image}: the line X_pixel_size = {text} was ignored: "
            "no camera has pixels of that size")


LOAD_CALIBRATION = ["open lamp.kr4", "click cmdload2", "open cal.fits",
                    "menu Calibration/Load Calibration"] + KEPT
NOT_A_CALIBRATION = "message: Not a calibration file: cal.fits"
# name: (make the files, session, transcript, the start of each reason)
ROWS = {
    "groove-spacing-1e308": (card("GROOVEUM", "1E308"), LOAD_CALIBRATION,
                             [NOT_A_CALIBRATION] + START[:1] + SOLVED[1:2] + START[2:],
                             ["reason: GROOVEUM gives 1e-305 lines/mm, not 10 to 10000"]),
    "out-of-the-dispersion-plane": (card("GAMMADEG", "90."), LOAD_CALIBRATION,
                                    [NOT_A_CALIBRATION] + START[:1] + SOLVED[1:2] + START[2:],
                                    ["reason: the model gives "]),
    "coordinates-of-another-model": (card("CRVAL1", "6.1E-07"), LOAD_CALIBRATION,
                                     [NOT_A_CALIBRATION] + START[:1] + SOLVED[1:2] + START[2:],
                                     ["reason: the coordinate keys and the model disagree by "]),
    # The object's 9 um stays in force; the lamp's tiny pixels would put every column on one
    # wavelength.
    "lamp-pixels-of-1e-20-mm": (
        pixel_size("lamp.kr4", b"1e-20"), ["open object.kr4", "click cmdload"] + CALIBRATE + KEPT,
        SOLVED, [ignored("lamp.kr4", "1e-20")]),
    "object-pixels-negative": (
        pixel_size("object.kr4", b"-9e-3"), CALIBRATE + ["open object.kr4", "click cmdload"] + KEPT,
        SOLVED, [ignored("object.kr4", "-9e-3")]),
    "object-pixels-of-0": (
        pixel_size("object.kr4", b"0.000"), CALIBRATE + ["open object.kr4", "click cmdload"] + KEPT,
        SOLVED, [ignored("object.kr4", "0.000")]),
    # Re-fitted on 1 A at column 200, the model would miss the line by thousands of Angstroms.
    "refit-that-misses-its-line": (
        None, CALIBRATE + ["input 1", "select cboscale 47", "set hsbspectra 200",
                           "click cmdmarkline1"] + KEPT,
        ["input-box: Manual Wavelength Entry | Enter wavelength of selected line in Angstroms | "
         "5460.753", "message: The line gives no solution; calibration not changed."] + SOLVED,
        []),
    "exposure-and-elevation-refused": (
        None, EXPORT + ["print Lblwavelength"],
        ["message: Exposure must be a number of seconds from 0 to 10000000.",
         "message: Elevation must be a number of metres from -500 to 10000.",
         "Lblwavelength: out.fits saved as FITS file"], []),
}


def run_row(driver, source, name):
    make, script, transcript, reasons = ROWS[name]
    with tempfile.TemporaryDirectory() as folder:
        os.chdir(folder)
        shutil.copy(os.path.join(source, LAMP), "lamp.kr4")
        shutil.copy(os.path.join(source, OBJECT), "object.kr4")
        if make:
            make(driver)
        run = subprocess.run([driver], input="\n".join(script), text=True, capture_output=True)
        said = run.stdout.splitlines()
        reasoned = run.stderr.splitlines()
        if run.returncode != 0 or said != transcript or len(reasoned) != len(reasons) or any(
                not line.startswith(start) for line, start in zip(reasoned, reasons)):
            print(f"FAIL {name}: exit {run.returncode}\n--- said\n{run.stdout}--- wanted\n" +
                  "\n".join(transcript) + f"\n--- reasons\n{run.stderr}")
            return 1
    print(f"ok   {name}")
    return 0


def samplegen_arguments(samplegen):
    """--help prints the usage and writes nothing; an unknown option is refused with status 2."""
    with tempfile.TemporaryDirectory() as folder:
        helped = subprocess.run([samplegen, "--help"], cwd=folder, capture_output=True, text=True)
        refused = subprocess.run([samplegen, "--bogus"], cwd=folder, capture_output=True,
                                 text=True)
        if (helped.returncode, refused.returncode) != (0, 2) or "--lamp" not in helped.stdout or (
                os.listdir(folder)):
            print(f"FAIL samplegen arguments: {helped.returncode} {refused.returncode} "
                  f"{os.listdir(folder)}")
            return 1
    print("ok   samplegen arguments")
    return 0


def main():
    driver, samplegen, source = map(os.path.abspath, sys.argv[1:4])
    failures = samplegen_arguments(samplegen)
    failures += sum(run_row(driver, source, name) for name in ROWS)
    print(f"{len(ROWS) + 1} rows, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
