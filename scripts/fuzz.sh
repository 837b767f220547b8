#!/usr/bin/env bash
# Builds the fuzz targets (fuzz preset), replays every kept crash input under fuzz/regressions, then
# runs each target for a fixed time, starting from seeds made out of the test vectors and test data.
# Fails when a regression input or a new input crashes a target; a new one is left in
# build-fuzz/fuzz-run/artifacts/<target>/ (docs/FUZZING.md says what to do with it).
#
#   bash scripts/fuzz.sh [seconds per target (default 30)] [target ...]
# QUILLET_FUZZ_FLAGS adds libFuzzer options to the fuzzing runs (e.g. "-max_len=4096").
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

bin=build-fuzz/bin
run=build-fuzz/fuzz-run
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$bin"/fuzz_*; do targets+=("${exe##*/fuzz_}"); done
fi

rm -rf "$run/seeds"
# The targets that read files write their inputs to a scratch folder: in memory when possible.
scratch=$(mktemp -d /dev/shm/quillet-fuzz.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
"$bin/quillet_fuzz_seeds" . "$run/seeds"

shopt -s nullglob
failed=()
for target in "${targets[@]}"; do
  exe="$bin/fuzz_$target"
  [ -x "$exe" ] || { echo "no fuzz target '$target'"; exit 2; }
  artifacts="$run/artifacts/$target"
  mkdir -p "$run/corpus/$target" "$run/seeds/$target" "$artifacts"

  regressions=(fuzz/regressions/"$target"/*)
  if [ ${#regressions[@]} -gt 0 ]; then
    echo "== $target: replaying ${#regressions[@]} regression input(s)"
    if ! "$exe" "${regressions[@]}" >"$run/$target-regressions.log" 2>&1; then
      tail -n 40 "$run/$target-regressions.log"
      failed+=("$target (regression)")
      continue
    fi
  fi

  echo "== $target: fuzzing for ${seconds}s"
  # shellcheck disable=SC2086 # the extra options are words on purpose
  if ! "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 ${QUILLET_FUZZ_FLAGS:-} \
      -artifact_prefix="$artifacts/" "$run/corpus/$target" "$run/seeds/$target" >"$run/$target.log" 2>&1; then
    tail -n 40 "$run/$target.log"
    echo "The input that broke $target is in $artifacts/; add it under fuzz/regressions/$target/."
    failed+=("$target")
    continue
  fi
  grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units)' "$run/$target.log" | tail -n 1 || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing failed: ${failed[*]}"
  exit 1
fi
