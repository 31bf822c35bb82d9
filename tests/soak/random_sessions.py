#!/usr/bin/env python3
"""Random sessions: halvic-script driven by random sequences of user actions.

Each session runs in a fresh work folder inside a fresh sandbox folder, with copies of the sample
images, the test images, truncated copies and files of random bytes. Every control is used, scroll
bars get extreme values, every kind of dialog gets valid, empty, cancelled and absurd answers.
A session passes when the driver exits 0, prints no NaN or infinity anywhere, says nothing on its
error stream but `reason:` lines, and leaves nothing in the sandbox outside the work folder.

Usage: random_sessions.py DRIVER SOURCE_DIR [--sessions N] [--actions M] [--seed S]
Exit 0 when every session passed; otherwise the failing scripts are kept and named.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

BUTTONS = ["cmdcontrast", "cmdcalcspectra", "cmdemission", "Cmdcalccal", "cmdcontrast2",
           "cmdmarkline1", "cmdmarkline2", "cmdtext", "cmdstrip", "cmdprint"]
TOGGLES = ["Lingraph", "loggraph", "autograph", "pushgraph", "smoothing", "chkexpand",
           "chkfilter", "chkmedian"]
BARS = ["hsbspectra", "hsbcropdata1", "hsbcropdata2", "hsbcropcal1", "hsbcropcal2"]
MENUS = ["File/Load Spectra", "File/Load Cal", "File/Export FITS", "File/Export CSV",
         "File/Export Graph Image", "File/Print Preview", "Calibration/Undo", "Calibration/Redo",
         "Calibration/Undo", "Calibration/Save Calibration",
         "Calibration/Load Calibration", "Calibration/Check Calibration",
         "Calibration/Refine with All Lines", "Calibration/Spectrograph", "Calibration/Lamp Lines",
         "Help/About", "Help/User Guide"]
QUERIES = ["Lblwavelength", "lblfiledata1", "lblfiledata2", "hsbspectra", "cboscale"]
VARIABLES = ["alphaDeg", "focalLengthMm", "betaDeg", "pixelWavelength", "readoutPixel",
             "centroidPixel", "dispersionAPerMm", "line1Pixel", "line2Pixel", "profileMax",
             "profileMin", "cursorPixel", "grooveSpacingUm", "calibrated"]
NUMBERS = ["0", "1", "-1", "20", "381", "765", "768", "769", "32767", "-32768", "40000",
           "99999999999999999999", "-99999999999999999999", "2.5", "-3.5", "1e308", "nan", "x",
           ""]
# A value that is not a number, not a file name made of the letters (an answer "nan" may name one).
NOT_FINITE = re.compile(r"(?<![\w./-])-?(nan|NaN|inf|Infinity)(?![\w.])")


def images(work):
    """Files a session may open, relative to its work folder."""
    return sorted(os.listdir(work))


def prepare(work, source, rng):
    for path in ["samples/neon-lamp.kr4", "samples/neon-lamp-compressed.kr4",
                 "samples/object-spectrum.kr4", "samples/object-spectrum-compressed.kr4",
                 "tests/script/data/ramp-400x10.kr4", "tests/script/data/worked-example-lines.kr4",
                 "tests/script/data/one-column.kr4", "tests/script/data/too-wide.kr4"]:
        shutil.copy(os.path.join(source, path), work)
    lamp = open(os.path.join(source, "samples/neon-lamp-compressed.kr4"), "rb").read()
    for size in (0, 100, 2047, 2048, 3000, len(lamp) - 7):
        open(os.path.join(work, f"truncated-{size}.kr4"), "wb").write(lamp[:size])
    for index in range(3):
        open(os.path.join(work, f"random-{index}.kr4"), "wb").write(
            bytes(rng.getrandbits(8) for _ in range(rng.choice([10, 2100, 40000]))))
    os.mkdir(os.path.join(work, "folder.kr4"))


def answers(rng, files):
    """One queued answer of every kind of dialog, each valid or not, cancelled or not."""
    return [
        rng.choice(["open " + rng.choice(files + ["no-such-file.kr4", "folder.kr4"]),
                    "open-cancel"]),
        rng.choice(["input " + rng.choice(NUMBERS + ["strip", "out/strip", "strip/", "automatic",
                                                     "600", "5460.753"]), "input-cancel"]),
        "contrast " + rng.choice(["-", "0", "100", "x", "40000"]) + " " + rng.choice(
            ["-", "0", "255", "-4", "x", "99999"]),
        rng.choice(["save " + rng.choice(["export.fits", "export", "export.csv", "cal.fits",
                                          "missing-folder/x.fits", "folder.kr4"] + files),
                    "save-cancel"]),
        rng.choice([f"form {rng.choice(['OBJNAME', 'GEO_LAT', 'GEO_LONG', 'EXPTIME'])}="
                    f"{rng.choice(NUMBERS[:8])}", "form-cancel", "form apply=1", "form apply=0",
                    f"form {rng.choice(['grating', 'deviation', 'pixel'])}="
                    f"{rng.choice(NUMBERS + ['600', '30', '13.5'])}",
                    f"form Ne={rng.randrange(2)}|Ar={rng.randrange(2)}|Hg={rng.randrange(2)}"]),
    ]


def action(rng, files):
    kind = rng.randrange(12)
    if kind == 0:
        return answers(rng, files) + ["click " + rng.choice(["cmdload", "cmdload2"])]
    if kind == 1:
        return answers(rng, files) + ["click " + rng.choice(BUTTONS)]
    if kind == 2:
        return ["click " + rng.choice(TOGGLES)]
    if kind == 3:
        return answers(rng, files) + [f"select cboscale {rng.randrange(48)}"]
    if kind == 4:
        return [f"select cbobox {rng.randrange(6)}"]
    if kind == 5:
        bar = rng.choice(BARS)
        value = rng.choice(NUMBERS[:13] + [str(rng.randrange(-50, 800))])
        return [f"{rng.choice(['set', 'scroll'])} {bar} {value}", f"release {bar}"]
    if kind == 6:
        return [f"press {rng.choice(['window', 'graph'])} {rng.randrange(-10, 800)} "
                f"{rng.randrange(-10, 400)}", f"wheel graph {rng.randrange(-5, 6)}"]
    if kind == 7:
        return answers(rng, files) + ["menu " + rng.choice(MENUS)]
    if kind == 8:
        return [rng.choice(["printer 1000 800 page.txt", "printer-fail", "printer-none"])]
    if kind == 9:
        return ["print " + rng.choice(QUERIES)]
    if kind == 10:
        return ["var " + rng.choice(VARIABLES)]
    return [f"var profile[{rng.randrange(1, 769)}]"]


def run_session(driver, source, sandbox_root, rng, actions):
    sandbox = tempfile.mkdtemp(prefix="session-", dir=sandbox_root)
    work = os.path.join(sandbox, "work")
    os.mkdir(work)
    prepare(work, source, rng)
    files = images(work)
    lines = []
    for _ in range(actions):
        lines += action(rng, files)
    script = "\n".join(lines) + "\n"
    result = subprocess.run([driver], input=script.encode(), cwd=work, capture_output=True,
                            timeout=120)
    out = result.stdout.decode("utf-8", "replace")
    err = result.stderr.decode("utf-8", "replace")
    problems = []
    # A queued form answer may reach a form it was not meant for (the answers are random): the
    # driver stops the script there, as its contract says, which is no fault of the program.
    mismatch = result.returncode == 2 and re.search(r"error: line \d+: the (form|check box)", err)
    if mismatch:
        err = "\n".join(line for line in err.splitlines() if not line.startswith("error: "))
    elif result.returncode != 0:
        problems.append(f"exit status {result.returncode}")
    if NOT_FINITE.search(out):
        problems.append("a NaN or an infinity in the transcript: " + NOT_FINITE.search(out)[0])
    stray = [line for line in err.splitlines() if not line.startswith("reason: ")]
    if stray:
        problems.append("error stream: " + " / ".join(stray[:3]))
    outside = sorted(set(os.listdir(sandbox)) - {"work"})
    if outside:
        problems.append("written outside the work folder: " + ", ".join(outside))
    if problems:
        kept = os.path.join(sandbox_root, f"failed-{len(os.listdir(sandbox_root))}.script")
        open(kept, "w").write(script)
        return problems, kept
    shutil.rmtree(sandbox)
    return [], None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("driver")
    parser.add_argument("source")
    parser.add_argument("--sessions", type=int, default=100)
    parser.add_argument("--actions", type=int, default=60)
    parser.add_argument("--seed", type=int, default=20261209)
    options = parser.parse_args()
    options.driver = os.path.abspath(options.driver)
    options.source = os.path.abspath(options.source)
    rng = random.Random(options.seed)
    sandbox_root = tempfile.mkdtemp(prefix="halvic-random-sessions-")
    failures = 0
    for number in range(options.sessions):
        problems, kept = run_session(options.driver, options.source, sandbox_root, rng,
                                     options.actions)
        if problems:
            failures += 1
            print(f"session {number}: " + "; ".join(problems) + f" (script kept in {kept})")
    print(f"{options.sessions} sessions of {options.actions} actions, seed {options.seed}: "
          f"{failures} failed")
    if failures == 0:
        shutil.rmtree(sandbox_root)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
