#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds into build/ (or build-sanitize/ with --sanitize); with --program only the
# program and its data files are built.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
extra=()
targets=()
case "${1:-}" in
  --sanitize)
    dir=build-sanitize
    extra=(-DUMBRIVISTA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
    ;;
  --program) targets=(--target umbrivista umbrivista_data) ;;
esac
# UMBRIVISTA_WERROR=1 in the environment (CI sets it) turns warnings into errors.
werror=OFF
[ "${UMBRIVISTA_WERROR:-0}" = 1 ] && werror=ON
cmake -S . -B "$dir" -G Ninja -DUMBRIVISTA_WERROR="$werror" "${extra[@]}"
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
