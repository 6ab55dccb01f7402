#!/usr/bin/env bash
# Builds the program in release mode (run directory build/release/run) and starts the stand-in
# simulator fms-sim in its sample scenario, airborne near Seattle, with its console on this
# terminal. Extra arguments go to fms-sim (for example --scenario ksea-ground; --help lists all).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DFMS_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
echo "Built into build/release/run"
exec build/release/run/fms-sim --scenario ksea "$@"
