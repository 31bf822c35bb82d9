#!/usr/bin/env python3
"""barycentre_vs_astropy.py PROBE: the barycentric correction of the export form's texts against
astropy's SkyCoord.radial_velocity_correction, within 3 m/s. Rows cycle through the lists below,
whose lengths share no factor, so no two are alike."""

import math
import subprocess
import sys
import warnings

try:
    import astropy.units as u
    from astropy.coordinates import Angle, EarthLocation, SkyCoord
    from astropy.time import Time
    from astropy.utils import data, iers
except ImportError:
    print("SKIP: astropy is needed (Debian python3-astropy)")
    sys.exit(0)

# Offline and quiet: past its bundled tables astropy takes UT1 = UTC, as the program always does.
data.conf.allow_internet = False
iers.conf.auto_download = False
iers.conf.iers_degraded_accuracy = "warn"
warnings.simplefilter("ignore")

TOLERANCE = 3.0  # m/s
ROWS = 36
SITES = [("-17.88", "28.76", "2326"), ("-70.74", "-30.24", "2700"), ("-155.47", "19.82", "4205"),
         ("149.07", "-31.27", "1165"), ("0", "51.48", "0"), ("18.48", "-33.93", "-10"),
         ("139.7", "89.5", "3000")]
# the poles, RA near 0 h and 24 h; the ecliptic at 0, 90, 135 and 270 degrees and its south pole
OBJECTS = [("0", "90"), ("180", "-90"), ("00:00:00.5", "+05:00:00"), ("23:59:59.9", "-05 23 28"),
           ("359.9999", "-0.5"), ("05 34 31.94", "+22 00 52.2"), ("0", "0"),
           ("06:00:00", "+23:26:21.4"), ("137.4642", "16.3361"), ("18:00", "-23 26 21.4"),
           ("18:00:00", "-66:33:38.6")]
DATES = ["1990-01-01T00:00:00", "1995-07-14T03:15:27.5", "2000-02-28T23:50:00",
         "2016-12-31T23:50:00", "2024-03-14T21:12:40", "2031-09-22T12:00:00.25",
         "2040-12-31T23:59:59", "2012-06-30T06:00:00", "2008-11-05T17:45:12"]
EXPOSURES = ["0", "1800", "", "7200.5"]


def astropy_correction(longitude, latitude, elevation, ra, dec, exposure, date):
    hours = any(mark in ra for mark in ": ")
    sky = SkyCoord(Angle(ra, unit=u.hourangle if hours else u.deg), Angle(dec, unit=u.deg))
    site = EarthLocation.from_geodetic(float(longitude), float(latitude), float(elevation))
    middle = Time(date, scale="utc") + float(exposure or 0) / 2 * u.s
    return sky.radial_velocity_correction("barycentric", obstime=middle,
                                          location=site).to_value(u.m / u.s)


rows = [(*SITES[i % len(SITES)], *OBJECTS[i % len(OBJECTS)], EXPOSURES[i % len(EXPOSURES)],
         DATES[i % len(DATES)]) for i in range(ROWS)]
printed = subprocess.run([sys.argv[1]], input="".join("|".join(row) + "\n" for row in rows),
                         capture_output=True, text=True, check=True).stdout.splitlines()
differences = []
for row, line in zip(rows, printed):
    expected = astropy_correction(*row)
    differences.append((math.nan if line.startswith("refused") else float(line)) - expected)
    print(f"{'|'.join(row)}: {line}, astropy {expected:.4f}, {differences[-1]:+.4f} m/s")
print(f"{len(differences)} rows, worst {max(map(abs, differences)):.4f} m/s, RMS "
      f"{math.sqrt(sum(d * d for d in differences) / len(differences)):.4f} m/s")
sys.exit(0 if len(differences) == ROWS and all(abs(d) <= TOLERANCE for d in differences) else 1)
