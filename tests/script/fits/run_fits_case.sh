#!/bin/sh
# One end-to-end case of the FITS and CSV exports and the calibration files. The images are
# copied into a fresh temporary folder, halvic-script runs there, and what it wrote is checked by
# software nobody on this project wrote: fitsverify, astropy, specutils and numpy (check_fits.py),
# against the rules worked out apart from the program (../export/reference.py). The folder is
# removed at the end.
#
# Usage: run_fits_case.sh HALVIC_SCRIPT SOURCE_DIR PYTHON CASE
# Exit 0 when the case passes (or prints "SKIP: ..." when it cannot run here), 1 otherwise.

set -u
driver=$1
source_dir=$2
python=$3
case_name=$4
here=$source_dir/tests/script/fits
failures=0
. "$source_dir/tests/script/case_helpers.sh"

if ! readiness=$("$python" "$here/check_fits.py" ready 2>&1); then
  echo "SKIP: $readiness"
  exit 0
fi

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir lamp object
cp "$source_dir/tests/script/data/worked-example-lines.kr4" lamp/
cp "$source_dir/samples/object-spectrum.kr4" object/


# run_session SCRIPT [COMMAND PREFIX...]: runs the script (on standard input, so that a session
# run as another user needs no access to it) into SCRIPT.out and SCRIPT.err; exit status 0.
run_session() {
  name=$1
  shift
  "$@" "$driver" < "$here/$name.script" > "$name.out" 2> "$name.err"
  status=$?
  [ "$status" -eq 0 ] || fail "exit status $status of $name.script: $(cat "$name.err")"
}

# same_as_expected NAME: the transcript and the error stream are the expected ones.
same_as_expected() {
  if ! cmp -s "$1.out" "$here/$1.expected"; then
    fail "transcript of $1.script differs:"
    diff "$here/$1.expected" "$1.out"
  fi
  expected_errors=/dev/null
  [ -f "$here/$1.stderr" ] && expected_errors=$here/$1.stderr
  if ! cmp -s "$1.err" "$expected_errors"; then
    fail "error stream of $1.script differs:"
    diff "$expected_errors" "$1.err"
  fi
  rm -f "$1.out" "$1.err"
}


# check WHAT ARGUMENTS...: one of check_fits.py's checks; it prints what it found.
check() {
  "$python" "$here/check_fits.py" "$@" || fail "check_fits.py $*"
}

case $case_name in
  export)
    run_session export
    same_as_expected export
    check export "$source_dir"
    holds . lamp lamp-cal.fits lamp.csv lamp.fits lamp-pixels.fits object object.fits \
      object-pixels.fits
    holds lamp worked-example-lines.kr4 worked-example-lines.txt
    holds object object-spectrum.kr4 object-spectrum.txt
    ;;
  roundtrip)
    run_session make
    mv object/object-spectrum.txt made.txt
    run_session use
    mv object/object-spectrum.txt used.txt
    check roundtrip "$source_dir"
    cmp made.txt used.txt || fail "the text exports of the two sessions differ"
    cmp made.fits used.fits || fail "made.fits and used.fits differ"
    cmp made-pixels.fits used-pixels.fits || fail "made-pixels.fits and used-pixels.fits differ"
    ;;
  general)
    run_session general
    same_as_expected general
    check general "$source_dir"
    ;;
  failures)
    "$python" "$here/check_fits.py" plain-image plain.fits || fail "no plain FITS image"
    printf 'Neon lamp, 21:12\n' > notes.txt
    : > empty.fits
    run_session failures
    same_as_expected failures
    holds . empty.fits lamp notes.txt object plain.fits
    holds lamp worked-example-lines.kr4
    ;;
  permission-denied)
    # The lamp's folder belongs to root and only its owner may write there; the session runs as
    # nobody, for whom permission bits count (root passes them all).
    needs_another_user
    chmod 0755 "$work" lamp
    chmod 0644 lamp/worked-example-lines.kr4
    run_session permission-denied $as_nobody
    same_as_expected permission-denied
    holds lamp worked-example-lines.kr4
    ;;
  *)
    fail "no case named $case_name"
    ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s) in case $case_name"
  exit 1
fi
echo "case $case_name passed"
