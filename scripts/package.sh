#!/usr/bin/env bash
# Builds the Debian package of VemoGPS from the build made by scripts/build.sh (which it runs
# first, so that the program, the manual page, the completion and the icons are up to date):
# build/package/vemogps_VERSION_ARCH.deb. Its run-time dependencies are found by
# dpkg-shlibdeps (dpkg-dev) from what the program links, plus what it loads at run time.
# Usage: scripts/package.sh [cmake options for scripts/build.sh]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh "$@" >/dev/null
rm -rf build/package
cpack --config build/CPackConfig.cmake -B build/package >/dev/null
deb=$(ls build/package/*.deb)
echo "$deb"
