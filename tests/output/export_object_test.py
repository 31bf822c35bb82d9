#!/usr/bin/env python3
"""The observing form belongs to the image: exported again, the same image keeps its object and
coordinates; another image starts without them, while the observer stays.

  export_object_test.py HALVIC_SCRIPT SOURCE_DIR
"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "script",
                                "fits-open"))
from check_export_keys import header_of  # noqa: E402


def main():
    driver, source = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        script = [f"open {source}/samples/neon-lamp.kr4", "click cmdload2", "select cbobox 2",
                  "select cboscale 8", "set hsbspectra 214", "click cmdmarkline1",
                  "select cboscale 23", "set hsbspectra 590", "click cmdmarkline2",
                  f"open {source}/samples/object-spectrum.kr4", "click cmdload",
                  f"save {folder}/first.fits", "form OBJNAME=Vega|OBSERVER=Me|RA=279.2|DEC=38.8",
                  "menu File/Export FITS", f"save {folder}/again.fits", "form BSS_SITE=Home",
                  "menu File/Export FITS",
                  f"open {source}/samples/object-spectrum-compressed.kr4", "click cmdload",
                  f"save {folder}/other.fits", "form BSS_SITE=Home", "menu File/Export FITS"]
        subprocess.run([driver], input="\n".join(script) + "\n", check=True, capture_output=True,
                       text=True)
        # file: (OBJNAME, OBSERVER, BARYVEL-free): the coordinates show only through the form
        rows = {"first": ("Vega", "Me"), "again": ("Vega", "Me"), "other": (None, "Me")}
        failures = 0
        for name, (obj, observer) in rows.items():
            values, _ = header_of(os.path.join(folder, f"{name}.fits"))
            found = (values.get("OBJNAME"), values.get("OBSERVER"))
            ok = found == (obj, observer)
            failures += not ok
            print(f"{'ok  ' if ok else 'FAIL'} {name}: object {found[0]!r}, observer {found[1]!r}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
