"""Checks that a FITS file's primary header holds each KEY=VALUE given, as its text shows them.

Usage: check_export_keys.py FILE KEY=VALUE...
"""

import sys

CARD = 80


def header_values(path):
    data = open(path, "rb").read()
    values = {}
    for start in range(0, len(data), CARD):
        card = data[start:start + CARD].decode("ascii", "replace")
        if card.startswith("END     "):
            break
        if card[8:10] == "= ":
            value = card[10:].split(" / ")[0].strip()
            values[card[:8].strip()] = value.strip("'").strip()
    return values


def main(arguments):
    values = header_values(arguments[0])
    failures = [f"{pair}: found {values.get(pair.split('=', 1)[0])!r}" for pair in arguments[1:]
                if values.get(pair.split("=", 1)[0]) != pair.split("=", 1)[1]]
    for failure in failures:
        print(f"FAIL {arguments[0]}: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
