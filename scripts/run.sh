#!/usr/bin/env bash
# Builds the program in release mode and assembles the run directory build/release/run.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DFMS_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
echo "Built into build/release/run"
