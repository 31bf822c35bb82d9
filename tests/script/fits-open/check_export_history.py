"""Checks that each FITS file named holds, in its HISTORY, every line given after "--".

HISTORY texts longer than a card are continued on the next card, so consecutive full cards are
joined before the lines are looked for. Usage: check_export_history.py FILE... -- LINE...
"""

import sys

CARD = 80
TEXT = 72  # the text a HISTORY card holds after "HISTORY "


def history_lines(path):
    data = open(path, "rb").read()
    lines, carried = [], ""
    for start in range(0, len(data), CARD):
        card = data[start:start + CARD].decode("ascii", "replace")
        if card.startswith("END     "):
            break
        if not card.startswith("HISTORY "):
            continue
        text = card[8:]
        carried += text.rstrip()
        if len(text.rstrip()) < TEXT:
            lines.append(carried)
            carried = ""
    return lines + ([carried] if carried else [])


def main(arguments):
    split = arguments.index("--")
    files, wanted = arguments[:split], arguments[split + 1:]
    missing = [(path, line) for path in files for line in wanted
               if line not in history_lines(path)]
    for path, line in missing:
        print(f"{path}: no HISTORY line {line!r}")
    return 1 if missing or not files or not wanted else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
