#!/usr/bin/env bash
# report-pdf on the 3D report of the sample project: more than one page, every line's text
# found by pdftotext on its own line (Chinese words whole, nothing inserted between their
# characters), the type at least 2.5 mm high; and a target that cannot be written gives a
# message and exit status 1 and leaves every file as it was.
# Usage: report_pdf.sh VEMOGPS MAKE_SAMPLE_PROJECT
set -euo pipefail
vemo=$1
generator=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VEMOGPS_CONFIG_DIR=$work/config
fail() { echo "FAIL: $*" >&2; exit 1; }

"$vemo" new-project --name sample --dir "$work/sample" --grade 3 --ellipsoid CGCS2000 \
    --central-meridian 114 --y-constant 500 --instrument-a 5 --instrument-b 1 >/dev/null
"$generator" --project "$work/sample/sample.prj" >/dev/null
"$vemo" --project "$work/sample/sample.prj" adjust-3d >/dev/null
report=$work/sample/sample.GPS3dResult
[ -f "$report" ] || fail "no 3D report"

"$vemo" report-pdf "$report" "$work/report.pdf" || fail "report-pdf exit status $?"
pages=$(pdfinfo "$work/report.pdf" | awk '/^Pages:/ { print $2 }')
[ "$pages" -gt 1 ] || fail "$pages page(s)"

# Every line of the report, its runs of blanks made one, is a line of the extracted text.
pdftotext -layout "$work/report.pdf" - | sed -E 's/[[:space:]]+/ /g; s/^ //; s/ $//' > "$work/extracted.txt"
iconv -f GBK -t UTF-8 "$report" | sed -E 's/[[:space:]]+/ /g; s/^ //; s/ $//' | grep -v '^$' > "$work/lines.txt"
missing=$(grep -vxF -f "$work/extracted.txt" "$work/lines.txt" || true)
[ -z "$missing" ] || fail "lines not found in the PDF's text: $(head -n 5 <<<"$missing")"
grep -q '第 1 页 / 共 '"$pages"' 页' "$work/extracted.txt" || fail "no page number"
grep -qF "$(basename "$report")" "$work/extracted.txt" || fail "no file name in the head"

# The type's height: the smallest box pdftotext gives a word, in points, as mm.
height=$(pdftotext -bbox "$work/report.pdf" - | awk -F'"' '/<word / { h = $8 - $4; if (min == "" || h < min) min = h }
                                                     END { printf "%.2f", min * 25.4 / 72 }')
awk -v h="$height" 'BEGIN { exit !(h >= 2.5) }' || fail "words $height mm high"
echo "pages $pages, $(wc -l <"$work/lines.txt") lines found, words at least $height mm high"

# Targets that cannot be written: a missing folder, a folder standing at the name, the report
# itself. A message, status 1, and the files there unchanged.
cp "$work/report.pdf" "$work/kept.pdf"
for target in "$work/missing/out.pdf" "$work/sample" "$report"; do
  cp "$report" "$work/report.copy"
  status=0
  "$vemo" report-pdf "$report" "$target" 2>"$work/err" || status=$?
  [ "$status" -eq 1 ] || fail "report-pdf to $target: exit status $status"
  [ -s "$work/err" ] || fail "no message for $target"
  cmp -s "$report" "$work/report.copy" || fail "the report changed"
done
[ ! -e "$work/missing" ] || fail "a folder was made"
# A report that cannot be read leaves a good PDF as it was.
status=0
"$vemo" report-pdf "$work/none.txt" "$work/report.pdf" 2>"$work/err" || status=$?
[ "$status" -eq 1 ] && [ -s "$work/err" ] || fail "unreadable report: exit status $status"
cmp -s "$work/report.pdf" "$work/kept.pdf" || fail "the PDF there changed"
echo "unwritable targets refused"
