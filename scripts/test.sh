#!/usr/bin/env bash
# Runs the whole test suite of a build made by scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
ctest --test-dir build --output-on-failure -j "$(nproc)"
