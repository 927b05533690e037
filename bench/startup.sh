#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up cost of umbrivista-cli as whole processes: `local` (loads the catalogue) against
# `deltat` (loads nothing), their mean wall times and the ratio local / deltat.
#
#   bash bench/startup.sh [BUILD_DIR] [RUNS]      defaults: build, 30
#
# Uses hyperfine when installed, else a loop of RUNS runs timed with date +%s%N.
set -euo pipefail

build=${1:-build}
runs=${2:-30}
cli="$build/bin/umbrivista-cli"
if [ ! -x "$cli" ]; then
  echo "startup: $cli not found; build first (scripts/build.sh)" >&2
  exit 1
fi

local_cmd="$cli local 16690 --lat 32.78 --lon -96.8"
deltat_cmd="$cli deltat 2024 4"
for cmd in "$local_cmd" "$deltat_cmd"; do
  if ! $cmd >/dev/null; then
    echo "startup: \"$cmd\" failed" >&2
    exit 1
  fi
done

if command -v hyperfine >/dev/null 2>&1; then
  json=$(mktemp)
  trap 'rm -f "$json"' EXIT
  hyperfine -N --warmup 3 --runs "$runs" --export-json "$json" \
    -n local "$local_cmd" -n deltat "$deltat_cmd" >&2
  # Means in milliseconds, in the order of the commands.
  read -r local_ms deltat_ms < <(python3 -c '
import json, sys
r = {x["command"]: x["mean"] * 1000 for x in json.load(open(sys.argv[1]))["results"]}
print("%.2f %.2f" % (r["local"], r["deltat"]))' "$json")
else
  # Mean wall time in milliseconds of `runs` runs of the command in $1, after 3 unmeasured ones.
  mean_ms() {
    local i start end total=0
    for i in 1 2 3; do $1 >/dev/null; done
    for ((i = 0; i < runs; i++)); do
      start=$(date +%s%N)
      $1 >/dev/null
      end=$(date +%s%N)
      total=$((total + end - start))
    done
    awk -v t="$total" -v n="$runs" 'BEGIN { printf "%.2f", t / n / 1e6 }'
  }
  local_ms=$(mean_ms "$local_cmd")
  deltat_ms=$(mean_ms "$deltat_cmd")
fi

printf 'local\t%s ms\ndeltat\t%s ms\nratio\t%s\n' "$local_ms" "$deltat_ms" \
  "$(awk -v a="$local_ms" -v b="$deltat_ms" 'BEGIN { printf "%.2f", a / b }')"
