#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would meet it: lintian finds no error, and the
# programs unpacked from it (dpkg-deb -x into a temporary root, nothing installed on this machine)
# find their data there: a round trip with quillet-cli, and quillet started offscreen.
# Usage: scripts/package.sh   (the package lands in the build folder's package/, build/package/ by default)
# QUILLET_PRESET picks another preset, as in scripts/test.sh (CI packages its "ci" build).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${QUILLET_PRESET:-default}"
bash scripts/setup.sh
binary_dir=$(cmake --preset "$preset" | sed -n 's/^-- Build files have been written to: //p')
cmake --build --preset "$preset"
(cd "$binary_dir" && cpack -G DEB)
deb=$(ls "$binary_dir"/package/quillet_*.deb)
echo "== $deb"
lintian --fail-on error "$deb" || {
  echo "lintian found errors in $deb" >&2
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
bin="$work/root/usr/bin"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The unpacked metadata passes the validators the desktop relies on.
desktop-file-validate "$work/root/usr/share/applications/org.tavolan.Quillet.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.tavolan.Quillet.metainfo.xml"

# A round trip with the unpacked quillet-cli: it finds its texts in ../share/quillet.
echo 'Violets are blue, 1984 miles' > "$work/key.txt"
printf 'Meet me at noon.\n' > "$work/message.txt"
echo 'the attached file' > "$work/attached.txt"
"$bin/quillet-cli" encrypt --key-file "$work/key.txt" --kdf interactive --message-file "$work/message.txt" \
  --attach "$work/attached.txt" --out "$work/letter.zip"
mkdir "$work/received"
"$bin/quillet-cli" decrypt --key-file "$work/key.txt" --in "$work/letter.zip" --out-dir "$work/received" \
  --message-out "$work/received/message.txt"
cmp "$work/message.txt" "$work/received/message.txt"
cmp "$work/attached.txt" "$work/received/attached.txt"
echo "== round trip with the unpacked quillet-cli: message and attached file came back unchanged"

# The unpacked window program starts offscreen with the letter and keeps running (a program that
# misses its data reports that on standard error and in a box, which the check below would see).
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$bin/quillet" "$work/letter.zip" 2>"$work/quillet.err" || status=$?
if [ "$status" -ne 124 ] || grep -q "Cannot open file containing program text" "$work/quillet.err"; then
  echo "the unpacked quillet did not start (exit $status):" >&2
  cat "$work/quillet.err" >&2
  exit 1
fi
echo "== the unpacked quillet started offscreen and ran until stopped"

# A copied executable without its data names every place it looked in.
mkdir "$work/alone"
cp "$bin/quillet-cli" "$work/alone/"
if "$work/alone/quillet-cli" checksum --key-file "$work/key.txt" 2>"$work/alone.err"; then
  echo "a quillet-cli without its data did not fail" >&2
  exit 1
fi
grep -q "$work/alone/zeb.dat" "$work/alone.err" && grep -q "$work/share/quillet/zeb.dat" "$work/alone.err" || {
  echo "the failure does not name the places looked in:" >&2
  cat "$work/alone.err" >&2
  exit 1
}
echo "== a copied quillet-cli without its data names the places it looked in"
