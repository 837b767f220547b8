#!/usr/bin/env bash
# `cmake --install` into an unusual prefix gives a working installation: the programs in bin/, their
# data in share/quillet/, found there by both programs; the desktop's files where freedesktop.org
# expects them.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/some where/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/quillet bin/quillet-cli share/quillet/zeb.dat share/quillet/zeb_help.txt share/quillet/zebg_help.txt \
  share/quillet/quillet_help.html share/applications/org.tavolan.Quillet.desktop \
  share/metainfo/org.tavolan.Quillet.metainfo.xml share/mime/packages/quillet.xml \
  share/icons/hicolor/scalable/apps/quillet.svg share/icons/hicolor/48x48/apps/quillet.png \
  share/man/man1/quillet.1.gz share/man/man1/quillet-cli.1.gz share/bash-completion/completions/quillet-cli; do
  [ -f "$prefix/$file" ] || {
    echo "FAIL not installed: $file"
    exit 1
  }
done
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
echo 'Violets are blue, 1984 miles' > "$work/key.txt"
# checksum needs the program texts: it works only when the data was found in ../share/quillet.
"$prefix/bin/quillet-cli" checksum --key-file "$work/key.txt" 2>&1 | grep -q '[0-9]\{4\}' || {
  echo "FAIL the installed quillet-cli did not find its data"
  exit 1
}
grep -q "Quillet $("$prefix/bin/quillet" --version | cut -d' ' -f2)" "$prefix/share/quillet/zeb_help.txt" || {
  echo "FAIL the installed help does not carry the version of quillet --version"
  exit 1
}
echo "ok   installed into '$prefix'; quillet-cli found its data there"
