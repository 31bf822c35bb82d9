#!/usr/bin/env python3
"""Writes and reads that go wrong, one row each: what the row makes beside lamp/ and object/, the
session it runs there, its transcript and reasons, and the files that must be as they were (and
no hidden file left). Sessions get the default action of every signal (SIGXFSZ too), as a shell
gives them. Usage: write_cases.py HALVIC_SCRIPT SOURCE_DIR LOCALES ROW
"""

import os
import shutil
import subprocess
import sys
import tempfile
from types import SimpleNamespace

LAMP = "lamp/worked-example-lines.kr4"
CALIBRATE = [f"open {LAMP}", "click cmdload2", "select cboscale 43", "set hsbspectra 200",
             "click cmdmarkline1", "select cboscale 42", "set hsbspectra 600", "click cmdmarkline2"]
TEXT = ["open shared/object-spectrum.kr4", "click cmdload", "click cmdtext"]
FITS = CALIBRATE + ["save shared/out", "form OBJNAME=Lamp", "menu File/Export FITS"]
SAVED_AND_LOADED = CALIBRATE + [
    "save night", "menu Calibration/Save Calibration", "open night.fits",
    "menu Calibration/Load Calibration", "print Lblwavelength", "save lamp",
    "form GEO_LONG=-1.25|EXPTIME=30.5", "menu File/Export FITS", "save lamp",
    "menu File/Export CSV"]
AS_NOBODY = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
NOBODY = 65534  # nobody and nogroup on Debian
LINK = "a link owned by another user"
NOT_LOADED = "message: File not loaded successfully"
NOT_SAVED = "message: FITS file not saved: shared/out.fits "
LONG = "n" * 251  # with ".csv" the longest name a folder takes
DRIVER, LOCALES = "", ""  # from the command line


def write(path, owner=0, mode=0o644):
    with open(path, "w") as file:
        file.write("old\n")
    os.chown(path, owner, owner)
    os.chmod(path, mode)


def shared(owner=0):
    """shared/: sticky and writable by anyone, as /tmp is, with the object image in it."""
    os.mkdir("shared")
    os.chown("shared", owner, owner)
    os.chmod("shared", 0o1777)
    shutil.copy("object/object-spectrum.kr4", "shared")


def plant(link, target):
    subprocess.run(AS_NOBODY + ["ln", "-s", os.path.abspath(target), link], check=True)


def synced_without_umask():
    """Each rename comes after one more fsync; the umask is never set."""
    calls = [line.split("(")[0].split()[-1] for line in open("trace")]
    renames = [at for at, call in enumerate(calls) if call.startswith("rename")]
    synced = all(calls[:at].count("fsync") > done for done, at in enumerate(renames))
    return [] if synced and len(renames) == 3 and "umask" not in calls else [f"calls: {calls}"]


def undated(path):
    data = open(path, "rb").read()
    return b"".join(data[at:at + 80] for at in range(0, len(data), 80)
                    if not data.startswith(b"DATE    =", at))


def kept_owner_and_mode():
    found = os.stat("shared/object-spectrum.txt")
    kept = (found.st_uid, found.st_gid, found.st_mode & 0o7777) == (NOBODY, NOBODY, 0o640)
    return [] if kept and found.st_size > 4 else ["the export lost the owner or mode it replaced"]


def same_as_under_c():
    """The files are those of the same session under C.UTF-8 (a DATE card aside) and valid."""
    subprocess.run(["env", "LC_ALL=C.UTF-8", DRIVER], input="\n".join(SAVED_AND_LOADED),
                   cwd="../point", capture_output=True, text=True)
    names = sorted(name for name in os.listdir("../point") if name.endswith((".fits", ".csv")))
    problems = [] if len(names) == 4 else [f"written under C.UTF-8: {names}"]
    problems += [f"{name} is not what C.UTF-8 writes" for name in names
                 if undated(name) != undated(f"../point/{name}")]
    verified = lambda name: subprocess.run(["fitsverify", "-q", name], capture_output=True)
    return problems + [f"fitsverify refuses {name}" for name in names
                       if name.endswith(".fits") and verified(name).returncode]


def Row(script, out=(), err=(), prepare=lambda: None, prefix=(), needs="", kept=(),
        check=lambda: []):
    return SimpleNamespace(**locals())


ROWS = {
    "comma-locale": Row(
        SAVED_AND_LOADED, needs="comma locale", prepare=lambda: shutil.copytree(".", "../point"),
        prefix=["env", "LOCPATH={locales}", "LC_ALL=de_DE.UTF-8"], check=same_as_under_c,
        out=["Lblwavelength: Focal length (mm)= 140.10\\r\\nAlpha Angle (deg)= 02.505\\r\\nPixel "
             "381 Wavelength (A) = 5793.14\\r\\nDispersion (A/mm) = 472.6450"]),
    "links-planted": Row(
        TEXT + ["input shared/strip", "click cmdstrip"], needs="two users",
        prepare=lambda: (shared(), write("secret.txt", mode=0o600),
                         plant("shared/object-spectrum.txt", "secret.txt"),
                         plant("shared/strip.kr4", "secret.txt")),
        out=[f"message: Text file not saved: shared/object-spectrum.txt ({LINK})",
             "input-box: Enter file name where spectral strip will be saved | Input full file "
             "name (without extension):  | shared/", "message: Invalid path name - try again!"],
        err=[f"reason: shared/object-spectrum.txt: {LINK}", f"reason: shared/strip.kr4: {LINK}"],
        kept=["secret.txt", "shared/object-spectrum.txt", "shared/strip.kr4"]),
    "link-of-the-folders-owner": Row(
        TEXT, needs="two users",
        prepare=lambda: (shared(NOBODY), plant("shared/object-spectrum.txt", "object/a.txt")),
        check=lambda: [] if os.path.exists("object/a.txt") else ["the link was not followed"]),
    "owner-and-mode-kept": Row(
        TEXT, needs="two users",
        prepare=lambda: (shared(), write("shared/object-spectrum.txt", NOBODY, 0o640)),
        check=kept_owner_and_mode),
    "fits-size-limit": Row(
        FITS, out=[NOT_SAVED + "(File too large)"], err=["reason: File too large"],
        prefix=["prlimit", "--fsize=5000"], kept=["shared/out.fits", "shared/out-pixels.fits"],
        prepare=lambda: (shared(), write("shared/out.fits"), write("shared/out-pixels.fits"))),
    "fits-name-is-a-folder": Row(
        FITS, out=[NOT_SAVED + "(Is a directory)"], err=["reason: Is a directory"],
        kept=["shared/out-pixels.fits"],
        prepare=lambda: (shared(), os.mkdir("shared/out.fits"), write("shared/out-pixels.fits"))),
    "fits-second-rename-refused": Row(
        FITS, out=[NOT_SAVED + "(Operation not permitted)"], needs="two users", prefix=AS_NOBODY,
        err=["reason: Operation not permitted"], kept=["shared/out.fits", "shared/out-pixels.fits"],
        prepare=lambda: (shared(), write("shared/out.fits"),
                         write("shared/out-pixels.fits", NOBODY))),
    "longest-legal-name": Row(
        [f"open {LAMP}", "click cmdload2", f"save {LONG}", "menu File/Export CSV",
         "print Lblwavelength"], out=[f"Lblwavelength: {LONG}.csv saved as CSV file"]),
    "synced-without-umask": Row(
        FITS + ["click cmdtext"], needs="strace", prepare=shared, check=synced_without_umask,
        prefix=["env", "ASAN_OPTIONS=detect_leaks=0",  # the leak check cannot run under ptrace
                "strace", "-f", "-qq", "-o", "trace", "-e",
                "trace=umask,fsync,rename,renameat,renameat2"]),
    "image-named-as-its-export": Row(
        ["open object/a.txt", "click cmdload", "click cmdtext"], kept=["object/a.txt"],
        prepare=lambda: shutil.copy("object/object-spectrum.kr4", "object/a.txt"),
        out=["message: Text file not saved: object/a.txt (it is the image itself)"],
        err=["reason: object/a.txt: it is the image itself"]),
    "image-of-a-short-name": Row(
        ["open object/ab", "click cmdload", "click cmdtext", "print Lblwavelength"],
        prepare=lambda: shutil.copy("object/object-spectrum.kr4", "object/ab"),
        out=["Lblwavelength: object/ab.txt saved as text file"]),
    "system-reasons": Row(
        ["open /proc/self/mem", "click cmdload", "open /proc/self/mem",
         "menu Calibration/Load Calibration", f"open {LAMP}/a.kr4", "click cmdload",
         "open loop.kr4", "click cmdload", "var dataLoaded", "var calibrated"],
        prepare=lambda: os.symlink("loop.kr4", "loop.kr4"),
        out=[NOT_LOADED, "message: Not a calibration file: /proc/self/mem", NOT_LOADED, NOT_LOADED,
             "dataLoaded: false", "calibrated: false"],
        err=["reason: Input/output error", "reason: Input/output error", "reason: Not a directory",
             "reason: Too many levels of symbolic links"]),
}


def unmet(need):
    """Why this machine cannot run a row that needs need; None when it can."""
    if need == "two users" and not (os.geteuid() == 0 and shutil.which("setpriv") and not
                                    subprocess.run(AS_NOBODY + ["test", "-x", DRIVER]).returncode):
        return "needs root and setpriv, and a driver that nobody may run"
    if need == "strace" and not (shutil.which("strace") and not
                                 subprocess.run(["strace", "-o", "/dev/null", "true"]).returncode):
        return "strace is missing or cannot trace here"
    if need == "comma locale" and not (os.path.isdir(f"{LOCALES}/de_DE.UTF-8") and
                                       shutil.which("fitsverify")):
        return f"no de_DE.UTF-8 in {LOCALES}, or no fitsverify"
    return None


def state(path):
    """A kept file's content (a link's target), mode and owner; None when it is absent."""
    if not os.path.lexists(path):
        return None
    found = os.lstat(path)
    return os.readlink(path) if os.path.islink(path) else open(path, "rb").read(), \
        found.st_mode, found.st_uid


def run(row):
    before = {path: state(path) for path in row.kept}
    session = subprocess.run([part.format(locales=LOCALES) for part in row.prefix] + [DRIVER],
                             input="\n".join(row.script) + "\n", capture_output=True, text=True)
    problems = [f"{path} changed" for path in row.kept if state(path) != before[path]]
    problems += [f"left behind: {place}/{name}" for place, _, names in os.walk(".")
                 for name in names if name.startswith(".")]
    for what, found, expected in (("exit status", session.returncode, 0),
                                  ("transcript", session.stdout.splitlines(), list(row.out)),
                                  ("errors", session.stderr.splitlines(), list(row.err))):
        problems += [f"{what} {found}, expected {expected}"] if found != expected else []
    return problems + row.check()


def main():
    global DRIVER, LOCALES
    DRIVER, source, LOCALES, name = os.path.abspath(sys.argv[1]), *sys.argv[2:]
    if reason := unmet(ROWS[name].needs):
        print(f"SKIP: {reason}")
        return 0
    with tempfile.TemporaryDirectory() as top:
        os.chmod(top, 0o755)  # a session run as nobody reaches the images
        os.makedirs(f"{top}/session/lamp")
        os.mkdir(f"{top}/session/object")
        os.chdir(f"{top}/session")
        shutil.copy(f"{source}/tests/script/data/worked-example-lines.kr4", "lamp")
        shutil.copy(f"{source}/samples/object-spectrum.kr4", "object")
        ROWS[name].prepare()
        problems = run(ROWS[name])
    print("".join(f"FAIL: {problem}\n" for problem in problems) + f"row {name}: {len(problems)} "
          "problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
