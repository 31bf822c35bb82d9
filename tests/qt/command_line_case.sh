#!/bin/sh
# One case of the desktop program's command line, run as a user runs it: the exit status, what
# goes to standard output and to standard error.
#
# Usage: command_line_case.sh HALVIC CASE VERSION
# Exit 0 when the case passes (or prints "SKIP: ..." when it cannot run here), 1 otherwise.

set -u
halvic=$1
case_name=$2
version=$3
failures=0

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# run STATUS [ENVIRONMENT...] -- ARGUMENTS...: runs the program and checks its exit status.
run() {
  expected_status=$1
  shift
  environment=""
  while [ "$1" != "--" ]; do
    environment="$environment $1"
    shift
  done
  shift
  # shellcheck disable=SC2086 # the environment assignments are separate words on purpose
  env $environment "$halvic" "$@" > "$work/out" 2> "$work/err"
  status=$?
  [ "$status" -eq "$expected_status" ] || fail "exit status $status, not $expected_status"
}

lines_of() { wc -l < "$1" | tr -d ' '; }

# refused TEXT: one line on standard error that says TEXT, nothing on standard output.
refused() {
  [ "$(lines_of "$work/err")" = 1 ] || fail "not one line on standard error: $(cat "$work/err")"
  grep -q -- "$1" "$work/err" || fail "standard error does not say '$1': $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "standard output: $(cat "$work/out")"
}

# A display number nobody listens on: no socket of that X server, by path or abstract name.
free_display() {
  for number in 99 98 97 96 95 94 93 92 91 90; do
    if ! grep -q "/tmp/.X11-unix/X$number\$" /proc/net/unix 2>/dev/null &&
       [ ! -e "/tmp/.X11-unix/X$number" ]; then
      echo ":$number"
      return 0
    fi
  done
  return 1
}

case $case_name in
  help)
    run 0 -- --help
    [ "$(head -n 1 "$work/out")" = "Usage: halvic [OBJECT [LAMP]]" ] ||
      fail "the first line is not the usage: $(head -n 1 "$work/out")"
    grep -q -- "--version" "$work/out" || fail "the help does not name --version"
    [ "$(lines_of "$work/out")" -le 12 ] || fail "more than a few lines of help"
    [ ! -s "$work/err" ] || fail "standard error: $(cat "$work/err")"
    ;;
  version)
    run 0 -- --version
    [ "$(cat "$work/out")" = "halvic $version" ] || fail "version line: $(cat "$work/out")"
    [ ! -s "$work/err" ] || fail "standard error: $(cat "$work/err")"
    ;;
  unknown-option)
    run 2 -- -x object.kr4
    refused "unknown option '-x'"
    ;;
  three-files)
    run 2 -- object.kr4 lamp.kr4 third.kr4
    refused "3 files given"
    ;;
  unreachable-display)
    display=$(free_display) || { echo "SKIP: every display from :90 to :99 is in use"; exit 0; }
    run 1 DISPLAY="$display" QT_QPA_PLATFORM=xcb -- 
    [ "$(cat "$work/err")" = "halvic: cannot open the display $display" ] ||
      fail "standard error: $(cat "$work/err")"
    [ ! -s "$work/out" ] || fail "standard output: $(cat "$work/out")"
    ;;
  *)
    fail "no case named $case_name"
    ;;
esac

[ "$failures" -eq 0 ] || exit 1
echo "PASS: $case_name"
