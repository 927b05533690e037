#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up, builds and starts the program (only the program and its data are built).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh run
bash scripts/build.sh --program
exec build/bin/umbrivista "$@"
