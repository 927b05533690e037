#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer harnesses (build-fuzz/, clang with ASan and UBSan) and runs each for
# SECONDS seconds on a scratch copy of its seed inputs in fuzz/corpus/. Prints every harness's
# run count; fails on any crash, timeout, leak, memory blow-up or sanitizer report. Inputs that
# fail are kept in build-fuzz/artifacts/<harness>/. Installs clang first when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh SECONDS" >&2
  exit 2
fi
bash scripts/setup.sh fuzz

dir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DUMBRIVISTA_FUZZ=ON >/dev/null
cmake --build "$dir" -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

status=0
summary=()
for harness in fuzz_catalogue_text fuzz_catalogue_binary fuzz_record_computations \
  fuzz_places_file fuzz_poi_list; do
  corpus="$scratch/$harness"
  cp -r "fuzz/corpus/$harness" "$corpus"
  artifacts="$dir/artifacts/$harness"
  rm -rf "$artifacts"
  mkdir -p "$artifacts"
  extra=()
  dict="fuzz/$harness.dict"
  [ -f "$dict" ] && extra+=("-dict=$dict")
  log="$scratch/$harness.log"
  echo "fuzz: $harness for ${seconds}s"
  rc=0
  "$dir/fuzz/$harness" "${extra[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=0 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || rc=$?
  runs=$(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1 || true)
  found=$(find "$artifacts" -type f | head -n 5)
  if [ "$rc" -ne 0 ] || [ -n "$found" ] || [ -z "$runs" ] ||
    grep -qE 'runtime error:|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)' "$log"; then
    echo "fuzz: $harness FAILED (exit $rc)"
    tail -n 60 "$log"
    [ -n "$found" ] && echo "fuzz: failing inputs kept: $found"
    summary+=("$harness: FAILED ${runs:-(no run count)}")
    status=1
  else
    summary+=("$harness: $runs")
  fi
done

echo "fuzz: results"
printf '  %s\n' "${summary[@]}"
exit "$status"
