#!/bin/sh
# The menu entry as desktop-file-validate (desktop-file-utils) judges it: no error and no warning.
#
# Usage: entry_test.sh ENTRY
# Exit 0 when valid (or "SKIP: ..." when the validator is not installed), 1 otherwise.

set -u
command -v desktop-file-validate > /dev/null ||
  { echo "SKIP: desktop-file-validate is not installed (desktop-file-utils)"; exit 0; }
report=$(desktop-file-validate "$1" 2>&1)
if [ -n "$report" ]; then
  echo "$report"
  exit 1
fi
echo "valid: $1"
