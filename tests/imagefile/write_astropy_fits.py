#!/usr/bin/env python3
"""Writes the reader's astropy cases into OUTDIR: 5 x 3 images of BASE + 5 * row + column (from 0).
Exits 3 after "SKIP: why" when astropy or numpy cannot be imported."""

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


def main(out):
    fits.PrimaryHDU(ramp(65521, np.uint16)).writeto(f"{out}/u16.fits")
    scaled = fits.PrimaryHDU(ramp(10, np.float64))
    scaled.scale("int16", bscale=0.5, bzero=10)
    scaled.writeto(f"{out}/bscale.fits")
    nan = ramp(0, np.float32)
    nan[1, 2] = np.nan
    fits.PrimaryHDU(nan).writeto(f"{out}/nan.fits")
    blank = fits.PrimaryHDU(ramp(0, np.int32))
    blank.data[1, 2] = blank.header["BLANK"] = -999
    blank.writeto(f"{out}/blank.fits")
    rice = fits.CompImageHDU(ramp(65521, np.uint16), compression_type="RICE_1")
    fits.HDUList([fits.PrimaryHDU(), rice]).writeto(f"{out}/rice.fits")
    fits.PrimaryHDU(ramp(0, np.int16, planes=1)).writeto(f"{out}/cube1.fits")
    fits.PrimaryHDU(ramp(0, np.int16, planes=4)).writeto(f"{out}/cube.fits")
    table = fits.BinTableHDU.from_columns([fits.Column(name="flux", format="E", array=np.ones(3))])
    fits.HDUList([fits.PrimaryHDU(), table]).writeto(f"{out}/table.fits")


if __name__ == "__main__":
    main(sys.argv[1])
