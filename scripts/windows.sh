#!/usr/bin/env bash
# The Windows build: cross-compiles with mingw-w64 into build/windows, assembles the folder a
# user zips (build/windows/FMS-Windows) and runs the Windows tests under Wine and Xvfb.
# Usage: scripts/windows.sh [BEZEL_TGA]   (the bezel picture a native build drew)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh windows
jobs=$(nproc)
bezel=${1:-build/release-gcc/run/textures/CDU_Tex.tga}
out=build/windows

cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DFMS_WERROR=ON -DFMS_BENCH=OFF -DFMS_BEZEL_PICTURE="$(realpath -m "$bezel")" >/dev/null
cmake --build "$out" -j"$jobs" --target fms fms-sim fms-navdata test_win32 test_cdu test_navdb test_flightplan test_guidance
[ -f "$bezel" ] && cmake --build "$out" --target bezel-picture sample-data

# The folder to zip.
folder=$out/FMS-Windows
rm -rf "$folder"
mkdir -p "$folder"
cp "$out/run/fms.exe" "$out/run/fms-sim.exe" "$out/fms-navdata.exe" "$folder/"
cp -r data "$folder/data"
[ -f "$bezel" ] && mkdir -p "$folder/textures" && cp "$bezel" "$folder/textures/CDU_Tex.tga"
cp docs/windows.md "$folder/README.txt"

# Wine: its own prefix, no Mono or Gecko installers, no debug chatter, bounded in time.
export WINEPREFIX=$PWD/$out/wineprefix
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export WINEARCH=win64
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" >/dev/null 2>&1 || true
}
trap cleanup EXIT
export DISPLAY=$display
timeout 300 wineboot -i >/dev/null 2>&1 || true
timeout 120 wineserver -w || true

echo "-- Windows tests under Wine"
ctest --test-dir "$out" --output-on-failure --timeout 600

# The programs of the folder as a user starts them, driven from this side by the native
# end-to-end test program (a build folder given as FMS_NATIVE_BUILD, release-gcc by default).
native=${FMS_NATIVE_BUILD:-build/release-gcc}
if [ -x "$native/tests/test_gui" ]; then
  echo "-- fms.exe and fms-sim.exe under Wine"
  # A new Wine server for the test's own display.
  wineserver -k >/dev/null 2>&1 || true
  timeout 60 wineserver -w || true
  unset DISPLAY
  FMS_WINDOWS_DIR=$PWD/$folder "$native/tests/test_gui" --gtest_filter='WineSmoke.*'
else
  echo "-- no $native/tests/test_gui: the Wine smoke test did not run"
fi
echo "-- Windows folder: $folder"
