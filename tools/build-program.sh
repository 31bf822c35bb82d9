#!/bin/sh
# Builds the program alone in BUILD_DIR (the folder make test uses too, so that its objects serve
# both), quietly: one line, the configure and build lines in BUILD_DIR/make-run.log, shown only
# when the build fails.
#   build-program.sh BUILD_DIR JOBS
set -u
build=$1
jobs=$2
log=$build/make-run.log
mkdir -p "$build"
echo "Building halvic (log: $log)"
{ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVIC_BUILD_TESTS=OFF \
    -DHALVIC_BUILD_BENCHMARKS=OFF --log-level=WARNING &&
  cmake --build "$build" -j "$jobs" --target halvic; } > "$log" 2>&1 ||
  { tail -n 40 "$log"; echo "make run: the build failed; the whole log is $log"; exit 1; }
