#!/usr/bin/env bash
# The manual pages render with man -l without a warning from the formatter, and each names its
# program in its NAME section.
# Usage: man_pages_test.sh PAGE.1...
set -euo pipefail
for page in "$@"; do
  name=$(basename "$page" .1)
  out=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  if [ -n "$out" ]; then
    echo "FAIL $name: the formatter warned:"
    echo "$out"
    exit 1
  fi
  MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "^ *$name - " || {
    echo "FAIL $name: no NAME line '$name - ...'"
    exit 1
  }
  echo "ok   $name"
done
