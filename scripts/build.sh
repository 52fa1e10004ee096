#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info): build/bin/VemoGPS,
# build/lib/libVemoDll.so, the test suite and the benchmark programs.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j "$(nproc)"
