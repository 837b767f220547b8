#!/usr/bin/env bash
# Fails when a C++ file of src, tests, tools, bench or fuzz is not formatted as .clang-format says.
# `clang-format -i <file>` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' \
  'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp' 'fuzz/*.h' | xargs -0 clang-format --dry-run --Werror
