#!/bin/bash
# Quillet beside its peers, in one interleaved run: quillet-cli, age (X25519 recipient, and -p),
# gpg -c and 7-Zip on the same inputs (2 MB of prose, 2 MB of random bytes, a small message),
# binary and armored; the main window mapped beside a bare Qt window (Xvfb); the pipeline without
# key derivation beside zstd + secretstream (bench_pipeline); what --version looks up and makes.
# Every round runs every case once, in the same order, so a load that comes and goes hits all of
# them alike; the figures are medians over the rounds. Prints the figures and the ratios.
#   bash bench/peers.sh [build-release/bin] [rounds]
# Needs a Release build (cmake --preset release; cmake --build --preset release). The peers come
# from Debian's age, gnupg, 7zip, xvfb and strace packages; what is missing is named and skipped.
set -uo pipefail
bin=$(realpath "${1:-build-release/bin}")
rounds=${2:-9}
cli="$bin/quillet-cli"
[ -x "$cli" ] || { echo "no $cli: build the release preset first" >&2; exit 1; }

# The working folders and all files in memory (/dev/shm), as a user's $XDG_RUNTIME_DIR is.
work=$(mktemp -d -p /dev/shm quillet-peers.XXXXXX)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" GNUPGHOME="$work/gnupg" TMPDIR="$work/tmp"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$GNUPGHOME" "$TMPDIR"
times="$work/times" # lines: case milliseconds peak-KiB
: > "$times"

have() { command -v "$1" > /dev/null 2>&1 || { echo "missing: $1 ($2) - its cases are skipped"; return 1; }; }
has_age=0 has_gpg=0 has_7z=0 has_xvfb=0 has_strace=0 has_script=0
have age "apt-get install age" && has_age=1
have gpg "apt-get install gnupg" && has_gpg=1
sevenzip=$(command -v 7z || command -v 7zz)
have "${sevenzip:-7z}" "apt-get install 7zip" && has_7z=1
have Xvfb "apt-get install xvfb" && [ -x "$bin/bench_map_timer" ] && has_xvfb=1
have strace "apt-get install strace" && has_strace=1
have script "apt-get install bsdutils" && has_script=1
[ -x /usr/bin/time ] || { echo "missing: /usr/bin/time (apt-get install time)" >&2; exit 1; }

# ---- Inputs ----------------------------------------------------------------------------------
size=2000000 # 2 MB: just under the largest file Quillet attaches (2,027,520 bytes)
licences=/usr/share/common-licenses
while [ "$(stat -c %s "$work/prose.in" 2> /dev/null || echo 0)" -lt $size ]; do
    cat "$licences"/{GPL-3,Apache-2.0,MPL-2.0,GFDL-1.3,Artistic} >> "$work/prose.in"
done
truncate -s $size "$work/prose.in"
head -c $size /dev/urandom > "$work/random.in"
printf 'Meet me at noon, Bo. The usual place.\n' > "$work/small.in"
printf 'Hello, the report is attached.\n' > "$work/note.txt"
echo 'Violets are blue, 1984 miles' > "$work/key.txt"
printf 'Violets are blue, 1984 miles\n' > "$work/pass.txt"
if ((has_age)); then
    age-keygen -o "$work/age.key" 2> /dev/null
    recipient=$(age-keygen -y "$work/age.key")
fi
inputs="prose random small"

# Runs the command, appends "case ms peak-KiB" to the times. The command's own output goes away.
measure() {
    local name=$1
    shift
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/rss" "$@" > /dev/null 2> "$work/err" || {
        echo "failed: $name: $(tail -1 "$work/err")" >&2
        return
    }
    end=$(date +%s%N)
    echo "$name $(((end - start) / 1000)) $(tail -1 "$work/rss")" >> "$times"
}

# Quillet: the input as the attached file (the message a line), at the interactive level and,
# for the row beside age -p, at the default level. Decrypted files replace those of the last run.
q_encrypt=("$cli" encrypt -f --kdf interactive -k "$work/key.txt")
q_decrypt=("$cli" decrypt -f -k "$work/key.txt" --out-dir "$work/qout" -o "$work/qout/message")
mkdir "$work/qout"

prepare() {
    for i in $inputs; do
        "${q_encrypt[@]}" -a "$work/$i.in" -o "$work/$i.q" "$work/note.txt" 2> /dev/null
        "${q_encrypt[@]}" --armor -a "$work/$i.in" -o "$work/$i.qa" "$work/note.txt" 2> /dev/null
        if ((has_age)); then
            age -r "$recipient" -o "$work/$i.age" "$work/$i.in"
            age -a -r "$recipient" -o "$work/$i.agea" "$work/$i.in"
        fi
        if ((has_gpg)); then
            gpg -q --batch --yes --pinentry-mode loopback --passphrase-file "$work/pass.txt" -c -o "$work/$i.gpg" "$work/$i.in"
            gpg -q --batch --yes --pinentry-mode loopback --passphrase-file "$work/pass.txt" -c -a -o "$work/$i.gpga" \
                "$work/$i.in"
        fi
        if ((has_7z)); then
            rm -f "$work/$i.7z"
            "$sevenzip" a -bso0 -bsp0 -mhe=on -p"$(cat "$work/pass.txt")" "$work/$i.7z" "$work/$i.in" > /dev/null
        fi
    done
    "$cli" encrypt -f -k "$work/key.txt" -a "$work/random.in" -o "$work/moderate.q" "$work/note.txt" 2> /dev/null
    if ((has_age && has_script)); then
        printf '%s\n%s\n' "$(cat "$work/pass.txt")" "$(cat "$work/pass.txt")" > "$work/pass2.txt"
        script -qec "age -p -o $work/random.agep $work/random.in" /dev/null < "$work/pass2.txt" > /dev/null
    fi
}

one_round() {
    for i in $inputs; do
        measure "q.enc.bin.$i" "${q_encrypt[@]}" -a "$work/$i.in" -o "$work/x.q" "$work/note.txt"
        measure "q.enc.arm.$i" "${q_encrypt[@]}" --armor -a "$work/$i.in" -o "$work/x.qa" "$work/note.txt"
        measure "q.dec.bin.$i" "${q_decrypt[@]}" "$work/$i.q"
        measure "q.dec.arm.$i" "${q_decrypt[@]}" "$work/$i.qa"
        if ((has_age)); then
            measure "age.enc.bin.$i" age -r "$recipient" -o "$work/x.age" "$work/$i.in"
            measure "age.enc.arm.$i" age -a -r "$recipient" -o "$work/x.agea" "$work/$i.in"
            measure "age.dec.bin.$i" age -d -i "$work/age.key" -o "$work/x.out" "$work/$i.age"
            measure "age.dec.arm.$i" age -d -i "$work/age.key" -o "$work/x.out" "$work/$i.agea"
        fi
        if ((has_gpg)); then
            local g=(gpg -q --batch --yes --pinentry-mode loopback --passphrase-file "$work/pass.txt")
            measure "gpg.enc.bin.$i" "${g[@]}" -c -o "$work/x.gpg" "$work/$i.in"
            measure "gpg.enc.arm.$i" "${g[@]}" -c -a -o "$work/x.gpga" "$work/$i.in"
            measure "gpg.dec.bin.$i" "${g[@]}" -d -o "$work/x.out" "$work/$i.gpg"
            measure "gpg.dec.arm.$i" "${g[@]}" -d -o "$work/x.out" "$work/$i.gpga"
        fi
        if ((has_7z)); then
            rm -f "$work/x.7z"
            measure "7z.enc.bin.$i" "$sevenzip" a -bso0 -bsp0 -mhe=on -p"$(cat "$work/pass.txt")" "$work/x.7z" "$work/$i.in"
            measure "7z.dec.bin.$i" "$sevenzip" x -so -p"$(cat "$work/pass.txt")" "$work/$i.7z"
        fi
    done
    measure "q.dec.moderate.random" "${q_decrypt[@]}" "$work/moderate.q"
    if ((has_age && has_script)); then
        measure "age.dec.scrypt.random" script -qec "age -d -o $work/x.out $work/random.agep" /dev/null \
            < "$work/pass.txt"
        measure "script.alone" script -qec true /dev/null < /dev/null
    fi
}

# ---- The window mapped -----------------------------------------------------------------------
window_rounds() {
    local display=:$((90 + RANDOM % 50))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
    for ((r = 0; r < rounds; r++)); do
        local ms
        ms=$(DISPLAY=$display QT_QPA_PLATFORM=xcb "$bin/bench_map_timer" "$bin/quillet")
        echo "window.quillet $(awk -v m="$ms" 'BEGIN{print int(m*1000)}') 0" >> "$times"
        ms=$(DISPLAY=$display QT_QPA_PLATFORM=xcb "$bin/bench_map_timer" "$bin/bench_bare_window")
        echo "window.bare $(awk -v m="$ms" 'BEGIN{print int(m*1000)}') 0" >> "$times"
    done
    kill "$xvfb_pid" 2> /dev/null
    wait "$xvfb_pid" 2> /dev/null
    xvfb_pid=
}

# ---- --version: failing lookups and what it makes --------------------------------------------
version_lookups() {
    local p
    for p in quillet-cli quillet; do
        rm -rf "$TMPDIR"/*
        # As a user without $XDG_RUNTIME_DIR would start it, and as one with it.
        strace -f -c -o "$work/strace.$p" env -u XDG_RUNTIME_DIR "$bin/$p" --version > /dev/null
        local made
        made=$(find "$TMPDIR" -mindepth 1 | wc -l)
        strace -f -c -o "$work/strace2.$p" "$bin/$p" --version > /dev/null
        printf '%s --version: failing system calls %s (without $XDG_RUNTIME_DIR), %s (with it); entries made in $TMPDIR: %s\n' \
            "$p" "$(awk '$NF=="total"{print $(NF-1)}' "$work/strace.$p")" \
            "$(awk '$NF=="total"{print $(NF-1)}' "$work/strace2.$p")" "$made"
    done
}

# ---- Run ---------------------------------------------------------------------------------------
echo "# $(date -u '+%F %T') UTC, $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "# load at start: $(cut -d' ' -f1-3 /proc/loadavg)"
prepare
for ((r = 0; r < rounds; r++)); do one_round; done
echo "# load after the command-line rounds: $(cut -d' ' -f1-3 /proc/loadavg)"
((has_xvfb)) && window_rounds
((has_xvfb)) || echo "missing: Xvfb or bench_map_timer (X11 headers) - the window is not measured"
if [ -x "$bin/bench_pipeline" ]; then
    "$bin/bench_pipeline" --benchmark_filter='KeysDerivedOnce|ZstdPlusSecretstream' \
        --benchmark_repetitions="$rounds" --benchmark_format=json > "$work/pipeline.json" 2> /dev/null
fi
echo "# load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
((has_strace)) && version_lookups

# ---- Figures -----------------------------------------------------------------------------------
# median CASE [column]: the median of a case's milliseconds (column 2) or peak KiB (column 3).
median() {
    awk -v c="$1" -v col="${2:-2}" '$1==c{print $col}' "$times" | sort -n |
        awk '{v[NR]=$1} END{if(NR==0){print "nan"; exit} if(NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'
}
ms() { awk -v u="$(median "$1")" 'BEGIN{if(u=="nan") print "nan"; else printf "%.1f", u/1000}'; }
calc() { awk "BEGIN{a=$1; if (a!=a) print \"nan\"; else printf \"%.2f\", a}" 2> /dev/null || echo nan; }

echo
echo "| case (median of $rounds, ms; peak KiB) | quillet | age | gpg -c | 7z |"
echo "|---|---:|---:|---:|---:|"
for op in enc.bin dec.bin enc.arm dec.arm; do
    for i in $inputs; do
        row="| $op $i |"
        for t in q age gpg 7z; do
            if awk -v c="$t.$op.$i" '$1==c{f=1} END{exit !f}' "$times"; then
                row="$row $(ms "$t.$op.$i") ($(median "$t.$op.$i" 3)) |"
            else
                row="$row - |"
            fi
        done
        echo "$row"
    done
done
echo
echo "Default level (Argon2id 256 MiB, 3 passes), decrypting the 2 MB random file: quillet $(ms q.dec.moderate.random) ms;" \
    "age -p (scrypt 2^18) through script(1) $(ms age.dec.scrypt.random) ms, script(1) alone $(ms script.alone) ms"

echo
echo "Ratios:"
q_arm=$(calc "($(median q.dec.arm.random) - $(median q.dec.bin.random)) / 1000")
a_arm=$(calc "($(median age.dec.arm.random) - $(median age.dec.bin.random)) / 1000")
echo "- armored decrypt overhead (2 MB random): quillet +$q_arm ms, age -a +$a_arm ms: $(calc "$q_arm / $a_arm")x (aim <= 1.5)"
for i in random prose; do
    q_mb=$(calc "($(median q.dec.bin.$i) - $(median q.dec.bin.small)) / 1000 / 2")
    g_mb=$(calc "($(median gpg.dec.bin.$i) - $(median gpg.dec.bin.small)) / 1000 / 2")
    echo "- decrypt per MB ($i, 2 MB minus small): quillet $q_mb ms, gpg -c $g_mb ms: $(calc "$q_mb / $g_mb")x (aim <= 2)"
done
if ((has_xvfb)); then
    wq=$(ms window.quillet)
    wb=$(ms window.bare)
    echo "- window mapped: quillet $wq ms, bare Qt window $wb ms: $(calc "$wq / $wb")x (aim <= 1.5)"
fi
if [ -s "$work/pipeline.json" ]; then
    python3 - "$work/pipeline.json" << 'EOF'
import json, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
med = {b["run_name"]: b["real_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0}[b["time_unit"]]
       for b in runs if b.get("aggregate_name", "median") == "median"}
peer = next(v for k, v in med.items() if "Zstd" in k)
for k, v in med.items():
    if "KeysDerivedOnce" in k:
        where = ("memory, as the command line runs it (no randomness view)" if "WithoutView" in k
                 else "memory, as the window runs it" if k.endswith(":1") else "disk, as the window runs it")
        print(f"- pipeline without key derivation ({where}): {v:.1f} ms, zstd 3 + secretstream {peer:.2f} ms: "
              f"{v / peer:.2f}x (aim <= 2 in memory)")
EOF
fi
