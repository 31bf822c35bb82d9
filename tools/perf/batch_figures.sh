#!/bin/sh
# halvic-batch's time and peak memory on N copies of one camera image (symbolic links), with
# --jobs 2: the wall time and the peak resident memory as GNU time reports them.
#
# Usage: batch_figures.sh HALVIC_BATCH CALIBRATION IMAGE N
set -eu
batch=$1
calibration=$(realpath "$2")
image=$(realpath "$3")
count=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/night"
i=1
while [ "$i" -le "$count" ]; do
  ln -s "$image" "$work/night/o$i.kr4"
  i=$((i + 1))
done
/usr/bin/time -f "$count images: %e s wall, %M kB peak" \
  "$batch" --calibration "$calibration" --out "$work/out" --jobs 2 "$work"/night/*.kr4 \
  2>&1 >/dev/null | tail -n 1
