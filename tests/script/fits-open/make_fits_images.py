"""Writes the small FITS files the scripted FITS loads open, into the folder given.

Written byte by byte from the FITS layout (80-character cards in 2880-byte blocks, big-endian
data), so that the images need nothing but Python itself:
  lamp.fits     1200 x 50, 16-bit unsigned (BZERO 32768), three lines along rows 21 to 29,
                XPIXSZ 9, DATE-OBS and EXPTIME
  object.fits   1200 x 50, 32-bit float, a continuum along rows 11 to 19, no pixel size
  cube.fits     40 x 30 x 2: a cube
  tables.fits   an empty primary unit and a binary table
  not-fits.fits text
  camera.kr4    a copy of the camera file given after the folder, when one is
"""

import math
import shutil
import struct
import sys
from pathlib import Path

BLOCK = 2880


def card(key, value=None):
    if value is None:
        return f"{key:<80}"
    if isinstance(value, str):
        return f"{key:<8}= '{value:<8}'".ljust(80)
    elif isinstance(value, bool):
        text = "T" if value else "F"
    else:
        text = str(value)
    return f"{key:<8}= {text:>20}".ljust(80)


def padded(data, fill):
    return data + fill * (-len(data) % BLOCK)


def header(cards):
    return padded("".join(cards + [card("END")]).encode("ascii"), b" ")


def image(path, width, height, value_at, bitpix, extra):
    cards = [card("SIMPLE", True), card("BITPIX", bitpix), card("NAXIS", 2),
             card("NAXIS1", width), card("NAXIS2", height)] + extra
    if bitpix == 16:
        cards.append(card("BZERO", 32768))
        pack = lambda v: struct.pack(">h", int(round(v)) - 32768)
    else:
        pack = lambda v: struct.pack(">f", v)
    data = b"".join(pack(value_at(x, y)) for y in range(1, height + 1)
                    for x in range(1, width + 1))
    path.write_bytes(header(cards) + padded(data, b"\0"))


def band(y, centre, half_width):
    return math.exp(-0.5 * ((y - centre) / half_width) ** 2)


def lamp_value(x, y):
    lines = sum(height * math.exp(-0.5 * ((x - centre) / 1.6) ** 2)
                for centre, height in ((250.0, 40000.0), (610.5, 20000.0), (1003.0, 60000.0)))
    return 1000.0 + lines * band(y, 25.0, 2.0)


def object_value(x, y):
    return 200.0 + 5000.0 * (1.0 + 0.3 * math.sin(x / 90.0)) * band(y, 15.0, 2.0)


def main(folder, camera_file=None):
    out = Path(folder)
    out.mkdir(parents=True, exist_ok=True)
    image(out / "lamp.fits", 1200, 50, lamp_value, 16,
          [card("XPIXSZ", 9.0), card("DATE-OBS", "2026-03-14T21:12:40.25"), card("EXPTIME", 30.0),
           card("OBJECT", "NeAr lamp"), card("OBJCTRA", "05 55 10.3"),
           card("OBJCTDEC", "+07 24 25")])
    image(out / "object.fits", 1200, 50, object_value, -32, [])
    cube = [card("SIMPLE", True), card("BITPIX", 8), card("NAXIS", 3), card("NAXIS1", 40),
            card("NAXIS2", 30), card("NAXIS3", 2)]
    (out / "cube.fits").write_bytes(header(cube) + padded(bytes(40 * 30 * 2), b"\0"))
    primary = [card("SIMPLE", True), card("BITPIX", 8), card("NAXIS", 0), card("EXTEND", True)]
    table = [card("XTENSION", "BINTABLE"), card("BITPIX", 8), card("NAXIS", 2),
             card("NAXIS1", 4), card("NAXIS2", 3), card("PCOUNT", 0), card("GCOUNT", 1),
             card("TFIELDS", 1), card("TTYPE1", "FLUX"), card("TFORM1", "E")]
    rows = b"".join(struct.pack(">f", v) for v in (1.0, 2.0, 3.0))
    (out / "tables.fits").write_bytes(header(primary) + header(table) + padded(rows, b"\0"))
    (out / "not-fits.fits").write_text("These are notes, not an image.\n")
    if camera_file:
        shutil.copyfile(camera_file, out / "camera.kr4")


if __name__ == "__main__":
    main(*sys.argv[1:])
