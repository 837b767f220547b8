#!/usr/bin/env bash
# Installs what is missing, builds Quillet and starts its window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quillet quillet-cli quillet_data
exec ./build/bin/quillet "$@"
