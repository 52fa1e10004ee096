#!/usr/bin/env bash
# Screenshots of the desktop: the sample project is made in build/screenshots/sample, then the
# desktop runs under Xvfb, drives its menu actions (3D and 2D adjustments, a report, a
# data-entry grid, both network maps) and saves a PNG of each into build/screenshots.
#   scripts/screenshots.sh [--lang zh_CN|en]
# --lang en takes them in the English interface, into build/screenshots-en.
set -euo pipefail
cd "$(dirname "$0")/.."
language=zh_CN
while [ $# -gt 0 ]; do
  case $1 in
    --lang) language=${2:?--lang needs zh_CN or en}; shift 2 ;;
    --lang=*) language=${1#--lang=}; shift ;;
    *) echo "usage: scripts/screenshots.sh [--lang zh_CN|en]" >&2; exit 2 ;;
  esac
done
case $language in
  zh_CN) out=$PWD/build/screenshots ;;
  en) out=$PWD/build/screenshots-en ;;
  *) echo "screenshots: unknown language $language (zh_CN or en)" >&2; exit 2 ;;
esac
rm -rf "$out"
mkdir -p "$out"
export VEMOGPS_CONFIG_DIR=$out/config
mkdir -p "$VEMOGPS_CONFIG_DIR"
printf '[Interface]\nLanguage=%s\n' "$language" > "$VEMOGPS_CONFIG_DIR/settings.ini"
build/bin/VemoGPS new-project --name sample --dir "$out/sample" --grade 3 --ellipsoid CGCS2000 \
    --central-meridian 114 --y-constant 500 --instrument-a 5 --instrument-b 1 >/dev/null
build/bin/make_sample_project --project "$out/sample/sample.prj" >/dev/null
# Three periods as exported by receiver software, for the import dialog's picture.
build/bin/make_baseline_exports --format trimble --out "$out/sample" "$out/sample"/S0[1-3].GPS3DVector_S >/dev/null
xvfb-run -a -s "-screen 0 1600x1000x24" build/bin/desktop_screenshots --project "$out/sample/sample.prj" --out "$out"
ls -l "$out"/*.png
