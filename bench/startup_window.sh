#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of the program to its first painted window: `umbrivista --quit-after-first-paint`
# starts as usual (catalogue, scratch database, texture, the three windows), closes itself once
# the globe has been drawn the first time, and the whole process is timed.
#
#   bash bench/startup_window.sh [BUILD_DIR] [RUNS] [offscreen|xvfb]   defaults: build, 20, offscreen
#
# xvfb runs the program on a virtual X screen (xvfb-run), as a user would see it; offscreen uses
# Qt's offscreen platform. Uses hyperfine when installed, else a loop timed with date +%s%N.
set -euo pipefail

build=${1:-build}
runs=${2:-20}
platform=${3:-offscreen}
program="$(realpath "$build")/bin/umbrivista"
if [ ! -x "$program" ]; then
  echo "startup_window: $program not found; build first (scripts/build.sh)" >&2
  exit 1
fi
# A scratch home and temporary folder, so that the runs touch nothing of the user's.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch" TMPDIR="$scratch" XDG_RUNTIME_DIR="$scratch"
unset XDG_DATA_HOME
command="$program --quit-after-first-paint"

measure() {
  if command -v hyperfine >/dev/null 2>&1; then
    hyperfine -N --warmup 2 --runs "$runs" --export-json "$scratch/r.json" "$command" >&2
    python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]
print("first paint\t%.1f ms (min %.1f, max %.1f, %d runs)" % (r["mean"]*1e3, r["min"]*1e3, r["max"]*1e3, len(r["times"])))' "$scratch/r.json"
  else
    local i start end total=0
    for i in 1 2; do $command >/dev/null 2>&1; done
    for ((i = 0; i < runs; i++)); do
      start=$(date +%s%N)
      $command >/dev/null 2>&1
      end=$(date +%s%N)
      total=$((total + end - start))
    done
    awk -v t="$total" -v n="$runs" 'BEGIN { printf "first paint\t%.1f ms (%d runs)\n", t / n / 1e6, n }'
  fi
}

case $platform in
  offscreen) QT_QPA_PLATFORM=offscreen measure ;;
  xvfb) xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$build" "$runs" on-x ;;
  on-x) QT_QPA_PLATFORM=xcb measure ;;
  *) echo "startup_window: platform must be offscreen or xvfb" >&2; exit 2 ;;
esac
