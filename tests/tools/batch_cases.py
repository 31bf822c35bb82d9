"""halvic-batch run on a small night, one case a row: the night's objects written by
halvic-samplegen, the calibration and the window's exports made by a scripted session
(batch_make.script), each case in its own temporary folder.

Usage: batch_cases.py HALVIC_BATCH HALVIC_SCRIPT HALVIC_SAMPLEGEN SOURCE_DIR CASE
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile

OBSERVING = ("# as the window's form was filled in\n"
             "OBJNAME = HD 37128\nOBSERVER = A. N. Other\nUTC_OFFSET = -1.5\n")
OBJECT = "night/object-spectrum.kr4"
SECOND = "night/object-spectrum-compressed.kr4"
HEADER = "image,lamp,shift_px,lines,rms_angstrom,status\n"


def run(batch, *args):
    done = subprocess.run([batch, *args], capture_output=True, text=True, check=False)
    return done.returncode, done.stderr


def read(path):
    with open(path, encoding="utf-8") as file:
        return file.read()


def same_bytes(a, b):
    with open(a, "rb") as first, open(b, "rb") as second:
        return first.read() == second.read()


def leftovers(folder):
    """Files of the folder that are no finished output: staged files, a FITS file alone."""
    names = set(os.listdir(folder)) if os.path.isdir(folder) else set()
    stray = [n for n in names if not n.endswith((".fits", ".csv"))]
    stray += [n for n in names if n.endswith("-pixels.fits") and n[:-12] + ".fits" not in names]
    return stray


def same_as_window(batch, _):
    status, errors = run(batch, "--calibration", "night.fits", "--out", "out", "--csv",
                         "--observing", "observing.txt", "--jobs", "2", OBJECT, SECOND)
    problems = [] if status == 0 else [f"exit {status}: {errors}"]
    for batch_name, window_name in (("object-spectrum.fits", "window.fits"),
                                    ("object-spectrum-pixels.fits", "window-pixels.fits"),
                                    ("object-spectrum.csv", "window.csv")):
        if not same_bytes("out/" + batch_name, window_name):
            problems.append(f"{batch_name} differs from the window's {window_name}")
    expected = HEADER + f"{OBJECT},,,0,0,ok\n{SECOND},,,0,0,ok\n"
    if read("out/summary.csv") != expected:
        problems.append("summary.csv:\n" + read("out/summary.csv"))
    return problems


def usage_error(args, says, *, written=False):
    """A row whose arguments are refused as a whole: exit 2, one line, nothing written."""
    def case(batch, _):
        status, errors = run(batch, *args)
        problems = [] if status == 2 else [f"exit {status}"]
        if says not in errors or errors.count("\n") != 1:
            problems.append(f"stderr: {errors!r}")
        if not written and os.path.exists("out"):
            problems.append("out was made")
        return problems
    return case


def some_failed(args, row, *, before=(), others=True, under=()):
    """A row where an image fails: exit 1, the failure in the summary, the others written; under
    is a command the batch runs under."""
    def case(batch, _):
        for earlier in before:
            run(batch, *earlier)
        status, errors = run(*under, batch, *args) if under else run(batch, *args)
        problems = [] if status == 1 else [f"exit {status}: {errors}"]
        if row not in read("out/summary.csv"):
            problems.append("summary.csv:\n" + read("out/summary.csv"))
        if others and not os.path.exists("out/object-spectrum-compressed.fits"):
            problems.append("the good image was not written")
        return problems + leftovers("out")
    return case


def overwrite(batch, _):
    base = ["--calibration", "night.fits", "--out", "out", OBJECT]
    run(batch, *base)
    status, errors = run(batch, "--overwrite", *base)
    return [] if status == 0 else [f"exit {status}: {errors}"]


def interrupted(batch, _):
    """Ctrl-C halfway through a long night: exit 130, every file written whole."""
    os.makedirs("many")
    for i in range(3000):
        os.symlink(os.path.abspath(OBJECT), f"many/o{i}.kr4")
    process = subprocess.Popen([batch, "--calibration", "night.fits", "--out", "out", "--jobs",
                                "2", *sorted(f"many/{n}" for n in os.listdir("many"))],
                               stderr=subprocess.PIPE, text=True)
    process.stderr.readline()  # the first image is done
    process.send_signal(signal.SIGINT)
    process.stderr.read()
    status = process.wait()
    problems = [] if status == 130 else [f"exit {status}"]
    if "not done: interrupted" not in read("out/summary.csv"):
        problems.append("no image left undone")
    return problems + leftovers("out")


def old_calibration(batch, _):
    """A calibration file saved before lamps were kept (SRCKEPT false): it serves without --lamp
    and is refused, with its reason, for --lamp."""
    data = open("night.fits", "rb").read()
    flag = data.find(b"SRCKEPT =") + 29
    open("old.fits", "wb").write(data[:flag] + b"F" + data[flag + 1:])
    plain, errors = run(batch, "--calibration", "old.fits", "--out", "plain", OBJECT)
    problems = [] if plain == 0 else [f"without --lamp: exit {plain}: {errors}"]
    status, errors = run(batch, "--calibration", "old.fits", "--out", "out", "--lamp",
                         "night/neon-lamp.kr4", OBJECT)
    problems += [] if status == 1 else [f"with --lamp: exit {status}: {errors}"]
    if "lamp refused: the calibration file keeps no lamp profile" not in read("out/summary.csv"):
        problems.append("summary.csv:\n" + read("out/summary.csv"))
    return problems + leftovers("out")


def terminal_progress(batch, _):
    """On a terminal: one line redrawn in place, a failed image on a line of its own."""
    import pty
    main, side = pty.openpty()
    status = subprocess.run([batch, "--calibration", "night.fits", "--out", "out", "--jobs", "1",
                             "night/none.kr4", OBJECT], stderr=side, check=False).returncode
    os.close(side)
    shown = b""
    while True:
        try:
            chunk = os.read(main, 65536)
        except OSError:  # EIO: the other side is closed and all is read
            break
        if not chunk:
            break
        shown += chunk
    shown = shown.decode()
    os.close(main)
    wanted = ["\r\x1b[Knight/none.kr4: not read: ", "\r\x1b[K1/2 done, ",
              "\r\x1b[K2/2 done, ", " files/s, ", " s left"]
    missing = [text for text in wanted if text not in shown]
    return ([] if status == 1 else [f"exit {status}"]) + (
        [f"{missing} not in {shown!r}"] if missing or shown.count("\n") != 2 else [])


def parallel_split(batch, _):
    """Two invocations under GNU parallel, one image each, their summaries joined."""
    if shutil.which("parallel") is None:
        print("SKIP: GNU parallel is not installed")
        return None
    subprocess.run(["parallel", "--will-cite", batch, "--calibration", "night.fits", "--out",
                    "part{#}", "{}", ":::", OBJECT, SECOND], check=False)
    joined = HEADER + "".join(read(f"part{n}/summary.csv")[len(HEADER):] for n in (1, 2))
    return [] if sorted(joined.splitlines()) == sorted(
        (HEADER + f"{OBJECT},,,0,0,ok\n{SECOND},,,0,0,ok\n").splitlines()) else [joined]


# The window's side of a re-identification: the saved neon calibration loaded (which chooses the
# lamps it was made with again), "Re-identify on This Lamp" on the other copy of the lamp, the
# object exported.
REIDENTIFY_IN_WINDOW = """open neon.fits
menu Calibration/Load Calibration
open night/neon-lamp-compressed.kr4
click cmdload2
menu Calibration/Re-identify on This Lamp
var refinedLines
open night/object-spectrum.kr4
click cmdload
click cmdcalcspectra
save reidentified
form OBJNAME=HD 37128|OBSERVER=A. N. Other|UTC_OFFSET=-1.5
menu File/Export FITS
"""


def reidentified(batch, _):
    """--lamp: the calibration re-identified on the lamp's own lists, as the window does it."""
    window = subprocess.run([sys.argv[2]], input=REIDENTIFY_IN_WINDOW, capture_output=True,
                            text=True, check=True).stdout
    status, errors = run(batch, "--calibration", "neon.fits", "--out", "out", "--observing",
                         "observing.txt", "--lamp", "night/neon-lamp-compressed.kr4", OBJECT)
    problems = [] if status == 0 else [f"exit {status}: {errors}"]
    for name in ("", "-pixels"):
        if not same_bytes(f"out/object-spectrum{name}.fits", f"reidentified{name}.fits"):
            problems.append(f"object-spectrum{name}.fits differs from the window's")
    lines = window.split("refinedLines: ")[1].split()[0]
    if f",night/neon-lamp-compressed.kr4,0,{lines}," not in read("out/summary.csv") or int(
            lines) < 15:
        problems.append(f"the window used {lines} lines; summary.csv:\n" + read("out/summary.csv"))
    return problems


def star_image(cards):
    """night/star.fits, a 900 x 40 trace with the header cards given; None without astropy."""
    try:
        import numpy
        from astropy.io import fits
    except ImportError as missing:
        print(f"SKIP: {missing}")
        return None
    columns = numpy.arange(900)
    trace = numpy.exp(-0.5 * ((numpy.arange(40) - 20) / 3.0) ** 2)[:, None]
    spectrum = 1000 + 800 * numpy.sin(columns / 37.0) ** 2
    fits.writeto("night/star.fits", (trace * spectrum).astype(numpy.float32), fits.Header(cards))
    return fits


def fits_image(batch, _):
    """A FITS image: reduced, calibrated, its own OBJECT and EXPTIME over the observing file's."""
    fits = star_image({"OBJECT": "Vega", "EXPTIME": 12.5})
    if fits is None:
        return None
    status, errors = run(batch, "--calibration", "night.fits", "--out", "out", "--observing",
                         "observing.txt", "night/star.fits")
    if status != 0:
        return [f"exit {status}: {errors}"]
    written = fits.getheader("out/star.fits")
    return [] if (written["OBJNAME"], written["EXPTIME"]) == ("Vega", 12.5) else [repr(written)]


def barycentric(batch, _):
    """--barycentric: a FITS image placed by its OBJCTRA and OBJCTDEC ("hh mm ss" as cameras
    write them) is corrected; a camera image with no coordinates is refused a correction."""
    fits = star_image({"OBJECT": "Betelgeuse", "EXPTIME": 30.0,
                       "DATE-OBS": "2024-03-14T21:31:05", "OBJCTRA": "05 55 10.3",
                       "OBJCTDEC": "+07 24 25"})
    if fits is None:
        return None
    with open("site.txt", "w", encoding="utf-8") as file:
        file.write(OBSERVING + "GEO_LONG = 2.35\nGEO_LAT = 48.85\nGEO_ELEV = 35\n")
    status, errors = run(batch, "--calibration", "night.fits", "--out", "out", "--observing",
                         "site.txt", "--barycentric", "night/star.fits", OBJECT)
    problems = [] if status == 1 else [f"exit {status}: {errors}"]
    corrected, pixels = fits.getheader("out/star.fits"), fits.getheader("out/star-pixels.fits")
    if corrected.get("SPECSYS") != "BARYCENT" or not 1000 < abs(corrected["VELOSYS"]) < 30000:
        problems.append(repr(corrected))
    if pixels.get("SPECSYS") != "TOPOCENT" or pixels.get("BARYVEL") != corrected["VELOSYS"]:
        problems.append(repr(pixels))
    if "no barycentric correction: " not in read("out/summary.csv"):
        problems.append(read("out/summary.csv"))
    return problems


CASES = {
    "barycentric": barycentric,
    "fits-image": fits_image,
    "same-as-window": same_as_window,
    "missing-calibration": usage_error(["--calibration", "none.fits", "--out", "out", OBJECT],
                                       "none.fits: not a calibration file ("),
    "not-a-calibration": usage_error(["--calibration", OBJECT, "--out", "out", OBJECT],
                                     "not a calibration file (not a FITS file"),
    "out-is-a-file": usage_error(["--calibration", "night.fits", "--out", "observing.txt",
                                  OBJECT], "observing.txt: not a folder"),
    "same-stem": usage_error(["--calibration", "night.fits", "--out", "out", OBJECT,
                              "lamp/object-spectrum.kr4"], "the same name"),
    "bad-observing": usage_error(["--calibration", "night.fits", "--out", "out", "--observing",
                                  "night.fits", OBJECT], "night.fits: line 1: "),
    "unreadable-image": some_failed(["--calibration", "night.fits", "--out", "out",
                                     "night/none.kr4", SECOND],
                                    "night/none.kr4,,,0,0,not read: No such file or directory"),
    "existing-output": some_failed(["--calibration", "night.fits", "--out", "out", OBJECT, SECOND],
                                   "exists (--overwrite replaces it)",
                                   before=[["--calibration", "night.fits", "--out", "out",
                                            OBJECT]]),
    "lamp-refused": some_failed(["--calibration", "night.fits", "--out", "out", "--pairs",
                                 "pairs.txt"], "lamp refused: too few lamp lines found", others=False),
    "overwrite": overwrite,
    "interrupted": interrupted,
    "parallel": parallel_split,
    # Writes that fail as on a full disk: a file size limit under the pixels file's 23,040 bytes.
    "disk-full": some_failed(["--calibration", "night.fits", "--out", "out", OBJECT, SECOND],
                             f"{SECOND},,,0,0,out/object-spectrum-compressed-pixels.fits: File "
                             "too large", others=False, under=("prlimit", "--fsize=20000")),
    "terminal-progress": terminal_progress,
    "old-calibration": old_calibration,
    "reidentified": reidentified,
}


def make_night(script, samplegen, source):
    os.makedirs("lamp")
    shutil.copy(os.path.join(source, "tests/script/data/worked-example-lines.kr4"), "lamp")
    subprocess.run([samplegen, "night"], check=True, capture_output=True)
    with open(os.path.join(source, "tests/tools/batch_make.script"), encoding="utf-8") as make:
        subprocess.run([script], stdin=make, check=True, capture_output=True)
    with open("observing.txt", "w", encoding="utf-8") as file:
        file.write(OBSERVING)
    with open("pairs.txt", "w", encoding="utf-8") as file:
        file.write(f"# a lamp of two lines only\n{OBJECT} lamp/worked-example-lines.kr4\n")


def main():
    batch, script, samplegen, source, case = sys.argv[1:6]
    with tempfile.TemporaryDirectory() as work:
        os.chdir(work)
        make_night(script, samplegen, source)
        problems = CASES[case](batch, source)
    if problems is None:
        return 0
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
