#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The layers, from the
# bottom: the library (geodesy/), the project layer (project/), the adjustment core (adjust/),
# the engines (adjust3d/, adjust2d/, checks/, tools/, baselines/), the shell (app/). A layer
# may include its own folder and every folder below it; tests, benchmarks and examples sit on top of everything.
# Usage: scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

engines="adjust3d adjust2d checks tools baselines"
allowed_for() {
  case $1 in
    geodesy) echo "geodesy" ;;
    project) echo "geodesy project" ;;
    adjust) echo "geodesy project adjust" ;;
    adjust3d|adjust2d|checks|tools|baselines) echo "geodesy project adjust $engines" ;;
  esac
}

status=0
for layer in geodesy project adjust $engines; do
  [ -d "$layer" ] || continue
  allowed=" $(allowed_for "$layer") "
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    header=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"${rest#*:}")
    [ -n "$header" ] || continue
    folder=${header%%/*}
    # A header named without a folder is looked up beside the including file.
    [ "$folder" = "$header" ] && continue
    if [[ "$allowed" != *" $folder "* ]]; then
      echo "$file:$line: includes \"$header\", a layer above $layer/" >&2
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$layer" || true)
done

# Within the shell: the command layer (app/commands/) is what both hosts run, so it includes
# neither of them, and the command line (app/cli/) does not include the desktop.
shell_forbidden() {
  case $1 in
    app/commands) echo "app/cli app/desktop" ;;
    app/cli) echo "app/desktop" ;;
  esac
}
for part in app/commands app/cli; do
  [ -d "$part" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    header=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"${rest#*:}")
    for forbidden in $(shell_forbidden "$part"); do
      if [[ "$header" == "$forbidden/"* ]]; then
        echo "$file:$line: includes \"$header\", a part of the shell above $part/" >&2
        status=1
      fi
    done
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$part" || true)
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
