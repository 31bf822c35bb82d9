#!/usr/bin/env python3
"""The barycentric correction against astropy's SkyCoord.radial_velocity_correction.

Each row's texts go through the export form's reading and the correction (the probe); astropy
reads the same texts its own way and works out the correction at the middle of the exposure.
They must agree within 3 m/s. Rows cycle through the sites, objects, dates and exposures below,
whose counts share no factor, so no two rows are alike.

  barycentre_vs_astropy.py PROBE
"""

import math
import subprocess
import sys
import warnings

try:
    import astropy.units as u
    from astropy.coordinates import (Angle, BarycentricMeanEcliptic, EarthLocation, SkyCoord)
    from astropy.time import Time
    from astropy.utils import data, iers
except ImportError:
    print("SKIP: astropy is needed (Debian python3-astropy)")
    sys.exit(0)

# Offline and quiet: past the bundled Earth orientation tables astropy takes UT1 = UTC, as the
# program does everywhere; that moves a correction by centimetres a second.
data.conf.allow_internet = False
iers.conf.auto_download = False
iers.conf.iers_degraded_accuracy = "warn"
warnings.simplefilter("ignore")

TOLERANCE = 3.0  # m/s
ROWS = 36

# longitude (east), latitude, elevation (m): both hemispheres, high and low
SITES = [("-17.88", "28.76", "2326"), ("-70.74", "-30.24", "2700"), ("-155.47", "19.82", "4205"),
         ("149.07", "-31.27", "1165"), ("0", "51.48", "0"), ("18.48", "-33.93", "-10"),
         ("139.7", "89.5", "3000")]
ECLIPTIC = [SkyCoord(lon * u.deg, 0 * u.deg, frame=BarycentricMeanEcliptic).icrs
            for lon in (30, 135, 250, 330)]
# RA, DEC as typed: the poles, RA near 0 h and 24 h, the ecliptic
OBJECTS = [("0", "90"), ("180", "-90"), ("00:00:00.5", "+05:00:00"), ("23:59:59.9", "-05 23 28"),
           ("359.9999", "-0.5"), ("05 34 31.94", "+22 00 52.2"), ("18:00", "-66:33:38.6")] + [
           (f"{c.ra.deg:.6f}", f"{c.dec.deg:.6f}") for c in ECLIPTIC]
DATES = ["1990-01-01T00:00:00", "1995-07-14T03:15:27.5", "2000-02-28T23:50:00",
         "2016-12-31T23:50:00", "2024-03-14T21:12:40", "2031-09-22T12:00:00.25",
         "2040-12-31T23:59:59", "2012-06-30T06:00:00", "2008-11-05T17:45:12"]
EXPOSURES = ["0", "1800", "", "7200.5"]


def astropy_correction(site, target, date, exposure):
    ra, dec = target
    sexagesimal = any(mark in ra for mark in ": ")
    sky = SkyCoord(Angle(ra, unit=u.hourangle if sexagesimal else u.deg), Angle(dec, unit=u.deg))
    place = EarthLocation.from_geodetic(float(site[0]) * u.deg, float(site[1]) * u.deg,
                                        float(site[2]) * u.m)
    middle = Time(date, scale="utc") + float(exposure or 0) / 2 * u.s
    return sky.radial_velocity_correction("barycentric", obstime=middle,
                                          location=place).to_value(u.m / u.s)


def main():
    rows = [(SITES[i % len(SITES)], OBJECTS[i % len(OBJECTS)], DATES[i % len(DATES)],
             EXPOSURES[i % len(EXPOSURES)]) for i in range(ROWS)]
    lines = "".join("|".join([*site, *target, exposure, date]) + "\n"
                    for site, target, date, exposure in rows)
    printed = subprocess.run([sys.argv[1]], input=lines, capture_output=True, text=True,
                             check=True).stdout.splitlines()
    differences = []
    for row, line in zip(rows, printed):
        expected = astropy_correction(*row)
        ours = float(line) if not line.startswith("refused") else math.nan
        differences.append(ours - expected)
        print(f"{'|'.join([*row[0], *row[1], row[3], row[2]])}: {ours:.3f} m/s, astropy "
              f"{expected:.3f}, {ours - expected:+.4f}")
    worst = max(abs(d) for d in differences)
    rms = math.sqrt(sum(d * d for d in differences) / len(differences))
    print(f"{len(differences)} rows, worst {worst:.4f} m/s, RMS {rms:.4f} m/s")
    return 0 if len(differences) == ROWS and all(abs(d) <= TOLERANCE for d in differences) else 1


if __name__ == "__main__":
    sys.exit(main())
