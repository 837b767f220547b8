#!/usr/bin/env bash
# The desktop tells a Quillet file from a real ZIP archive: with Quillet's MIME type installed into a
# temporary data folder, gio (and xdg-mime, which asks gio on GNOME) gives ciphertext files
# application/x-quillet, with the engine body at each offset the header allows (37 to 42) and with or
# without the .zip name, while real ZIP archives stay application/zip.
# Usage: mime_type_test.sh MIME_XML QUILLET_CLI
set -euo pipefail
xml=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data/mime/packages"
cp "$xml" "$work/data/mime/packages/quillet.xml"
export XDG_DATA_DIRS="$work/data:/usr/share" XDG_DATA_HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
update-mime-database "$work/data/mime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

failures=0
expect() { # FILE TYPE
  local gio_type xdg_type
  gio_type=$(gio info -a standard::content-type "$1" | sed -n 's/.*standard::content-type: //p')
  xdg_type=$(XDG_CURRENT_DESKTOP=GNOME xdg-mime query filetype "$1")
  if [ "$gio_type" != "$2" ] || [ "$xdg_type" != "$2" ]; then
    echo "FAIL $(basename "$1"): gio says '$gio_type', xdg-mime says '$xdg_type', expected '$2'"
    failures=$((failures + 1))
  else
    echo "ok   $(basename "$1"): $2"
  fi
}

# A real ciphertext file, as quillet-cli writes it.
echo 'Violets are blue, 1984 miles' > "$work/key.txt"
echo 'Meet me at noon.' | "$cli" encrypt --key-file "$work/key.txt" --kdf interactive --out "$work/letter.zip" \
  2>/dev/null
cp "$work/letter.zip" "$work/letter"
expect "$work/letter.zip" application/x-quillet
expect "$work/letter" application/x-quillet

# The body right behind a header of each possible length: "PK\3\4", filler, "QLB" and version 1.
for h in 37 38 39 40 41 42; do
  python3 - "$work/header_$h.zip" "$h" <<'PY'
import os, sys
path, h = sys.argv[1], int(sys.argv[2])
open(path, "wb").write(b"PK\x03\x04" + b"\x14" * (h - 4) + b"QLB\x01" + os.urandom(200))
PY
  expect "$work/header_$h.zip" application/x-quillet
done

# Real ZIP archives, stored and deflated, with and without the .zip name, stay ZIP archives; so does a
# file that has "QLB" with another version byte.
python3 - "$work" <<'PY'
import sys, zipfile
work = sys.argv[1]
for name, method in (("stored", zipfile.ZIP_STORED), ("deflated", zipfile.ZIP_DEFLATED)):
    with zipfile.ZipFile(f"{work}/{name}.zip", "w", method) as z:
        z.writestr("minutes.txt", "Minutes of the meeting\n" * 50)
open(f"{work}/other_version.zip", "wb").write(b"PK\x03\x04" + b"\x14" * 33 + b"QLB\x02" + b"\x00" * 200)
PY
cp "$work/stored.zip" "$work/stored"
expect "$work/stored.zip" application/zip
expect "$work/deflated.zip" application/zip
expect "$work/stored" application/zip
expect "$work/other_version.zip" application/zip

[ "$failures" -eq 0 ]
