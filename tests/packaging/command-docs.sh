#!/usr/bin/env bash
# The generated manual page and bash completion as a person meets them: the page formats
# without a warning and names every command that "VemoGPS help" lists; the completion, sourced
# into bash, completes commands, option values, selectors and files of the right kind.
# Usage: command-docs.sh PROGRAM MANPAGE COMPLETION
set -euo pipefail
program=$(realpath "$1") page=$(realpath "$2") completion=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

warnings=$(groff -ww -man -Tutf8 -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff warns: $warnings"
text=$(groff -man -Tutf8 -P -c "$page" 2>/dev/null | sed 's/\x08.//g')
commands=$(VEMOGPS_CONFIG_DIR=$work/config "$program" help | sed -n '/^commands:/,/^$/p' | awk 'NF > 1 {print $1}')
[ -n "$commands" ] || fail "VemoGPS help lists no commands"
for c in $commands; do
  grep -Eq "VemoGPS +$c( |\$)" <<<"$text" || fail "the manual page lacks the command $c"
done

# The completion: each case types a command line and expects words among the offers.
cd "$work"
touch points.GPS3dXYHEFT other.gps3dxyheft notes.txt demo.prj
mkdir folder
complete_line() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _VemoGPS; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$completion" "$@" 2>&1
}
expect() {  # expect "WORDS OFFERED" "ABSENT WORDS" COMMAND LINE...
  local offered=$1 absent=$2
  shift 2
  local got
  got=$(complete_line "$@")
  for w in $offered; do grep -qx -- "$w" <<<"$got" || fail "'$*' does not offer $w (got: $(echo $got))"; done
  for w in $absent; do ! grep -qx -- "$w" <<<"$got" || fail "'$*' offers $w"; done
}
expect "export-dxf export-kml" "adjust-3d" VemoGPS export-
expect "--project --version" "" VemoGPS --
expect "demo.prj" "notes.txt" VemoGPS --project ""
expect "adjust-3d" "" VemoGPS --project demo.prj --yes adj
expect "chain radial all" "" VemoGPS form-independent --rule ""
expect "--rule --random" "" VemoGPS form-independent --
expect "3d misclosure" "" VemoGPS show-result ""
expect "points.GPS3dXYHEFT other.gps3dxyheft folder" "notes.txt demo.prj" VemoGPS export-dxf ""
expect "egm96 notes.txt" "" VemoGPS map wgs84 --geoid ""
expect "folder" "notes.txt" VemoGPS new-project --dir ""
expect "" "folder notes.txt" VemoGPS new-project --name ""
expect "fit-heights" "" VemoGPS help fi
[ $status = 0 ] && echo "command docs: all checks passed"
exit $status
