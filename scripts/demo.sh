#!/usr/bin/env bash
# The demo: a sample project through every command that exists so far. Everything it writes
# goes to build/demo (the settings too, so the user's own settings stay untouched).
set -euo pipefail
cd "$(dirname "$0")/.."
# VEMO_DEMO_ROOT puts it elsewhere, VEMO_DEMO_BIN takes the programs from another build,
# and VEMO_DEMO_LANGUAGE (zh_CN, en) sets the interface language (a test runs it in both).
root=${VEMO_DEMO_ROOT:-$PWD/build/demo}
bin=${VEMO_DEMO_BIN:-$PWD/build/bin}
vemo=$bin/VemoGPS
rm -rf "$root"
mkdir -p "$root"
export VEMOGPS_CONFIG_DIR=$root/config
if [ -n "${VEMO_DEMO_LANGUAGE:-}" ]; then
  mkdir -p "$VEMOGPS_CONFIG_DIR"
  printf '[Interface]\nLanguage=%s\n' "$VEMO_DEMO_LANGUAGE" > "$VEMOGPS_CONFIG_DIR/settings.ini"
fi
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

# The sample project, generated from one set of true coordinates plus noise
# (examples/README.md), through the data commands and the checks.
sample=$root/sample
run new-project --name sample --dir "$sample" --grade 3 --ellipsoid CGCS2000 --central-meridian 114 \
    --y-constant 500 --instrument-a 5 --instrument-b 1
echo; echo "\$ make_sample_project --project $sample/sample.prj"
"$bin/make_sample_project" --project "$sample/sample.prj"
in_sample() { run --project "$sample/sample.prj" "$@"; }
# The periods arrive as receiver software exports them: written in three packages' formats
# and imported back into the project, which makes the synchronous files anew.
exports=$root/exports
echo; echo "\$ make_baseline_exports ... (periods 1-3 Trimble, 4-5 Leica, 6-7 GAMIT; baseline types 0, 2, 8)"
"$bin/make_baseline_exports" --format trimble --out "$exports" "$sample"/S0[1-3].GPS3DVector_S
"$bin/make_baseline_exports" --format leica --stations "$sample/truth.txt" --out "$exports" \
    "$sample"/S0[45].GPS3DVector_S
"$bin/make_baseline_exports" --format gamit --out "$exports" "$sample"/S0[67].GPS3DVector_S
rm "$sample"/S0*.GPS3DVector_S
in_sample settings --baseline-type 0 >/dev/null
in_sample import-baselines "$exports"/S0[1-3].asc
in_sample settings --baseline-type 2 >/dev/null
in_sample --print import-baselines "$exports"/S0[45].asc
in_sample settings --baseline-type 8 >/dev/null
in_sample import-baselines "$exports"/S0[67].txt
in_sample enter known-xyz </dev/null
in_sample enter known-xy </dev/null
in_sample enter known-h </dev/null
# A distance measured again: the row of the same pair of points replaces the old one.
awk 'NR == 1 { printf "%s\t%s\t%.4f\t%s\n", $1, $2, $3 + 0.002, $4 }' "$sample/sample.GPS2dDistance" \
    > "$root/distance-rows.txt"
in_sample enter distance "$root/distance-rows.txt"
in_sample enter azimuth </dev/null
in_sample form-independent "$sample"/S0*.GPS3DVector_S
in_sample show-result vector-3d
in_sample sync-loops "$sample"/S0*.GPS3DVector_S
in_sample async-loops
in_sample show-result misclosure
in_sample --print repeat-baselines
# The 3D adjustment of the sample network (the results lie within about 1 cm of truth.txt)
# and its results through the viewing commands.
in_sample adjust-3d
in_sample show-result 3d
# Its printed pages as a PDF whose text can be searched (pdftotext gives every line back).
in_sample report-pdf "$sample/sample.GPS3dResult" "$root/report-3d.pdf"
pdfinfo "$root/report-3d.pdf" | grep '^Pages:'
in_sample show-result vector-2d
in_sample view "$sample/sample.gti"
# The plane adjustment in the local grid: held to the three known plane points with the ground
# distances and azimuths, it finds the rotation and scale between the GPS network and the grid
# and extracts the tunnel of the guide file; then the breakthrough errors of that tunnel.
in_sample adjust-2d
in_sample show-result 2d
in_sample view "$sample/sample.GPS2dXY"
in_sample --print breakthrough
# Drawings of the adjusted network: the DXF of the 3D results (".dxf" is appended to the name),
# and the maps of both adjustments as the printed page, in SVG, PDF and PNG.
in_sample export-dxf "$sample/sample.GPS3dXYHEFT" "$sample/sample.GPS3dVector" "$root/sample-network"
for kind in wgs84 local; do
  in_sample map $kind --svg "$root/map-$kind.svg" --pdf "$root/map-$kind.pdf" --png "$root/map-$kind.png"
done
# Network design: the planned densification network of the sample (design coordinates with the
# receiver model on line 1, planned baselines) becomes simulated vectors with their covariances,
# which a design project adjusts as a network held at its first three points.
design=$root/design
run new-project --name plan --dir "$design" --grade 3 --ellipsoid WGS84 --central-meridian 114 \
    --y-constant 500 --instrument-a 5 --instrument-b 1 >/dev/null
cp "$sample/design/plan.xyz" "$sample/design/plan.line" "$design/"
run --project "$design/plan.prj" design "$design/plan.xyz" "$design/plan.line"
awk 'NR >= 2 && NR <= 4 { printf "%s\t%s\t%s\t%s\n", $1, $2, $3, $4 }' "$design/plan.xyz" > "$root/plan-known.txt"
run --project "$design/plan.prj" enter known-xyz "$root/plan-known.txt"
run --project "$design/plan.prj" adjust-3d
# GPS height fitting of the ten known normal heights with each model; the sample's anomaly
# bends, so the surface model fits it best (M0 near the 0.4 cm of the levelling noise).
in_sample fit-heights --model constant
in_sample fit-heights --model plane
in_sample fit-heights --model surface
in_sample show-result 1d
# The transformation parameters. Both first compute WGS-84 coordinates from the vectors alone
# (this rewrites GPS3dBLH, GPS3dXYH and the plane vector files of the project); the plane
# parameters then give the rotation and scale GPS -> ground set by the ground distances and
# azimuths, the height parameters the same fit as above; each appends one line to its file.
in_sample plane-parameters
cat "$sample/Parameter.2d"
in_sample height-parameters --model surface
cat "$sample/Parameter.1d"
# Deformation monitoring: the sample survey and its repetition (make_sample_project --campaign 2:
# the network shifted, P05 moved 2.9 cm, P09 sunk 3 cm, new noise), each adjusted as a free
# network held at K01 alone. Both campaigns take the approximate coordinates of the first one,
# so that their increments compare point for point; every datum weight is 1. The stability
# analysis then finds the datum in which most points stay put: P05 and P09 stand out by their
# test values.
for c in 1 2; do
  dir=$root/campaign$c
  run new-project --name campaign$c --dir "$dir" --grade 3 --ellipsoid CGCS2000 --central-meridian 114 \
      --y-constant 500 --instrument-a 5 --instrument-b 1 >/dev/null
  echo; echo "\$ make_sample_project --project $dir/campaign$c.prj --campaign $c"
  "$bin/make_sample_project" --project "$dir/campaign$c.prj" --campaign $c
  awk 'NR == 1 { printf "%s\t%s\t%s\t%s\n", $1, $2, $3, $4 }' "$dir/campaign$c.GPS3dKnownXYZ" > "$root/k01-rows.txt"
  run --project "$dir/campaign$c.prj" enter known-xyz --replace "$root/k01-rows.txt"
done
run --project "$root/campaign1/campaign1.prj" adjust-3d
for c in 1 2; do
  run --project "$root/campaign$c/campaign$c.prj" free-network --approx "$root/campaign1/campaign1.GPS3dApproximateXYZ"
done
cat "$root/campaign2/campaign2.GPS3dFreeXXOut"
run --print stability "$root/campaign1/campaign1.GPS3dFreeXXQxx" "$root/campaign2/campaign2.GPS3dFreeXXQxx" \
    "$root/monitoring.GPS3dFreeD" | tail -n 16
# The congruence test of the same two campaigns (the displacement and cofactor files stay as
# they were): the global test of the common points against F at the pooled a-posteriori
# variance, the moved points taken out one by one (at 1 %: P05, then P09), each point's test
# with its verdict, and the datum iterated to 0.1 mm beside the 3 mm rule of the displacement
# file.
run stability --congruence --alpha 1 "$root/campaign1/campaign1.GPS3dFreeXXQxx" \
    "$root/campaign2/campaign2.GPS3dFreeXXQxx" "$root/monitoring.GPS3dFreeD"
run view "$root/monitoring.GPS3dFreeCongruence"
# The ellipsoidal 3D combined adjustment on the project ellipsoid. It reads the vectors in
# their plain eleven-item form: the used vectors of the independent file, without flags and
# source lines, are written for it and the independent file is put back afterwards.
cp "$sample/sample.GPS3dVector" "$root/independent.GPS3dVector"
awk 'NF == 12 && $1 == "0" { sub(/^ *0 +/, ""); print }' "$root/independent.GPS3dVector" > "$sample/sample.GPS3dVector"
in_sample adjust-ellipsoid
in_sample show-result ellipsoid
cp "$root/independent.GPS3dVector" "$sample/sample.GPS3dVector"
# The one-point-one-direction engineering network: K01 fixed at x = 1000, y = 2000 of a local
# grid, the direction K01 -> K02 as its north; the GPS network keeps its own scale. It writes
# only "1" files (and the remembered OneFix); the project's ordinary files stay as they are.
in_sample adjust-one-fix --point K01 --x 1000 --y 2000 --h 35.0 --lat 30.274402258 --lon 114.153345812 \
    --h0 2.488 --from K01 --to K02 --azimuth 0
in_sample view "$sample/sample.GPS2dXY1"
# Statistical tests and GIS exports: adjust-3d and adjust-2d write their test reports beside
# the results (GPS3dTest, GPS2dTest); a copy of the sample adjusted with other test options
# (the global test's level fixed, the earlier rule) gives the same result files byte for
# byte. The exports read the 3D result.
cp -r "$sample" "$root/sample-options"
run --project "$root/sample-options/sample.prj" adjust-3d --alpha 1 --power 90 --confidence 99 >/dev/null
run --project "$root/sample-options/sample.prj" adjust-2d --alpha 1 --power 90 --confidence 99 >/dev/null
in_sample adjust-3d --alpha0 0.1 --power 80 --confidence 95
in_sample adjust-2d
diff -r -q -x '*.prj' -x '*Test' "$sample" "$root/sample-options" && echo "result files identical with and without the test options"
in_sample view "$sample/sample.GPS3dTest"
in_sample view "$sample/sample.GPS2dTest"
in_sample export-geojson
in_sample export-kml
echo; echo "GIS exports:"; ls -l "$sample/sample.geojson" "$sample/sample.kml"
# Exchange with other adjustment programs: the peers' public DynaML sample (stations and
# baselines with clusters) imported into a new project, its four continuously operating
# reference stations held fixed (the sample constrains none), adjusted, and written as a
# gama-local input (tests/data/peers, with their licences).
peers=${VEMO_PEERS_DIR:-$PWD/tests/data/peers}
if [ -f "$peers/dynaml/sa-gnss-msr.xml" ]; then
  exchange=$root/exchange
  run new-project --name sa --dir "$exchange" --ellipsoid WGS84 --central-meridian 135
  run --project "$exchange/sa.prj" import-dynaml "$peers/dynaml/sa-gnss-stn.xml" "$peers/dynaml/sa-gnss-msr.xml"
  awk '$1 == "ADE1" || $1 == "PERT" || $1 == "WARA" || $1 == "ALIC"' "$exchange/sa.GPS3dApproximateXYZ" \
      > "$exchange/sa.GPS3dKnownXYZ"
  run --project "$exchange/sa.prj" adjust-3d
  run --project "$exchange/sa.prj" export-gama "$exchange/sa-gama.xml"
  head -n 20 "$exchange/sa-gama.xml"
fi
# Height fitting on a geoid model: the EGM96 grid of proj-data as the reference surface, the
# plane fitted to what it misses (the sample's anomalies are generated, so the plane takes up
# tens of metres); the report lists the known points' residuals before and after. The GIS
# export then carries the points' orthometric heights on the same model.
in_sample fit-heights --model plane --geoid egm96
in_sample show-result 1d
in_sample export-geojson --geoid egm96 "$root/sample-orthometric.geojson"

# A weighted datum and a correlated session on a copy of the sample: K01 (given as B, L, H)
# weighted by a north, east, up covariance, K02 and K03 one correlated group (X, Y, Z), and the
# first two vectors of the vector file one cluster (matching components correlated 0.3). The
# result lists the weighted points' corrections, the statistics report tests them.
datum=$root/sample-datum
mkdir -p "$datum"
cp "$sample/sample.prj" "$sample/sample.GPS3dKnownXYZ" "$sample/sample.GPS3dVector" "$datum/"
cat > "$datum/sample.GPS3dKnownCov" <<'COV'
# K01 is given as B, L, H: its covariance is north, east, up (cm²)
K01 0.25 0.25 0.64 0 0 0
GROUP 2
K02
K03
 1.0 0 0 0.2 0 0
     1.0 0 0 0.2 0
         4.0 0 0 0.8
             1.0 0 0
                 1.0 0
                     4.0
COV
awk 'NF == 12 { n[$2 " " $3]++ }
     NF == 12 && $1 == "0" && taken < 2 { taken++; name[taken] = $2 " " $3 " " n[$2 " " $3]
       for (k = 7; k <= 12; k++) c[taken, k - 6] = $k }
     END {
       print "CLUSTER 2"; print name[1]; print name[2]
       # own blocks xx yy zz xy xz yz; between the vectors the same component correlated 0.3
       for (r = 0; r < 6; r++) { line = ""
         for (s = r; s < 6; s++) { a = int(r / 3) + 1; b = int(s / 3) + 1; i = r % 3; j = s % 3
           if (a == b) v = (i == j) ? c[a, i + 1] : c[a, i + j + 3]
           else v = (i == j) ? 0.3 * sqrt(c[a, i + 1] * c[b, j + 1]) : 0
           line = line sprintf(" %.10g", v) }
         print line } }' "$datum/sample.GPS3dVector" > "$datum/sample.GPS3dCluster"
cat "$datum/sample.GPS3dCluster"
run --project "$datum/sample.prj" adjust-3d >/dev/null
grep -a -A6 "$(printf '加权已知点' | iconv -f UTF-8 -t GBK)" "$datum/sample.GPS3dResult" | iconv -f GBK -t UTF-8
grep -a -A16 "$(printf '加权已知点' | iconv -f UTF-8 -t GBK)" "$datum/sample.GPS3dTest" | iconv -f GBK -t UTF-8
# Statistics of every adjustment. The ellipsoidal adjustment's report (GPS3dBLHTest) tests its
# vectors and gives the frame parameters with their standard errors; the height fitting's
# (GPS1dTest) tests the known heights against the a-priori error given, here the sample's
# levelling noise of about 0.5 cm.
awk 'NF == 12 && $1 == "0" { sub(/^ *0 +/, ""); print }' "$root/independent.GPS3dVector" > "$sample/sample.GPS3dVector"
in_sample adjust-ellipsoid >/dev/null
cp "$root/independent.GPS3dVector" "$sample/sample.GPS3dVector"
in_sample view "$sample/sample.GPS3dBLHTest" | tail -n 11
in_sample fit-heights --model surface --sigma0 0.5 >/dev/null
in_sample view "$sample/sample.GPS1dTest"
# A copy of the sample whose known point K02 is given 6 cm off in X: the global test fails, and
# the known points' compatibility test of GPS3dTest names K02.
cp -r "$sample" "$root/sample-known"
awk '$1 == "K02" { printf "%20s %20.9f %20.9f %20.9f\n", $1, $2 + 0.06, $3, $4; next } { print }' \
    "$sample/sample.GPS3dKnownXYZ" > "$root/sample-known/sample.GPS3dKnownXYZ"
run --project "$root/sample-known/sample.prj" adjust-3d >/dev/null
run --project "$root/sample-known/sample.prj" view "$root/sample-known/sample.GPS3dTest" | sed -n '/已知点相容性检验/,$p'
# Covariance scaling and variance components, on a copy of the sample: every vector's
# covariance gets centring errors and a floor, session S02's is quadrupled (as if its
# processing had been optimistic), and the adjustment estimates a variance factor per
# session; --vce-apply adjusts again with them. Both reports state the scaling at their top.
vce=$root/sample-vce
cp -r "$sample" "$vce"
printf '# session scale centring_h_mm centring_v_mm floor_mm floor_ppm\n*   1 0.5 1.0 1.0 0.5\nS02 4 0.5 1.0 1.0 0.5\n' \
    > "$vce/sample.GPS3dCovScale"
run --project "$vce/sample.prj" adjust-3d --vce session >/dev/null
iconv -f GBK -t UTF-8 "$vce/sample.GPS3dTest" | sed -n '1,3p;/方差分量估计/,$p'
run --project "$vce/sample.prj" adjust-3d --vce-apply >/dev/null
iconv -f GBK -t UTF-8 "$vce/sample.GPS3dResult" | sed -n 1,14p
# The plane adjustment estimates one factor per kind of observation: the plane vectors, the
# ground distances and the ground azimuths.
run --project "$vce/sample.prj" adjust-2d --vce kind >/dev/null
iconv -f GBK -t UTF-8 "$vce/sample.GPS2dTest" | sed -n '/方差分量估计/,$p'
