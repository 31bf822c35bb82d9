#!/usr/bin/env python3
"""Writes the FITS images of the reader's astropy table into OUTDIR.

Every image is 5 columns by 3 rows holding BASE + 5 * row + column (from 0), BASE given per file
below, so that the reader's values can be checked without this script. Exits 3, after one line
"SKIP: why", when astropy or numpy is missing.
"""

import sys

try:
    import numpy as np
    from astropy.io import fits
except ImportError as error:
    print(f"SKIP: {error}")
    sys.exit(3)


def ramp(base, dtype, planes=None):
    data = (base + np.arange(15).reshape(3, 5)).astype(dtype)
    return data if planes is None else np.stack([data] * planes)


def main(outdir):
    fits.PrimaryHDU(ramp(65521, np.uint16)).writeto(f"{outdir}/u16.fits")
    scaled = fits.PrimaryHDU(ramp(10, np.float64))
    scaled.scale("int16", bscale=0.5, bzero=10)
    scaled.writeto(f"{outdir}/bscale.fits")
    nan = ramp(0, np.float32)
    nan[1, 2] = np.nan
    fits.PrimaryHDU(nan).writeto(f"{outdir}/nan.fits")
    blank = fits.PrimaryHDU(ramp(0, np.int32))
    blank.data[1, 2] = -999
    blank.header["BLANK"] = -999
    blank.writeto(f"{outdir}/blank.fits")
    fits.HDUList([fits.PrimaryHDU(), fits.CompImageHDU(ramp(65521, np.uint16),
                                                       compression_type="RICE_1")]
                 ).writeto(f"{outdir}/rice.fits")
    fits.PrimaryHDU(ramp(0, np.int16, planes=1)).writeto(f"{outdir}/cube1.fits")
    fits.PrimaryHDU(ramp(0, np.int16, planes=4)).writeto(f"{outdir}/cube.fits")
    table = fits.BinTableHDU.from_columns([fits.Column(name="flux", format="E", array=np.ones(3))])
    fits.HDUList([fits.PrimaryHDU(), table]).writeto(f"{outdir}/table.fits")


if __name__ == "__main__":
    main(sys.argv[1])
