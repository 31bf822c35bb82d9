# What the end-to-end case runners share; sourced after they set `failures=0`.

# fail TEXT...: counts a failure and says what it was.
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# holds FOLDER NAME...: the folder holds exactly these names, hidden ones included (a temporary
# file left behind would show here).
holds() {
  folder=$1
  shift
  actual=$(LC_ALL=C ls -A "$folder" | tr '\n' ' ')
  wanted=""
  if [ $# -gt 0 ]; then
    wanted=$(printf '%s\n' "$@" | LC_ALL=C sort | tr '\n' ' ')
  fi
  [ "$actual" = "$wanted" ] || fail "$folder holds '$actual', expected '$wanted'"
}
