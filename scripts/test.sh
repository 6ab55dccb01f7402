#!/usr/bin/env bash
# Builds and runs every test: the whole suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, the whole suite again
# in Release with GCC (what the run command ships) and with clang, and each fuzz target for a
# bounded number of inputs; once, in the Release GCC build, a flight of the program in
# FlightGear; the Windows build is cross-compiled and its tests run under Wine. Warnings are
# errors in every build.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
jobs=$(nproc)
fuzz_runs=${FMS_FUZZ_RUNS:-20000}

echo "== Tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DFMS_SANITIZE=ON -DFMS_WERROR=ON -DFMS_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir build/asan --output-on-failure -j"$jobs"

echo "== Threaded tests under ThreadSanitizer (test suites named *Threads)"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=Debug -DFMS_TSAN=ON -DFMS_GUI=OFF -DFMS_WERROR=ON -DFMS_BENCH=OFF >/dev/null
# Only the executables that hold *Threads suites.
cmake --build build/tsan -j"$jobs" --target test_navdb test_pages test_simlink
TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1} ctest --test-dir build/tsan --output-on-failure -R 'Threads\.' --no-tests=ignore

echo "== Release build with GCC"
cmake -S . -B build/release-gcc -DCMAKE_BUILD_TYPE=Release -DFMS_WERROR=ON >/dev/null
cmake --build build/release-gcc -j"$jobs"
ctest --test-dir build/release-gcc --output-on-failure -j"$jobs"

echo "== Flight in FlightGear through fms-fgbridge (Release GCC build; installs FlightGear when missing)"
if ! command -v fgfs >/dev/null && [ ! -x /usr/games/fgfs ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq || true
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends flightgear
fi
# Bounded: FlightGear's start (a first start builds its navigation cache), about six minutes
# of flight, and a FlightGear that never starts fails within four minutes with its log.
FMS_FLIGHTGEAR_TEST=1 timeout 900 ctest --test-dir build/release-gcc --output-on-failure -R '^FlightGearFlight\.'

echo "== Release build with clang"
CC=clang CXX=clang++ cmake -S . -B build/release-clang -DCMAKE_BUILD_TYPE=Release -DFMS_WERROR=ON -DFMS_BENCH=OFF >/dev/null
cmake --build build/release-clang -j"$jobs"
ctest --test-dir build/release-clang --output-on-failure -j"$jobs"

echo "== Windows build (mingw-w64), its tests under Wine"
./scripts/windows.sh build/release-gcc/run/textures/CDU_Tex.tga

echo "== Fuzz targets, $fuzz_runs inputs each"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFMS_FUZZ=ON -DFMS_WERROR=ON >/dev/null
cmake --build build/fuzz -j"$jobs"
shopt -s nullglob
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  seeds=fuzz/seeds/${name#fuzz_}
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  echo "-- $name"
  "$target" -runs="$fuzz_runs" -max_len=8192 -seed=1 "${args[@]}" 2>&1 | tail -n 2
done
echo "== All tests passed"
