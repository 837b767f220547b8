#!/usr/bin/env bash
# quillet-cli's manual page and bash completion know every command and option that
# `quillet-cli --help` lists, and the completion offers what each place expects: commands first, the
# command's own options, file names after a file option, folders after --out-dir, the fixed values of
# --kdf and --lang.
# Usage: cli_docs_test.sh QUILLET_CLI MAN_SOURCE COMPLETION
set -euo pipefail
cli=$1
man_source=$2
completion=$3
failures=0
fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}

help=$("$cli" --help)
options=$( (grep -o -- '--[a-z][a-z-]*' <<<"$help"; sed -n 's/^  \(-[a-z]\), --.*/\1/p' <<<"$help") | sort -u)
commands=$(sed -n 's/^  quillet-cli \([a-z][a-z]*\) .*/\1/p' <<<"$help" | sort -u)
[ -n "$options" ] && [ -n "$commands" ] || fail "no options or commands found in --help"
for word in $options $commands; do
  # As a word of its own: -o must not pass for being part of --out.
  pattern="(^|[^a-zA-Z-])$word([^a-zA-Z-]|\$)"
  grep -qE -- "$pattern" "$man_source" || fail "the manual page does not mention $word"
  grep -qE -- "$pattern" "$completion" || fail "the completion does not know $word"
done

# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1090
source "$completion"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir folder
touch letter.zip key.txt

complete_line() { # WORDS... (the last one is being completed)
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _quillet_cli quillet-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sed 's:/$::' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'
}
check() { # EXPECTED WORDS...
  local expected=$1
  shift
  local got
  got=$(complete_line "$@")
  [ "$got" = "$expected" ] || fail "completing '$*': got '$got', expected '$expected'"
}

check "--help --version checksum decrypt encrypt inspect keygen" quillet-cli ""
check "decrypt" quillet-cli de
check "--accept-bad-check --force --in --key-file --lang --message-out --out-dir" quillet-cli decrypt --
check "--accept-bad-check --force --in --key-file --lang --message-out --out-dir -f -i -k -o" quillet-cli decrypt -
check "--in" quillet-cli inspect --
check "--key-file --lang --strength" quillet-cli checksum --
check "--lang" quillet-cli keygen ""
check "folder key.txt letter.zip" quillet-cli decrypt --in ""
check "folder key.txt letter.zip" quillet-cli decrypt ""
check "key.txt" quillet-cli encrypt --key-file k
check "key.txt" quillet-cli encrypt -k k
check "folder" quillet-cli decrypt --out-dir ""
check "interactive moderate sensitive" quillet-cli encrypt --kdf ""
check "de en" quillet-cli encrypt --lang ""

[ "$failures" -eq 0 ] && echo "ok   manual page and completion know every option; completion offers the right words"
[ "$failures" -eq 0 ]
