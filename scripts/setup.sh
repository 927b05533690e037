#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the data tools need.
# Packages already present are skipped; nothing is fetched when all are there.
set -euo pipefail

packages=(
  # build and tests
  g++ cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev libgl-dev libjpeg62-turbo-dev libsqlite3-dev libgeos-dev
  xvfb xauth fonts-liberation
  # Qt's own texts (dialog buttons, file dialog) in German and French
  qt6-translations-l10n
  # animations: MP4 and WebM through FFmpeg's libraries, GIF through giflib
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libgif-dev
  # the desktop entry's check
  desktop-file-utils
  # a German locale, so that the tests can show that numbers keep "." under a comma locale
  locales
  # the time-zone database that local civil times come from (QTimeZone reads it)
  tzdata
  # start-up benchmark (bench/startup.sh)
  hyperfine
  # data tools (catalogue, places, textures)
  libswe-dev swe-standard-data swe-extra-data liberfa-dev
  python3 python3-gdal python3-numpy python3-pil gdal-bin
  ferret-datasets libgeonames-common kstars-data nodejs npm
  # fuzzing (clang's libFuzzer, ASan and UBSan runtimes)
  clang libclang-rt-14-dev
)

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
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "setup: generating the locale de_DE.UTF-8"
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
