#!/usr/bin/env bash
# Writes world/navdata.tar.xz: the whole world's navigation database converted by fms-navdata
# from the X-Plane source files (apt.dat, nav.dat, fix.dat, awy.dat, gzip-compressed or plain).
#
#   scripts/make-world-db.sh [SOURCE_DIR]     (default: ../shared/data/xplane)
#
# The archive holds airports.txt, Navaids.txt, Waypoints.txt, Ats.txt and Cycle.txt;
# scripts/run.sh --world unpacks it. world/NOTICE states its source and licence.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=${1:-../shared/data/xplane}
./scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DFMS_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target fms-navdata
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
./build/release/fms-navdata --input "$source_dir" --output "$out"
# Fixed names, order and times, so that the same source gives the same archive.
tar --sort=name --mtime=2013-10-17 --owner=0 --group=0 --numeric-owner -C "$out" \
  -cf - airports.txt Navaids.txt Waypoints.txt Ats.txt Cycle.txt | xz -9e -T1 > world/navdata.tar.xz.new
mv world/navdata.tar.xz.new world/navdata.tar.xz
ls -l world/navdata.tar.xz
