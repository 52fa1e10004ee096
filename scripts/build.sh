#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info): build/bin/VemoGPS,
# build/lib/libVemoDll.so, the test suite and the benchmark programs.
set -euo pipefail
cd "$(dirname "$0")/.."
# A compiler cache (ccache, installed by install-deps.sh) lets a rebuild in another clone or
# folder reuse what was compiled before: paths are hashed relative to the repository root.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
cmake --build build -j "$(nproc)"
