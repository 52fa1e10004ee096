#!/usr/bin/env bash
# Every text the program shows has a finished English translation: each catalog holds every
# text its sources mark (vemo_texts --check), a text two catalogs share has one translation
# (--agree), and lrelease finds none unfinished or ignored.
# usage: translations.sh VEMO_TEXTS LRELEASE SOURCE_ROOT CATALOG.ts:SOURCE[,SOURCE...]...
set -euo pipefail
texts=$1 lrelease=$2 root=$3
shift 3
cd "$root"
catalogs=()
status=0
for entry in "$@"; do
  catalog=${entry%%:*}
  IFS=, read -r -a sources <<< "${entry#*:}"
  "$texts" --ts "$catalog" --check "${sources[@]}" || status=1
  catalogs+=("$catalog")
done
"$texts" --agree "${catalogs[@]}" || status=1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
report=$("$lrelease" "${catalogs[@]}" -qm "$scratch/all.qm" 2>&1)
echo "$report"
if ! grep -q "Generated [0-9]* translation(s) ([0-9]* finished and 0 unfinished)" <<< "$report" ||
   grep -q "Ignored" <<< "$report"; then
  echo "lrelease found untranslated texts"
  status=1
fi
exit $status
