#!/bin/bash
# What reading the armored text form costs over the binary file: quillet-cli decrypt of a 2 MB file's
# block minus decrypt of the binary file, beside age -d of age -a's output minus age -d of the binary,
# in one interleaved run (medians of wall times, in ms). Quillet's derivation level is interactive,
# the same in both forms, so the difference is the text form's.
#   bash bench/armor_decrypt.sh [build-release/bin] [runs]
# Needs Debian's age package (for measuring only; the program does not use it). Run it through
# buildslot, so no build runs beside it.
set -euo pipefail
bin=${1:-build-release/bin}
runs=${2:-21}
cli=$(realpath "$bin/quillet-cli") # absolute: the decrypts run in another folder
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$work/run" "$work/out"

echo 'Violets are blue, 1984 miles' > "$work/key.txt"
chmod 600 "$work/key.txt"
age-keygen -o "$work/age.key" 2> /dev/null
recipient=$(age-keygen -y "$work/age.key")
head -c 2000000 /dev/urandom > "$work/file.bin"
echo 'The file.' > "$work/message.txt"

"$cli" encrypt --kdf interactive -k "$work/key.txt" -f -a "$work/file.bin" -o "$work/q.zip" "$work/message.txt" \
    2> /dev/null
"$cli" encrypt --armor --kdf interactive -k "$work/key.txt" -f -a "$work/file.bin" -o "$work/q.txt" \
    "$work/message.txt" 2> /dev/null
age -r "$recipient" -o "$work/a.age" "$work/file.bin"
age -a -r "$recipient" -o "$work/a.txt" "$work/file.bin"

# Wall time of one command, in microseconds.
micros() {
    local start end
    start=$(date +%s%N)
    "$@" > /dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

quillet() { (cd "$work/out" && "$cli" decrypt -f -k "$work/key.txt" -o "$work/out/message" "$1"); }
# A decrypt that fails would be timed as a fast one.
if ! quillet "$work/q.zip" > /dev/null 2>&1 || ! quillet "$work/q.txt" > /dev/null 2>&1; then
    echo "quillet-cli does not decrypt the files it made" >&2
    exit 1
fi
declare -a qb qa ab aa
for ((r = 0; r < runs; r++)); do
    qb+=("$(micros quillet "$work/q.zip")")
    qa+=("$(micros quillet "$work/q.txt")")
    ab+=("$(micros age -d -i "$work/age.key" -o "$work/out/a" "$work/a.age")")
    aa+=("$(micros age -d -i "$work/age.key" -o "$work/out/a" "$work/a.txt")")
done

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
mqb=$(median "${qb[@]}") mqa=$(median "${qa[@]}") mab=$(median "${ab[@]}") maa=$(median "${aa[@]}")
awk -v qb="$mqb" -v qa="$mqa" -v ab="$mab" -v aa="$maa" -v runs="$runs" -v qs="$(wc -c < "$work/q.txt")" \
    -v as="$(wc -c < "$work/a.txt")" 'BEGIN {
    printf "| decrypt, 2 MB file (median of %d, ms) | binary | armored | armored adds |\n|---|---:|---:|---:|\n", runs
    printf "| quillet-cli (block %d bytes) | %.1f | %.1f | %.1f |\n", qs, qb / 1000, qa / 1000, (qa - qb) / 1000
    printf "| age -d (age -a: %d bytes) | %.1f | %.1f | %.1f |\n", as, ab / 1000, aa / 1000, (aa - ab) / 1000
    if (aa - ab > 0) printf "\nQuillet'\''s armored overhead / age'\''s: %.2f\n", (qa - qb) / (aa - ab)
}'
