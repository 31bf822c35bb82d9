#!/bin/sh
# One end-to-end case of "Write Text File". The export writes beside the image, so the samples
# are copied into a fresh temporary folder, halvic-script runs there (its relative paths are the
# folder's), and the transcript, the exported files and what the folders hold afterwards are
# compared with the expected ones here. The folder is removed at the end.
#
# Usage: run_export_case.sh HALVIC_SCRIPT SOURCE_DIR CASE
# Exit 0 when the case passes (or prints "SKIP: ..." when it cannot run here), 1 otherwise.

set -u
driver=$1
source_dir=$2
case_name=$3
here=$source_dir/tests/script/export
python=/usr/bin/python3
failures=0
. "$source_dir/tests/script/case_helpers.sh"

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir lamp object
cp "$source_dir/samples/neon-lamp.kr4" lamp/
cp "$source_dir/samples/object-spectrum.kr4" object/


# run_session SCRIPT EXPECTED [COMMAND PREFIX...]: runs the script (given on standard input, so
# that a session run as another user needs no access to it) and compares the transcript, the
# error stream (empty) and the exit status (0).
run_session() {
  script=$here/$1.script
  expected=$here/$2.expected
  shift 2
  "$@" "$driver" < "$script" > transcript 2> errors
  status=$?
  if ! cmp -s transcript "$expected"; then
    fail "transcript of $script differs from $expected:"
    diff "$expected" transcript
  fi
  if [ -f "${expected%.expected}.stderr" ]; then
    cmp -s errors "${expected%.expected}.stderr" ||
      fail "error stream of $script differs from ${expected%.expected}.stderr: $(cat errors)"
  elif [ -s errors ]; then
    fail "error stream of $script:"
    cat errors
  fi
  [ "$status" -eq 0 ] || fail "exit status $status of $script"
  rm -f transcript errors
}

# same_file ACTUAL EXPECTED_NAME: the exported file is the expected one, byte for byte.
same_file() {
  if [ ! -f "$1" ]; then
    fail "$1 was not written"
  elif ! cmp "$1" "$here/$2"; then
    fail "$1 differs from $2"
  fi
}


case $case_name in
  cal-then-data)
    run_session cal-then-data cal-then-data
    same_file lamp/neon-lamp.txt neon-lamp-cal.txt
    same_file object/object-spectrum.txt object-spectrum-data.txt
    holds lamp neon-lamp.kr4 neon-lamp.txt
    holds object object-spectrum.kr4 object-spectrum.txt
    ;;
  no-image)
    run_session no-image no-image
    holds lamp neon-lamp.kr4
    holds object object-spectrum.kr4
    holds . lamp object
    ;;
  twice)
    # An older, longer file of that name is replaced without a question; its permissions stay.
    head -c 20000 /dev/zero | tr '\0' x > lamp/neon-lamp.txt
    chmod 0604 lamp/neon-lamp.txt
    run_session export-cal export-cal
    same_file lamp/neon-lamp.txt neon-lamp-cal.txt
    run_session twice twice
    same_file lamp/neon-lamp.txt neon-lamp-cal-rows-11-20.txt
    [ "$(stat -c %a lamp/neon-lamp.txt)" = 604 ] || fail "permissions of the replaced file changed"
    holds lamp neon-lamp.kr4 neon-lamp.txt
    ;;
  is-a-directory)
    mkdir lamp/neon-lamp.txt
    run_session refused refused-is-a-directory
    holds lamp neon-lamp.kr4 neon-lamp.txt
    holds lamp/neon-lamp.txt
    ;;
  permission-denied)
    # The image's folder belongs to root and only its owner may write there; the session runs as
    # nobody, for whom permission bits count (root passes them all).
    needs_another_user
    chmod 0755 "$work" lamp
    chmod 0644 lamp/neon-lamp.kr4
    run_session refused refused-permission-denied $as_nobody
    holds lamp neon-lamp.kr4
    ;;
  file-too-large)
    # A file size limit smaller than the export: the write fails with EFBIG instead of killing the
    # session, since the program ignores SIGXFSZ (the case leaves the signal as it finds it), and
    # the export made before the limit stays as it was.
    run_session export-cal export-cal
    same_file lamp/neon-lamp.txt neon-lamp-cal.txt
    run_session refused refused-file-too-large prlimit --fsize=1000
    same_file lamp/neon-lamp.txt neon-lamp-cal.txt
    holds lamp neon-lamp.kr4 neon-lamp.txt
    ;;
  calibrated)
    cp "$source_dir/tests/script/data/worked-example-lines.kr4" lamp/
    run_session calibrated calibrated
    "$python" "$here/reference.py" calibrated-export lamp/worked-example-lines.kr4 \
      200 6562.852 600 4861.33 > expected-export.txt
    cmp lamp/worked-example-lines.txt expected-export.txt ||
      fail "the calibrated export differs from the reference"
    rm -f expected-export.txt
    holds lamp neon-lamp.kr4 worked-example-lines.kr4 worked-example-lines.txt
    ;;
  strips)
    cp "$source_dir/samples/neon-lamp-compressed.kr4" "$source_dir/tests/script/data/no-letter-i.kr4" lamp/
    head -c 100000 /dev/zero | tr '\0' x > object/object-strip.kr4
    run_session strips strips
    for strip in "object/object-strip object/object-spectrum.kr4 object/object-spectrum.kr4" \
      "lamp/lamp-strip lamp/neon-lamp-compressed.kr4 lamp/neon-lamp.kr4" \
      "lamp/no-letter-i-strip lamp/no-letter-i.kr4 lamp/no-letter-i.kr4" \
      "object/object-strip-2 object/object-spectrum.kr4 object/object-spectrum.kr4" \
      "lamp/no-letter-i-strip-2 lamp/no-letter-i.kr4 lamp/no-letter-i.kr4"; do
      set -- $strip
      "$python" "$here/reference.py" strip "$2" "$3" > expected-strip.kr4
      cmp "$1.kr4" expected-strip.kr4 || fail "$1.kr4 differs from the reference"
    done
    rm -f expected-strip.kr4
    holds object object-spectrum.kr4 object-strip-2.kr4 object-strip.kr4
    holds lamp lamp-strip.kr4 neon-lamp-compressed.kr4 neon-lamp.kr4 no-letter-i-strip-2.kr4 \
      no-letter-i-strip.kr4 no-letter-i.kr4
    ;;
  strip-file-too-large)
    # The strip file made first stays whole when a size limit stops the second.
    run_session strip-first strip-first
    cp lamp/strip.kr4 first-strip.kr4
    run_session strip-refused strip-refused-too-large prlimit --fsize=1000
    cmp lamp/strip.kr4 first-strip.kr4 || fail "the earlier strip file changed"
    rm -f first-strip.kr4
    holds lamp neon-lamp.kr4 strip.kr4
    ;;
  strip-permission-denied)
    needs_another_user
    chmod 0755 "$work" lamp
    chmod 0644 lamp/neon-lamp.kr4
    run_session strip-refused strip-refused-permission $as_nobody
    holds lamp neon-lamp.kr4
    ;;
  unreadable-image)
    # An image its user may not read: the load's message, and the image loaded before stays.
    needs_another_user
    chmod 0755 "$work" lamp object
    chmod 0644 object/object-spectrum.kr4
    chmod 0000 lamp/neon-lamp.kr4
    run_session unreadable-image unreadable-image $as_nobody
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
