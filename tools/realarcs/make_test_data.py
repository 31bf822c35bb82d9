#!/usr/bin/env python3
"""Makes the real-arc test data of tests/data/real-arcs/ with halvic-realarc.

For each arc below: the camera image file of one 768-column window that crosses no detector join
(NAME.kr4), its truth file (NAME-truth.txt) and a row of manifest.csv naming two lines a user
would mark. The lines are found here from the files just written: lamp-list lines (in air) whose
predicted column holds a peak of the strip within a column, at least a fifth of the strip's
strongest peak, with no other peak above a quarter of its height within 10 columns and no other
lamp-list line within 3 columns, at least 30 columns from either end; of those, a pair 300
columns apart or more, preferring lines of the program's built-in list, then separations up to
450 columns, then the fainter line of the pair being bright.

  make_test_data.py --tool HALVIC-REALARC DATA_FOLDER            writes into DATA_FOLDER
  make_test_data.py --tool HALVIC-REALARC --check DATA_FOLDER    exit 1 unless what it writes
                                                                 matches DATA_FOLDER byte for byte

The arcs are read from DATA_FOLDER/arcs/; the lamp lists and the built-in list from the source
tree this script lives in.
"""

import argparse
import filecmp
import os
import re
import subprocess
import sys
import tempfile

try:
    import numpy as np
    from scipy.signal import find_peaks
except ImportError:
    print("SKIP: numpy or scipy is not installed (Debian python3-numpy, python3-scipy)")
    sys.exit(0)

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
NOTE = ("Data: pypeit/PypeIt at 35e103c10cc68783d422752fd8d917cd7b3d6dab, BSD-3-Clause "
        "(LICENSE-PypeIt.rst beside this file).")
HEADER_BYTES = 2048
COLUMNS = 768


class Arc:
    def __init__(self, name, spectrograph, density, pixel_um, first):
        self.name, self.spectrograph, self.density = name, spectrograph, density
        self.pixel_um, self.first = pixel_um, first


# Windows chosen clear of the joins (jumps of the dispersion) and rich in lamp lines; pixel sizes
# and their sources in README.md.
ARCS = [
    Arc("keck_lris_red_R600_7500_ArCdHgKrNeXeZn", "Keck LRIS red", 600, 15, 1923),
    Arc("keck_lris_red_R900_5500_ArCdHgNeZn", "Keck LRIS red", 900, 15, 2101),
    Arc("keck_lris_red_600_7500", "Keck LRIS red (older detector)", 600, 24, 771),
    Arc("keck_deimos_830G", "Keck DEIMOS", 830, 15, 3171),
    Arc("mdm_1200_5100", "MDM ModSpec", 1200, 15, 483),
    Arc("mmt_bluechannel_1200GPM", "MMT Blue Channel", 1200, 15, 644),
    Arc("p200_dbsp_red_1200_7100_d68", "Palomar DBSP red", 1200, 15, 771),
    Arc("soar_goodman_red_400_SYZY", "SOAR Goodman", 400, 15, 1133),
]

MANIFEST_HEADER = ("file,spectrograph,lines_per_mm,pixel_size_um,first_pixel,"
                   "line1_air_A,line1_element,line1_builtin,line1_column,"
                   "line2_air_A,line2_element,line2_builtin,line2_column")


def air_from_vacuum(vacuum):
    s2 = (1.0e4 / vacuum) ** 2
    return vacuum / (1.0 + 8.34254e-5 + 2.406147e-2 / (130.0 - s2) + 1.5998e-4 / (38.9 - s2))


def lamp_lines():
    """(air wavelength, element) of every line of the lamp lists."""
    lines = []
    folder = os.path.join(ROOT, "calibration", "lamp-lines")
    for name in sorted(os.listdir(folder)):
        if not name.endswith("I_lines.dat"):
            continue
        for row in open(os.path.join(folder, name), encoding="utf-8"):
            fields = [field.strip() for field in row.strip().strip("|").split("|")]
            if row.startswith("|") and fields[0] != "ion":
                lines.append((air_from_vacuum(float(fields[1])), fields[0][:-1]))
    return lines


def builtin_lines():
    """(wavelength as listed, element) of the built-in list's mercury, neon and argon lines."""
    text = open(os.path.join(ROOT, "calibration", "line_list.h"), encoding="utf-8").read()
    symbols = {"Mercury": "Hg", "Neon": "Ne", "Argon": "Ar"}
    return [(float(value), symbols[source]) for value, source in
            re.findall(r'listed\("[^"]*", ([\d.]+), LineSource::(Mercury|Neon|Argon)\)', text)]


def read_truth(path):
    rows = [line.split() for line in open(path, encoding="utf-8") if not line.startswith("#")]
    return np.array([float(row[1]) for row in rows])


def read_strip(path):
    """Row 1 of a plain camera image file: every row of these files is the same."""
    data = open(path, "rb").read()
    return np.frombuffer(data, dtype="<u2", count=COLUMNS, offset=HEADER_BYTES).astype(float)


def candidates(truth, counts, lamp, builtin):
    columns = np.arange(1, COLUMNS + 1)
    smooth = np.convolve(counts - np.median(counts), np.ones(3) / 3.0, mode="same")
    strongest = smooth.max()
    peaks, _ = find_peaks(smooth, prominence=0.02 * strongest)
    heights = smooth[peaks]
    found = []
    for wavelength, element in lamp:
        if not truth[0] < wavelength < truth[-1]:
            continue
        column = float(np.interp(wavelength, truth, columns))
        nearest = int(np.argmin(np.abs(peaks + 1 - column)))
        height = heights[nearest]
        others = (np.abs(peaks - peaks[nearest]) <= 10) & (peaks != peaks[nearest])
        blended = any(other != wavelength and abs(np.interp(other, truth, columns) - column) < 3.0
                      for other, _ in lamp)
        if (30 <= column <= COLUMNS - 30 and abs(peaks[nearest] + 1 - column) <= 1.0
                and not blended
                and height >= 0.2 * strongest and not np.any(heights[others] > 0.25 * height)):
            listed = [value for value, symbol in builtin
                      if symbol == element and abs(value - wavelength) < 0.015]
            found.append({"air": listed[0] if listed else round(wavelength, 3), "element": element,
                          "builtin": bool(listed), "column": column,
                          "strength": height / strongest})
    return found


def chosen_pair(found):
    best = None
    for first in found:
        for second in found:
            separation = second["column"] - first["column"]
            if separation < 300:
                continue
            score = (first["builtin"] + second["builtin"], min(separation, 450.0),
                     min(first["strength"], second["strength"]))
            if best is None or score > best[0]:
                best = (score, first, second)
    return None if best is None else best[1:]


def line_fields(line):
    return [f"{line['air']:.3f}", line["element"], "yes" if line["builtin"] else "no",
            str(int(round(line["column"])))]


def write_data(tool, arcs_folder, output):
    lamp, builtin = lamp_lines(), builtin_lines()
    rows = [MANIFEST_HEADER]
    for arc in ARCS:
        stem = os.path.join(output, arc.name)
        subprocess.run([tool, os.path.join(arcs_folder, arc.name + ".fits"), "--first",
                        str(arc.first), "--pixel-size", str(arc.pixel_um), "--note", NOTE, stem],
                       check=True)
        truth, counts = read_truth(stem + "-truth.txt"), read_strip(stem + ".kr4")
        pair = chosen_pair(candidates(truth, counts, lamp, builtin))
        if pair is None:
            sys.exit(f"{arc.name}: no two lines to mark in the window from pixel {arc.first}")
        rows.append(",".join([arc.name + ".kr4", arc.spectrograph, str(arc.density),
                              str(arc.pixel_um), str(arc.first)] + line_fields(pair[0]) +
                             line_fields(pair[1])))
    with open(os.path.join(output, "manifest.csv"), "w", encoding="utf-8") as manifest:
        manifest.write("\n".join(rows) + "\n")
    return [arc.name + ending for arc in ARCS for ending in (".kr4", "-truth.txt")] + \
        ["manifest.csv"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("data")
    args = parser.parse_args()
    arcs_folder = os.path.join(args.data, "arcs")
    if not args.check:
        names = write_data(args.tool, arcs_folder, args.data)
        print(f"wrote {len(names)} files into {args.data}")
        return 0
    with tempfile.TemporaryDirectory() as folder:
        names = write_data(args.tool, arcs_folder, folder)
        differing = [name for name in names
                     if not filecmp.cmp(os.path.join(folder, name), os.path.join(args.data, name),
                                        shallow=False)]
    if len(names) != 2 * len(ARCS) + 1:
        print(f"FAIL: {len(names)} files made for {len(ARCS)} arcs")
        return 1
    for name in differing:
        print(f"FAIL: {name} differs from what {args.tool} makes now")
    if differing:
        return 1
    print(f"{len(names)} files of {len(ARCS)} arcs match")
    return 0


if __name__ == "__main__":
    sys.exit(main())
