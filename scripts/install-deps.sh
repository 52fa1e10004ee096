#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing VemoGPS needs (run as root).
# Nothing is downloaded when every package is already there.
set -euo pipefail
# Qt 6 draws the desktop and the network map; Eigen holds the sparse normal equations and
# METIS orders them; CHOLMOD (libsuitesparse-dev) factorises them by supernodes, and OpenBLAS
# (libopenblas0-pthread, which takes the place of the reference BLAS) does its dense blocks and
# those of the selected inverse several times faster on both cores; the fonts stand in for the
# CJK and narrow Latin faces of the reports and maps; xvfb runs the desktop screenshots;
# Boost.Math gives the statistical quantiles; clang with its runtime builds the fuzz targets;
# poppler-utils turns map PDFs into pictures; time measures the benchmarks' peak memory; ccache
# keeps rebuilds short; expat reads the XML files of other adjustment programs (project/exchange);
# PROJ (libproj-dev) reads geoid grids for the height fitting, and proj-data ships the EGM96
# grid it uses by default. Packaging (scripts/package.sh, check-package.sh): dpkg-dev finds the
# package's dependencies (dpkg-shlibdeps); desktop-file-utils validates the desktop entry;
# libxml2-utils (xmllint) the MIME definition; shared-mime-info and libglib2.0-bin (gio) type a
# project file by its content; groff-base formats the manual page in the tests.
# qt6-translations-l10n holds Qt's own Chinese catalogs, so the standard dialogs (file, print,
# page set-up), the window menus and the context menus of the desktop speak Chinese;
# qt6-l10n-tools (lrelease) builds the English catalog of the interface from i18n/*.ts.
packages=(g++ cmake ninja-build ccache libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-svg-dev libeigen3-dev libmetis-dev libsuitesparse-dev libopenblas0-pthread
          libboost-math-dev fonts-wqy-microhei fonts-liberation xvfb xauth clang libclang-rt-14-dev
          poppler-utils time libexpat1-dev libproj-dev proj-data
          dpkg-dev desktop-file-utils libxml2-utils shared-mime-info libglib2.0-bin groff-base
          qt6-translations-l10n qt6-l10n-tools)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
