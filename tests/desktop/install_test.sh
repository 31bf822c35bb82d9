#!/bin/sh
# `make install` and `make uninstall` into a temporary DESTDIR, once for each prefix below: the
# install puts the program, its menu entry, its icon and the user guide with every picture the
# guide shows where a desktop looks for them under the prefix, the entry names the installed
# program and icon, and the uninstall then leaves nothing of it, while a file that was there
# before the install stays. The install uses a component of its own, so that its manifest
# (install_manifest_halvic.txt, removed at the end) is not the one a real `make install` left.
#
# Usage: install_test.sh CMAKE BUILD_DIR SOURCE_DIR
# Exit 0 when every check passes, 1 otherwise.

set -u
cmake=$1
build=$2
source=$3
manifest=$build/install_manifest_halvic.txt
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"; rm -f "$manifest"' EXIT

# The files the guide links to beside it (its pictures), as it names them; not its own sections
# (#...) nor web addresses.
pictures=$(grep -o '](\([^)#:]*\))' "$source/docs/USER-GUIDE.md" | sed 's/^](//; s/)$//' | sort -u)
[ -n "$pictures" ] || fail "the guide links to no picture"

# check_prefix PREFIX: one install and uninstall under PREFIX.
check_prefix() {
  prefix=$1
  dest=$work/dest${prefix}
  root=$work/dest
  rm -rf "$root"
  mkdir -p "$dest/share/applications"
  echo "[Desktop Entry]" > "$dest/share/applications/someone-else.desktop"

  DESTDIR=$root "$cmake" --install "$build" --prefix "$prefix" --component halvic \
    > "$work/install.log" 2>&1 || {
    cat "$work/install.log"
    fail "install under $prefix failed"
    return
  }
  [ -x "$dest/bin/halvic" ] || fail "$prefix/bin/halvic is not an installed program"
  entry=$dest/share/applications/halvic.desktop
  [ -f "$entry" ] || fail "$prefix/share/applications/halvic.desktop is missing"
  [ -f "$dest/share/icons/hicolor/scalable/apps/halvic.svg" ] ||
    fail "$prefix/share/icons/hicolor/scalable/apps/halvic.svg is missing"
  cmp -s "$dest/share/doc/halvic/USER-GUIDE.md" "$source/docs/USER-GUIDE.md" ||
    fail "$prefix/share/doc/halvic/USER-GUIDE.md is not the guide"
  for picture in $pictures; do
    # A picture not made on this machine (its step skipped) is not in the source either.
    [ -f "$source/docs/$picture" ] || continue
    cmp -s "$dest/share/doc/halvic/$picture" "$source/docs/$picture" ||
      fail "$prefix/share/doc/halvic/$picture is not the guide's picture"
  done
  if [ -f "$entry" ]; then
    # A desktop runs Exec from the PATH and finds Icon by name in the icon theme's folders.
    program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$dest/bin/$program" ] || fail "Exec=$program is not the installed program"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$dest/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
      fail "Icon=$icon is not the installed icon"
  fi

  DESTDIR=$root "$cmake" -DMANIFEST="$manifest" -P "$source/cmake/Uninstall.cmake" > "$work/uninstall.log" 2>&1 || {
    cat "$work/uninstall.log"
    fail "uninstall under $prefix failed"
    return
  }
  left=$(cd "$root" && find . \( -type f -o -type l \) ! -path "*/someone-else.desktop" | sort)
  [ -z "$left" ] || fail "left after uninstalling from $prefix: $left"
  [ ! -e "$dest/share/doc/halvic" ] || fail "$prefix/share/doc/halvic is still there"
  [ -f "$dest/share/applications/someone-else.desktop" ] ||
    fail "the uninstall removed a file it had not installed"
}

for prefix in /usr/local /opt/halvic; do
  check_prefix "$prefix"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "installed and uninstalled under /usr/local and /opt/halvic"
