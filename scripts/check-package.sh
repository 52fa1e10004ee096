#!/usr/bin/env bash
# The Debian package as a user gets it: built by scripts/package.sh, unpacked into a temporary
# root (dpkg -x), its program run from there (--version, help, a headless new-project, a
# message in English), its desktop entry checked by desktop-file-validate, its MIME type by
# xmllint and by gio telling a project file from another program's projection file of the same
# extension by content, its manual page formatted without a warning, its copyright file in place.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(scripts/package.sh "$@" | tail -1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb -f "$deb" Depends Recommends
dpkg -x "$deb" "$root"

# The program finds its library in the package (RUNPATH), not in the build.
program=$root/usr/bin/VemoGPS
ldd "$program" | grep -q "libVemoDll.so => $root/" || { echo "libVemoDll.so not found in the package" >&2; exit 1; }
export VEMOGPS_CONFIG_DIR=$root/config
"$program" --version
"$program" help >/dev/null
"$program" new-project --name demo --dir "$root/tmp/demo" --grade 3 >/dev/null
test -s "$root/tmp/demo/demo.prj"
# The installed program speaks English when asked to: its catalog travels inside it.
mkdir -p "$root/config-en"
printf '[Interface]\nLanguage=en\n' > "$root/config-en/settings.ini"
english=$(VEMOGPS_CONFIG_DIR=$root/config-en "$program" view "$root/tmp/missing.txt" 2>&1 || true)
echo "in English: $english"
grep -q "Error opening file $root/tmp/missing.txt!" <<< "$english"

desktop-file-validate "$root/usr/share/applications/vemogps.desktop"
xmllint --noout "$root/usr/share/mime/packages/vemogps-project.xml"
mkdir -p "$root/xdg/mime/packages"
cp "$root/usr/share/mime/packages/vemogps-project.xml" "$root/xdg/mime/packages/"
XDG_DATA_HOME=$root/xdg update-mime-database "$root/xdg/mime"
printf 'PROJCS["WGS 84 / UTM zone 50N",GEOGCS["GCS_WGS_1984"]]\n' >"$root/tmp/utm50.prj"
type_of() {
  XDG_DATA_HOME=$root/xdg gio info -a standard::content-type "$1" 2>/dev/null | sed -n 's/.*standard::content-type: //p'
}
project_type=$(type_of "$root/tmp/demo/demo.prj")
other_type=$(type_of "$root/tmp/utm50.prj")
echo "demo.prj: $project_type; utm50.prj: $other_type"
[ "$project_type" = application/x-vemogps-project ] && [ "$other_type" != application/x-vemogps-project ]

warnings=$(zcat "$root/usr/share/man/man1/VemoGPS.1.gz" | groff -ww -man -Tutf8 -z 2>&1)
[ -z "$warnings" ] || { echo "$warnings" >&2; exit 1; }
test -s "$root/usr/share/bash-completion/completions/VemoGPS"
# Debian's machine-readable copyright file, where every package keeps it.
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$root/usr/share/doc/vemogps/copyright"
icons=$(find "$root/usr/share/icons/hicolor" -name '*.png' | wc -l)
echo "icons: $icons PNGs"
[ "$icons" -ge 16 ]
echo "package: all checks passed"
