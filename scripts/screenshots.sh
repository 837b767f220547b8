#!/usr/bin/env bash
# Builds Quillet and saves PNG pictures of its windows into build/screenshots/, under a virtual X
# display (with the openbox window manager for the pictures of the whole screen). Usage: scripts/screenshots.sh [NAME...]  (no NAME: every picture). The pictures and
# their states are listed in tools/screenshots.cpp; add a row there to add a picture.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target quillet-screenshots quillet_data
out=build/screenshots
mkdir -p "$out"
# A private settings folder, so taking pictures never changes the user's stored language.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1280x1024x24" ./build/bin/quillet-screenshots "$out" "$@"
