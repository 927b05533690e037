#!/usr/bin/env bash
# Sets up, builds and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
bash scripts/build.sh
if [ -x build/bin/umbrivista ]; then
  cd build/bin
  exec ./umbrivista "$@"
fi
exec build/bin/umbrivista-cli catalogue info
