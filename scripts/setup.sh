#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a task needs; packages already present are skipped and nothing is
# fetched when all are there.
#   setup.sh [run]   building and running the program (the default)
#   setup.sh test    … and its tests and checks
#   setup.sh data    … and the tools that make the data files
#   setup.sh fuzz    clang's libFuzzer with ASan and UBSan
# Several may be given: setup.sh test fuzz.
set -euo pipefail

run=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev libxkbcommon-dev
  libjpeg62-turbo-dev libsqlite3-dev libgeos-dev fonts-liberation
  # Qt's own texts (dialog buttons, file dialog) in German and French
  qt6-translations-l10n
  # animations: MP4 and WebM through FFmpeg's libraries, GIF through giflib
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libgif-dev
  # the time-zone database that local civil times come from (QTimeZone reads it)
  tzdata
)
test=(
  git libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth
  # the checks of the desktop entry, the software-centre entry, the licences and the package
  desktop-file-utils appstream reuse lintian dpkg-dev file
  # a German locale, so that the tests can show that numbers keep "." under a comma locale
  locales
  # start-up benchmark (bench/startup.sh)
  hyperfine
  # the catalogue generator, whose results the tests compare with the shipped catalogue
  libswe-dev swe-standard-data swe-extra-data liberfa-dev
  # the map files the command line writes are read back with GDAL
  gdal-bin python3 python3-gdal
  # the PDF pictures the command line writes are drawn again with poppler to look at their page
  poppler-utils
)
data=(
  libswe-dev swe-standard-data swe-extra-data liberfa-dev
  python3 python3-gdal python3-numpy python3-pil gdal-bin
  ferret-datasets libgeonames-common kstars-data nodejs npm
)
fuzz=(clang libclang-rt-14-dev)

[ $# -gt 0 ] || set -- run
packages=("${run[@]}")
german_locale=0
for task in "$@"; do
  case "$task" in
    run) ;;
    test) packages+=("${test[@]}"); german_locale=1 ;;
    data) packages+=("${data[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    *) echo "usage: scripts/setup.sh [run|test|data|fuzz]..." >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  # Some nodejs builds bundle npm and conflict with Debian's npm package.
  if [ "$p" = npm ] && command -v npm >/dev/null 2>&1; then
    continue
  fi
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
else
  # One package may be listed by two tasks.
  mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ "$german_locale" = 1 ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "setup: generating the locale de_DE.UTF-8"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
