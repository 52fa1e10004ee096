#!/usr/bin/env bash
# The demo: a sample project through every command that exists so far. Everything it writes
# goes to build/demo (the settings too, so the user's own settings stay untouched).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD/build/demo
vemo=$PWD/build/bin/VemoGPS
rm -rf "$root"
mkdir -p "$root"
export VEMOGPS_CONFIG_DIR=$root/config
run() { echo; echo "\$ VemoGPS $*"; "$vemo" "$@"; }

run help
run new-project --name demo --dir "$root/project" --grade 3 --central-meridian 114 \
    --ellipsoid WGS84 --instrument-a 5 --instrument-b 1
run coordinate-systems --add LOCAL1 6378140 298.257
run --project "$root/project/demo.prj" settings --projection utm --x-constant 0 --y-constant 500
echo; echo "project files:"; ls -l "$root/project"

# Coordinate conversion and a transformation on copies of the sample coordinate files (the
# results are appended next to their input, so the samples themselves are never written).
coordinates=$root/coordinates
mkdir -p "$coordinates"
cp examples/coordinates/stations.BLH examples/coordinates/control.XYXY "$coordinates/"
run --print blh2xyz "$coordinates/stations.BLH"
run --print bl2xy "$coordinates/stations.BLH"
run --print transform-4 "$coordinates/control.XYXY"
