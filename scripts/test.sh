#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# QUILLET_PRESET picks another preset (CI uses "ci": the same build with warnings as errors).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${QUILLET_PRESET:-default}"
bash scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
