#!/usr/bin/env bash
# Builds Quillet and saves PNG pictures of its windows into build/screenshots/, on a virtual X
# display with the openbox window manager, so that the pictures taken from the screen show the
# windows' frames and icons as a desktop does. Usage: scripts/screenshots.sh [NAME...]  (no NAME:
# every picture). The pictures and their states are listed in tools/screenshots.cpp; add a row there
# to add a picture.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j2 --target quillet-screenshots quillet_data
out=build/screenshots
mkdir -p "$out"
# A private settings folder, so taking pictures never changes the user's stored language.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
XDG_CONFIG_HOME="$config" xvfb-run -a -s "-screen 0 1280x1024x24" \
  sh -c 'openbox & wm=$!; sleep 1; status=0; "$@" || status=$?; kill $wm; exit $status' \
  sh ./build/bin/quillet-screenshots "$out" "$@"
