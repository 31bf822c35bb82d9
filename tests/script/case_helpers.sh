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

# needs_another_user: sets as_nobody to the command prefix that runs a session as the unprivileged
# user nobody (for whom permission bits count; root passes them all), or prints "SKIP: ..." and
# ends the case when that cannot be done here. driver must be set.
needs_another_user() {
  if [ "$(id -u)" -ne 0 ] || ! command -v setpriv > /dev/null; then
    echo "SKIP: needs root and setpriv to run the session as another user"
    exit 0
  fi
  as_nobody="setpriv --reuid=nobody --regid=nogroup --clear-groups"
  if ! $as_nobody test -x "$driver"; then
    echo "SKIP: nobody cannot run $driver"
    exit 0
  fi
}
