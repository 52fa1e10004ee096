#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each for SECONDS (default 60; CI runs
# 5, a campaign 600 or more).
#   scripts/fuzz.sh [SECONDS]
# Environment: FUZZ_JOBS targets at a time (default 2), FUZZ_TARGETS to run only some (names
# without the fuzz_ prefix, blank-separated), FUZZ_TIMEOUT seconds after which one input
# counts as a hang (default 5).
# Seeds come from tests/data, examples/ and a freshly generated sample project; the corpus
# grows in build-fuzz/corpus/<target>/. A finding (crash, sanitizer report, hang, leak, out of
# memory) leaves its input in build-fuzz/findings/<target>/ and makes the script fail; run the
# target on that file to see it again: build-fuzz/bin/fuzz_<target> FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
case $seconds in
  '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;;
esac
jobs=${FUZZ_JOBS:-2}
timeout=${FUZZ_TIMEOUT:-5}
out=$PWD/build-fuzz

launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -gline-tables-only" -DVEMO_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build "$out" -j "$(nproc)"

all=()
for f in fuzz/fuzz_*.cpp; do n=${f#fuzz/fuzz_}; all+=("${n%.cpp}"); done
targets=(${FUZZ_TARGETS:-${all[*]}})

# Seeds: every file of a family, once behind each value of the target's selector byte (the
# first byte picks the reader), so every reader starts from real files.
seeds=$out/seeds
rm -rf "$seeds"
mkdir -p "$seeds"
sample=$out/sample
VEMO_FUZZ_KEEP_SAMPLE=$sample "$out/bin/fuzz_project_file" -runs=0 >/dev/null 2>&1 || true
seed() {  # seed TARGET SELECTORS FILE...
  local target=$1 selectors=$2 file s
  shift 2
  mkdir -p "$seeds/$target"
  for file in "$@"; do
    [ -f "$file" ] || continue
    for ((s = 0; s < selectors; s++)); do
      { printf "\\$(printf %03o "$s")"; cat "$file"; } > "$seeds/$target/$s-$(basename "$file")"
    done
  done
}
shopt -s nullglob
seed project_file 2 "$sample"/*.prj
printf '[Gps Settings]\nLast GPS Project Path=%s\nLast GPS Project=fz\n\n[Recent File List]\nFile1=%s\n\n' \
    "$sample" "$sample/fz.prj" > "$out/settings.ini"
printf '[Adjustment Tests]\nSignificance=5\nPower=80\nConfidence=95\n\n[坐标转换]\nRecent Data Path=%s\n' \
    "$sample" >> "$out/settings.ini"
seed settings 4 "$out/settings.ini"
seed network_3d 8 "$sample"/*.GPS3dVector "$sample"/*.GPS3dKnownXYZ tests/data/adjust3d/*.GPS3dApproximateXYZ \
    tests/data/freenet/*.GPS3dFreeXXQxx
seed network_2d 13 "$sample"/*.GPS2d* "$sample"/*.GPS1dKnownH "$sample"/*.GPS3dXYH "$sample"/*.GPS3dBLH \
    "$sample"/*.gti "$sample"/*.gtt "$sample"/*.OneFix tests/data/adjust2d/onefix.OneFix tests/data/adjust2d/net.GPS2dRel
seed baseline_import 13 tests/data/baselines/*.* tests/data/baselines/o16*
seed loop_files 4 "$sample"/S0*.GPS3DVector_S "$sample"/*.GPS3dLoop "$sample"/*.GPS3dSyncLoop
seed conversion 9 tests/data/coord/*.* examples/coordinates/*
seed entry 10 "$sample"/*.GPS3dKnownXYZ "$sample"/*.GPS2dKnownXY "$sample"/*.GPS1dKnownH "$sample"/*.GPS2dDistance \
    "$sample"/*.GPS2dAzimuth
seed drawing 8 "$sample"/*.GPS3dXYHEFT "$sample"/*.GPS3dVector "$sample"/design/* "$sample"/*.GPS2dXYEFT \
    "$sample"/*.PAR
seed free_network 3 tests/data/freenet/*Input
seed covariance_files 2 tests/data/adjust3d/sample.GPS3dKnownCov tests/data/adjust3d/sample.GPS3dCluster
seed cov_scale 3 tests/data/adjust3d/*.GPS3dCovScale
seed gis_export 2 "$sample"/*.GPS3dResult tests/data/adjust3d/net.GPS3dResult
# The exchange readers start from the peers' public samples (VEMO_PEERS_DIR), each DynaML
# pair joined into one combined file and each DNA pair into one input.
peers=${VEMO_PEERS_DIR:-$PWD/tests/data/peers}
if [ -d "$peers/dynaml" ]; then
  { sed '$d' "$peers/dynaml/sa-gnss-stn.xml"; sed -n '/<DnaMeasurement>/,$p' "$peers/dynaml/sa-gnss-msr.xml"; } \
      > "$out/sa-gnss.xml"
  cat "$peers/dynaml/skye-tutorial.stn" "$peers/dynaml/skye-tutorial.msr" > "$out/skye.dna"
  seed exchange 1 "$out/sa-gnss.xml"
  mkdir -p "$seeds/exchange"
  { printf '\001'; cat "$out/skye.dna"; } > "$seeds/exchange/1-skye.dna"
  for f in "$peers"/gama/*-inp.xml; do { printf '\002'; cat "$f"; } > "$seeds/exchange/2-$(basename "$f")"; done
fi
mkdir -p "$seeds/gbk_text"
cp "$sample"/*.GPS3dResult "$sample"/*.GPS2dResult tests/data/baselines/*.* "$seeds/gbk_text/" 2>/dev/null || true

run_target() {
  local t=$1
  mkdir -p "$out/corpus/$t" "$out/findings/$t" "$out/logs" "$seeds/$t"
  nice -n 19 "$out/bin/fuzz_$t" "$out/corpus/$t" "$seeds/$t" -max_total_time="$seconds" -timeout="$timeout" \
      -dict="$dict" -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$out/findings/$t/" \
      > "$out/logs/$t.log" 2>&1 || true
  local execs slowest
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/logs/$t.log" | tail -1)
  slowest=$(sed -n 's/^fuzz harness: slowest input //p' "$out/logs/$t.log" | tail -1)
  echo "$t: ${execs:-?} executions, slowest input ${slowest:-?}, findings $(ls "$out/findings/$t" | wc -l)"
}
export -f run_target
dict=$PWD/fuzz/numbers.dict
export out seconds timeout seeds dict
# The map is drawn through Qt, whose font caches live as long as the process: the same
# suppressions as the sanitizer stage of CI (leaks of the project's own code still count).
export LSAN_OPTIONS=suppressions=$PWD/.ci/lsan.supp
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_target {}'

found=0
for t in "${targets[@]}"; do
  for f in "$out/findings/$t"/*; do
    [ -e "$f" ] || continue
    echo "finding: $f (log: $out/logs/$t.log)"
    found=1
  done
done
exit $found
