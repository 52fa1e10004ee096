#!/usr/bin/env bash
# Times every command of the performance table on generated projects, each run a fresh process
# of the built program (wall time, processor time and peak resident size from /usr/bin/time),
# and writes the table with the growth exponents to docs/performance.md.
#
# Usage: scripts/bench.sh [--sizes "2000 20000 100000"] [--runs N] [--free-network-up-to N]
#                        [--out FILE] [--keep DIR] [--from FILE]
#   --sizes  the network sizes in points (the 100,000-point runs take minutes; "2000 20000"
#            makes a quick run)
#   --runs   runs of each command and size; the fastest is kept (default 2)
#   --free-network-up-to  the largest size free-network runs at (default 20000)
#   --out    the table (default docs/performance.md; "-" prints it only)
#   --keep   generate the projects in DIR and keep them (default: a temporary folder)
#   --from   measure nothing: make the table of the BENCH and NOTE lines in FILE (this
#            script's output, or other benchmarks' BENCH lines added to it)
# Each measurement is also printed as "BENCH <command> <points> <seconds> <cpu-seconds> <peak-MB>".
# Needs the build (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=$root/build/bin
sizes="2000 20000 100000"
runs=2
free_max=20000
out=docs/performance.md
keep=
from=
while [ $# -gt 0 ]; do
  case $1 in
    --sizes) sizes=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --free-network-up-to) free_max=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    --from) from=$2; shift 2 ;;
    *) sed -n '6,17p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
[ -z "$from" ] || [ -r "$from" ] || { echo "cannot read $from" >&2; exit 1; }
[ -n "$from" ] || for program in VemoGPS bench_project make_baseline_exports bench_desktop_responsiveness; do
  [ -x "$bin/$program" ] || { echo "build/bin/$program is missing: run scripts/build.sh" >&2; exit 1; }
done
[ -n "$from" ] || [ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package time)" >&2; exit 1; }

work=${keep:-$(mktemp -d "${TMPDIR:-/tmp}/vemo-bench.XXXXXX")}
mkdir -p "$work"
[ -n "$keep" ] || trap 'rm -rf "$work"' EXIT
results=$work/results.txt
: >"$results"
export QT_QPA_PLATFORM=offscreen VEMOGPS_CONFIG_DIR=$work/config

# measure NAME POINTS COMMAND...: the fastest of the runs; a failed run stops the script.
measure() {
  local name=$1 points=$2 best= line
  shift 2
  for ((r = 0; r < runs; r++)); do
    if ! /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" >"$work/stdout.txt" 2>"$work/stderr.txt"; then
      echo "$name at $points points failed:" >&2
      tail -5 "$work/stderr.txt" >&2
      exit 1
    fi
    line=$(awk -v n="$name" -v p="$points" 'END { printf "BENCH %s %d %.2f %.2f %.0f\n", n, p, $1, $2 + $3, $4 / 1024 }' "$work/time.txt")
    if [ -z "$best" ] || awk -v a="$line" -v b="$best" 'BEGIN { split(a, x, " "); split(b, y, " "); exit !(x[4] < y[4]) }'; then
      best=$line
    fi
  done
  echo "$best" | tee -a "$results"
}

[ -z "$from" ] || cp "$from" "$results"
[ -n "$from" ] || for n in $sizes; do
  dir=$work/p$n
  rm -rf "$dir"
  "$bin/bench_project" "$n" "$dir"
  "$bin/make_baseline_exports" --format trimble --out "$dir/exports" "$dir/session.GPS3dVector_S" >/dev/null
  vemo=("$bin/VemoGPS" --project "$dir/bench.prj" --yes)
  measure adjust-3d "$n" "${vemo[@]}" adjust-3d
  "$bin/bench_project" --plane-known "$dir"
  measure adjust-2d "$n" "${vemo[@]}" adjust-2d
  measure sync-loops "$n" "${vemo[@]}" sync-loops "$dir/session.GPS3dVector_S"
  measure async-loops "$n" "${vemo[@]}" async-loops
  measure map-png "$n" "${vemo[@]}" map wgs84 --png "$dir/map.png"
  measure import "$n" "${vemo[@]}" import-baselines --merge "$dir/imported.GPS3dVector_S" "$dir"/exports/*
  measure design "$n" "$bin/VemoGPS" design "$dir/plan.xyz" "$dir/plan.line"
  measure export-dxf "$n" "$bin/VemoGPS" export-dxf "$dir/bench.GPS3dXYHEFT" "$dir/bench.GPS3dVector" "$dir/net"
  if [ "$n" -le "$free_max" ]; then
    # Beyond a few thousand points the full cofactor triangles would take gigabytes: the
    # stability analysis of 200 points, as a user asks for a monitored area.
    asked=()
    [ "$n" -le 2500 ] || asked=(--points "$(seq -f 'P%04g' 1001 1200 | paste -sd,)")
    measure free-network "$n" "$bin/VemoGPS" --project "$dir/free/bench.prj" --yes free-network \
      --approx "$dir/free/plan.GPS3dApproximateXYZ" "${asked[@]}"
    rm -f "$dir"/free/*Cofactor* 2>/dev/null || true
  fi
  # The viewer: the figures of the program's own measurement (time to the first screen, its
  # peak, the longest input delay while the file is indexed and searched).
  "$bin/bench_desktop_responsiveness" --open "$dir/bench.GPS3dResult" | tee "$work/viewer.txt" | grep '^BENCH' |
    sed "s/^BENCH viewer [0-9]*/BENCH viewer $n/" | tee -a "$results"
  grep '^viewer' "$work/viewer.txt" | sed "s/^/NOTE $n points: /" | tee -a "$results" || true
  [ -n "$keep" ] || rm -rf "$dir"
done

table() {
  local machine cpus
  machine=$(lscpu 2>/dev/null | sed -n 's/^Model name: *//p' | head -1)
  cpus=$(nproc)
  echo "# Performance"
  echo
  echo "Generated by \`scripts/bench.sh --sizes \"$sizes\" --runs $runs\` on $(date -u +%Y-%m-%d):"
  echo "${machine:-unknown processor}, $cpus cores, $(free -g | awk '/^Mem/ { print $2 }') GB of memory. Each figure is one fresh"
  echo "process of the built program on a generated network of about five vectors per point"
  echo "(bench/bench_project): wall seconds / processor seconds / peak resident MB, the fastest of"
  echo "the runs. The growth exponent k between two sizes is t2/t1 = (n2/n1)^k, of the wall and of"
  echo "the processor time; k <= 1.15 is the goal (x6.5 from 20,000 to 100,000 points). On a"
  echo "machine that other work shares, the processor times are the ones to compare."
  echo
  awk -v sizes="$sizes" '
    $1 == "BENCH" { key = $2 " " $3; t[key] = $4; c[key] = $5; m[key] = $6; if (!($2 in seen)) { seen[$2] = 1; order[++k] = $2 } }
    END {
      n = split(sizes, s, " ")
      header = "| command |"; rule = "|---|"
      for (i = 1; i <= n; i++) { header = header " " s[i] " points |"; rule = rule "---|" }
      for (i = 2; i <= n; i++) { header = header " k " s[i-1] "→" s[i] " (wall / cpu) |"; rule = rule "---|" }
      print header; print rule
      for (j = 1; j <= k; j++) {
        cmd = order[j]; row = "| " cmd " |"
        for (i = 1; i <= n; i++) {
          key = cmd " " s[i]
          row = row ((key in t) ? sprintf(" %.2f s / %.2f s / %d MB |", t[key], c[key], m[key]) : " – |")
        }
        for (i = 2; i <= n; i++) {
          a = cmd " " s[i-1]; b = cmd " " s[i]
          ok = (a in t) && (b in t) && t[a] > 0 && t[b] > 0 && c[a] > 0 && c[b] > 0
          r = s[i] / s[i-1]
          row = row (ok ? sprintf(" %.2f / %.2f |", log(t[b] / t[a]) / log(r), log(c[b] / c[a]) / log(r)) : " – |")
        }
        print row
      }
    }' "$results"
  echo
  echo "Commands: adjust-3d, adjust-2d (after adjust-3d, known plane points from its coordinates),"
  echo "sync-loops (every vector in one session file), async-loops, map-png (\`map wgs84 --png\`),"
  echo "import (\`import-baselines\` of the session as one Trimble export), design, export-dxf,"
  echo "free-network (up to 20,000 points; above 2,500 the cofactors of 200 points asked for with"
  echo "\`--points\`), viewer: the desktop's text viewer opening the adjust-3d report (GPS3dResult)"
  echo "— seconds to the first screen, processor seconds of the whole run and its peak"
  echo "(bench/bench_desktop_responsiveness --open)."
  if grep -q '^NOTE' "$results"; then
    echo
    echo "The viewer in detail:"
    echo
    sed -n 's/^NOTE /- /p' "$results"
  fi
}

if [ "$out" = "-" ]; then
  table
else
  table >"$out"
  echo "wrote $out"
fi
