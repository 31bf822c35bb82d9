#!/bin/sh
# Makes the user guide's pictures (docs/user-guide/*.png) with halvic-guide-screenshots. The
# program runs in a fresh temporary folder holding a copy of samples/, so that the paths it shows
# are the guide's (samples/neon-lamp.kr4) and the files the road writes (the text export, the
# FITS files) stay out of the repository; with a settings folder of its own there, so that no
# remembered folder or observing detail of the user's reaches the pictures; and with a print
# system that has no printer, so that "Print Graph" shows the same message wherever the pictures
# are made. Without QT_QPA_PLATFORM set it runs under a virtual display (xvfb-run, package xvfb)
# of 1024 x 768 at 24 bits, so that fonts and widgets are drawn as on a desktop.
#
# Usage: make_screenshots.sh HALVIC_GUIDE_SCREENSHOTS SOURCE_DIR OUTPUT_FOLDER
# Exit status: the tool's (0 when every step went as the guide says).

set -u
tool=$1
source_dir=$2
output=$3

mkdir -p "$output" || exit 2
output=$(cd "$output" && pwd)
case $tool in
  /*) ;;
  *) tool=$(pwd)/$tool ;;
esac
work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT
mkdir "$work/samples" "$work/home"
cp "$source_dir"/samples/*.kr4 "$work/samples/" || exit 2

HOME=$work/home
XDG_CONFIG_HOME=$work/home/.config
CUPS_SERVER=$work/no-print-system.sock
LANG=C.UTF-8
export HOME XDG_CONFIG_HOME CUPS_SERVER LANG
unset LPDEST PRINTER

cd "$work" || exit 2
if [ -n "${QT_QPA_PLATFORM:-}" ]; then
  "$tool" "$output"
else
  command -v xvfb-run > /dev/null || {
    echo "xvfb-run is missing: install the package xvfb" >&2
    exit 2
  }
  xvfb-run -a -s "-screen 0 1024x768x24" "$tool" "$output"
fi
