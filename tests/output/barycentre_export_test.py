#!/usr/bin/env python3
"""The FITS export corrected to the barycentre, read back by specutils and astropy.

A scripted session calibrates the samples' lamp and exports the object three times: without
coordinates (BARYCORR ticked all the same, which the disabled check box ignores), with
coordinates and not corrected, and corrected. Rows:

  the uncorrected files say BSS_VHEL = 0 and SPECSYS 'TOPOCENT'; without coordinates no BARYVEL
  the corrected NAME.fits read by specutils gives the observed wavelengths times 1 + v/c (1e-6 A)
  v agrees with astropy's radial_velocity_correction at the middle of the exposure (3 m/s)
  NAME-pixels.fits keeps the observed frame and records v as BARYVEL, corrected or not

  barycentre_export_test.py HALVIC_SCRIPT SOURCE_DIR
"""

import os
import subprocess
import sys
import tempfile
import warnings

try:
    import numpy as np
    from astropy import units as u
    from astropy.coordinates import EarthLocation, SkyCoord
    from astropy.io import fits
    from astropy.time import Time
    from astropy.utils import iers
    from specutils import Spectrum1D
except ImportError as missing:
    print(f"SKIP: {missing.name} is not installed (Debian python3-astropy, python3-specutils)")
    sys.exit(0)

iers.conf.auto_download = False
C_M_S = 299792458.0
SITE = {"GEO_LONG": "-17.88", "GEO_LAT": "28.76", "GEO_ELEV": "2326", "EXPTIME": "600",
        "UTC_OFFSET": "0"}
TARGET = {"RA": "05:35:17.3", "DEC": "-05:23:28"}


def form(values):
    return "form " + "|".join(f"{key}={value}" for key, value in values.items())


def session(folder, source):
    lines = [f"open {source}/samples/neon-lamp.kr4", "click cmdload2", "select cbobox 2",
             "select cboscale 8", "set hsbspectra 214", "click cmdmarkline1",
             "select cboscale 23", "set hsbspectra 590", "click cmdmarkline2",
             f"open {source}/samples/object-spectrum.kr4", "click cmdload"]
    exports = {"nocoords": dict(SITE, BARYCORR="1"),
               "observed": dict(SITE, **TARGET, BARYCORR="0"),
               "corrected": dict(SITE, **TARGET, BARYCORR="1")}
    for name, values in exports.items():
        lines += [f"save {folder}/{name}.fits", form(values), "menu File/Export FITS"]
    return "\n".join(lines) + "\n"


def astropy_velocity(header):
    start = Time(header["DATE-OBS"], scale="utc")
    middle = start + float(header["EXPTIME"]) / 2 * u.s
    site = EarthLocation.from_geodetic(float(SITE["GEO_LONG"]) * u.deg,
                                       float(SITE["GEO_LAT"]) * u.deg,
                                       float(SITE["GEO_ELEV"]) * u.m)
    target = SkyCoord(TARGET["RA"], TARGET["DEC"], unit=(u.hourangle, u.deg), frame="icrs")
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return target.radial_velocity_correction("barycentric", obstime=middle,
                                                 location=site).to(u.m / u.s).value


def spectral_axis(path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return Spectrum1D.read(path, format="wcs1d-fits").spectral_axis.to(u.AA).value


def main():
    driver, source = sys.argv[1], sys.argv[2]
    failures = []

    def claim(ok, text):
        print(("ok   " if ok else "FAIL ") + text)
        if not ok:
            failures.append(text)

    with tempfile.TemporaryDirectory() as folder:
        run = subprocess.run([driver], input=session(folder, source), capture_output=True,
                             text=True)
        claim(run.returncode == 0, f"the session ran ({run.stderr.strip()})")
        if run.returncode != 0:
            return 1
        header = {name: fits.getheader(f"{folder}/{name}.fits")
                  for name in ("nocoords", "observed", "corrected")}
        pixels = {name: fits.getheader(f"{folder}/{name}-pixels.fits")
                  for name in ("nocoords", "observed", "corrected")}
        for name in ("nocoords", "observed"):
            claim(header[name]["BSS_VHEL"] == 0 and header[name]["SPECSYS"] == "TOPOCENT",
                  f"{name}: BSS_VHEL 0 and SPECSYS TOPOCENT")
        claim("BARYVEL" not in pixels["nocoords"], "without coordinates no velocity is recorded")
        v = header["corrected"]["VELOSYS"]
        claim(header["corrected"]["SPECSYS"] == "BARYCENT"
              and abs(header["corrected"]["BSS_VHEL"] * 1000.0 - v) < 1e-6,
              f"corrected: SPECSYS BARYCENT, BSS_VHEL {header['corrected']['BSS_VHEL']} km/s "
              f"and VELOSYS {v} m/s agree")
        expected = astropy_velocity(header["corrected"])
        claim(abs(v - expected) <= 3.0, f"v {v:.3f} m/s, astropy {expected:.3f} m/s")
        observed, corrected = spectral_axis(f"{folder}/observed.fits"), spectral_axis(
            f"{folder}/corrected.fits")
        worst = float(np.max(np.abs(corrected - observed * (1.0 + v / C_M_S))))
        claim(worst <= 1e-6, f"specutils: corrected wavelengths are the observed times 1 + v/c "
                             f"within {worst:.2e} A")
        for name in ("observed", "corrected"):
            claim(pixels[name]["SPECSYS"] == "TOPOCENT" and pixels[name]["BSS_VHEL"] == 0
                  and abs(pixels[name]["BARYVEL"] - v) < 1e-6,
                  f"{name}-pixels.fits: observed frame, BARYVEL {pixels[name]['BARYVEL']}")
        table = fits.getdata(f"{folder}/corrected-pixels.fits", 1)["WAVE"]
        claim(np.array_equal(table, fits.getdata(f"{folder}/observed-pixels.fits", 1)["WAVE"]),
              "the per-column wavelengths are the observed ones, corrected or not")
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
