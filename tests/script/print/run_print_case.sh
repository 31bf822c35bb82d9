#!/bin/sh
# One end-to-end case of "Print Graph". The headless printer writes the page named in the script's
# "printer W H graph.page" into the working folder, so each case runs halvic-script in a fresh
# temporary folder holding the images it opens (data/ and samples/ as in the repository), then
# compares the transcript with CASE.expected and the page with CASE.page. A case without a
# CASE.page prints nothing: then no page file may be left in the folder. The folder is removed at
# the end.
#
# The expected pages are written by make_expected_pages.py from the printout's rule alone; the
# key figures were also checked by hand (1100 x 850 page: left 110, top 85, plotW 880, plotH 680,
# tick 8, bottom 765, rowStep 61.82; texts 10 units a character wide, 20 high):
#   vertical tick 1 at y 85 + [61.82] = 147: "line 110 147 118 147" and "line 990 147 982 147";
#   " 100" (40 wide) at x 110 - 8 - 40 = 62, y 147 - 10: "text 62 137  100"; "0" at 92, 745;
#   wavelength ticks every 880 / 18 = 48.89: tick 1 at x 159, tick 17 at 941; the label " 4000"
#   (50 wide) at 110 - 25 = 85, y 765 + 8: "text 85 773  4000", the 19th, " 7600", at 965;
#   the rising calibration's axis starts at 5400 (5480 A at pixel 1 is the shorter end);
#   "( 1400)" at x 102 - 70 = 32, y 85 + 680 \ 11 + 10 = 156; "( 200)" at 42, 765 - 40 = 725;
#   on the 1101-wide page the 55-character title sits at 550.5 - 275 = 275.5, printed 276 (half
#   to even), "Pixel Number" at 550.5 - 60 = 490.5, printed 490; the ramp's last segment drawn,
#   columns 400 (1900, y 245.52) to 401 (0, y 1232.5, below the frame), is cut at the bottom edge
#   at x 570.74: "line 570 246 571 765".
#
# Usage: run_print_case.sh HALVIC_SCRIPT SOURCE_DIR CASE
# Exit 0 when the case passes, 1 otherwise.

set -u
driver=$1
source_dir=$2
case_name=$3
here=$source_dir/tests/script/print
failures=0
. "$source_dir/tests/script/case_helpers.sh"

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir data samples
cp "$source_dir/tests/script/data/ramp-400x10.kr4" "$source_dir/tests/script/data/worked-example-lines.kr4" data/
cp "$source_dir/samples/neon-lamp.kr4" samples/


"$driver" < "$here/$case_name.script" > transcript 2> errors
status=$?
if ! cmp -s transcript "$here/$case_name.expected"; then
  fail "transcript differs from $case_name.expected:"
  diff "$here/$case_name.expected" transcript
fi
if [ -s errors ]; then
  fail "error stream:"
  cat errors
fi
[ "$status" -eq 0 ] || fail "exit status $status"

if [ -f "$here/$case_name.page" ]; then
  if [ ! -f graph.page ]; then
    fail "no page was written"
  elif ! cmp -s graph.page "$here/$case_name.page"; then
    fail "the page differs from $case_name.page:"
    diff "$here/$case_name.page" graph.page | head -40
  fi
elif [ -e graph.page ]; then
  fail "a page was written although nothing was printed"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s) in case $case_name"
  exit 1
fi
echo "case $case_name passed"
