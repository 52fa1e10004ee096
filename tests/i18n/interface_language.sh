#!/usr/bin/env bash
# Reports and data files are the same whatever language the interface speaks: the demo runs
# every command on the sample project under Chinese and under English, and every file it
# writes must be byte-identical (apart from the creation time a PDF states). The messages of
# the two runs must differ, so the English catalog was really in use.
# usage: interface_language.sh SOURCE_ROOT BIN_DIR
set -euo pipefail
root=$1 bin=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for language in zh_CN en; do
  if ! VEMO_DEMO_ROOT=$work/run VEMO_DEMO_BIN=$bin VEMO_DEMO_LANGUAGE=$language \
       bash "$root/scripts/demo.sh" > "$work/$language.out" 2>&1; then
    echo "the demo failed under $language:"; tail -20 "$work/$language.out"; exit 1
  fi
  rm -rf "$work/run/config"
  find "$work/run" -name '*.pdf' -exec sed -i 's|/CreationDate (D:[0-9A-Z+:'"'"'-]*)||' {} +
  mv "$work/run" "$work/$language"
done
if ! diff -r "$work/zh_CN" "$work/en"; then
  echo "files written under the English interface differ from those under the Chinese"; exit 1
fi
if cmp -s "$work/zh_CN.out" "$work/en.out"; then
  echo "the demo's messages are the same in both languages: the English catalog was not used"; exit 1
fi
echo "$(find "$work/en" -type f | wc -l) files identical under both languages"
