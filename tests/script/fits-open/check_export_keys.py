"""Checks the primary header of each FITS file named, as its text shows it: every KEY=VALUE given
is the value of KEY, and HISTORY=TEXT is one of its HISTORY lines (a text longer than a card is
continued on the next cards, which are joined).

Usage: check_export_keys.py FILE... -- KEY=VALUE...
"""

import sys

CARD = 80
TEXT = 72  # the text a HISTORY card holds after "HISTORY "


def header_of(path):
    data = open(path, "rb").read()
    values, history, carried = {}, [], ""
    for start in range(0, len(data), CARD):
        card = data[start:start + CARD].decode("ascii", "replace")
        if card.startswith("END     "):
            break
        if card.startswith("HISTORY "):
            carried += card[8:].rstrip()
            if len(card[8:].rstrip()) < TEXT:
                history, carried = history + [carried], ""
        elif card[8:10] == "= ":
            values[card[:8].strip()] = card[10:].split(" / ")[0].strip().strip("'").strip()
    return values, history + ([carried] if carried else [])


def main(arguments):
    split = arguments.index("--")
    files, pairs = arguments[:split], arguments[split + 1:]
    failures = []
    for path in files:
        values, history = header_of(path)
        for key, value in (pair.split("=", 1) for pair in pairs):
            found = value if key == "HISTORY" and value in history else values.get(key)
            if found != value:
                failures.append(f"{path}: {key}={value}: found {found!r}")
    for failure in failures:
        print(f"FAIL {failure}")
    return 1 if failures or not files or not pairs else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
