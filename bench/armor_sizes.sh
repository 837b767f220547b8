#!/bin/bash
# Sizes of a message as text in the body of an e-mail: quillet-cli encrypt --armor beside age -a and
# gpg --armor, measured in one run, and what Quillet's filler costs (an attached file of one byte
# takes the filler's place, so the difference of the two is the filler).
#   bash bench/armor_sizes.sh [build/bin] [runs]
# Needs Debian's age and gnupg packages (for measuring only; the program does not use them).
set -euo pipefail
bin=${1:-build/bin}
runs=${2:-10}
cli="$bin/quillet-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/run" GNUPGHOME="$work/gnupg"
mkdir -m 700 "$work/run" "$GNUPGHOME"

echo 'Violets are blue, 1984 miles' > "$work/key.txt"
age-keygen -o "$work/age.key" 2> /dev/null
recipient=$(age-keygen -y "$work/age.key")
printf 'x' > "$work/one-byte"

# Real English prose, as a letter compresses: the licence texts every Debian system carries.
licences=/usr/share/common-licenses
cat "$licences"/{GPL-3,Apache-2.0,MPL-2.0,GFDL-1.3,Artistic,CC0-1.0,BSD} > "$work/prose"
printf 'Meet me at noon, Bo.' > "$work/m20" # 20 characters
head -c 2000 "$work/prose" > "$work/m2000"
head -c 99999 "$work/prose" > "$work/m99999"

size() { wc -c < "$1" | tr -d ' '; }

printf '| message | quillet --armor (min / mean / max of %d) | --armor with a 1-byte file (no filler) | binary file (mean) | its block, as Copy as text gives it (mean) | age -a | gpg --armor |\n' "$runs"
printf '|---|---:|---:|---:|---:|---:|---:|\n'
for m in m20 m2000 m99999; do
    min=0 max=0 sum=0 nofill=0 bsum=0 csum=0
    for ((r = 0; r < runs; r++)); do
        # A key with another first character each run: until the filler is drawn afresh for every
        # file, its length follows the message and the key's first character.
        printf '%s Violets are blue, 1984 miles\n' "$(printf "\\$(printf '%03o' $((65 + r)))")" > "$work/key.txt"
        "$cli" encrypt --armor --kdf interactive -k "$work/key.txt" -f -o "$work/q.txt" "$work/$m" 2> /dev/null
        "$cli" encrypt --kdf interactive -k "$work/key.txt" -f -o "$work/q.zip" "$work/$m" 2> /dev/null
        s=$(size "$work/q.txt")
        sum=$((sum + s)); bsum=$((bsum + $(size "$work/q.zip")))
        # The block of the binary file: its Base64 in lines of 64 between the two marker lines.
        csum=$((csum + $( (echo '-----BEGIN QUILLET MESSAGE-----'; base64 -w 64 "$work/q.zip"
            echo '-----END QUILLET MESSAGE-----') | wc -c)))
        [ "$min" -eq 0 ] || [ "$s" -lt "$min" ] && min=$s
        [ "$s" -gt "$max" ] && max=$s
    done
    "$cli" encrypt --armor --kdf interactive -k "$work/key.txt" -f -a "$work/one-byte" -o "$work/qf.txt" \
        "$work/$m" 2> /dev/null
    nofill=$(size "$work/qf.txt")
    age -a -r "$recipient" -o "$work/a.txt" "$work/$m"
    gpg --batch --quiet --yes --pinentry-mode loopback --passphrase-file "$work/key.txt" --symmetric --armor \
        -o "$work/g.asc" "$work/$m"
    printf '| %s bytes | %d / %d / %d | %d | %d | %d | %d | %d |\n' "$(size "$work/$m")" "$min" $((sum / runs)) \
        "$max" "$nofill" $((bsum / runs)) $((csum / runs)) "$(size "$work/a.txt")" "$(size "$work/g.asc")"
done
