#!/usr/bin/env bash
# The bash completion of vorlane-cli, run against the built program: format
# names in any case, options and their values as --help lists them, paths.
set -u
cli=${VORLANE_CLI:?set VORLANE_CLI to the vorlane-cli binary}
# shellcheck source=/dev/null
source "${VORLANE_COMPLETION:?set VORLANE_COMPLETION to the completion script}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/subs" && touch "$work/subs.srt"
failures=0

complete_words() {  # the completions offered for the last of the words
  COMP_WORDS=("$cli" "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _vorlane_cli 2>/dev/null
  ((${#COMPREPLY[@]} == 0)) || printf '%s ' "${COMPREPLY[@]}"
}
check() {  # check WORDS... = EXPECTED
  local words=() expected
  while [[ $1 != = ]]; do words+=("$1"); shift; done
  expected=$2
  local actual
  actual=$(complete_words "${words[@]}")
  if [[ $actual != "$expected" ]]; then
    failures=$((failures + 1))
    printf 'FAIL [%s]\n  expected: %s\n  actual:   %s\n' "${words[*]}" "$expected" "$actual"
  fi
}

check Sub = "SubCreator1x SubRipper SubSonic SubViewer1 SubViewer2 "
check sUBr = "SubRipper "
check --fps 25 mic = "MicroDVD "
check --no-backup micro = "MicroDVD "
check --no-f = "--no-force-ext "
check --fps "" = ""
check --output-dir "$work/sub" = "$work/subs "
check MicroDVD "$work/sub" = "$work/subs $work/subs.srt "
check MicroDVD -- -x = ""
# Every option --help lists is offered.
for option in $("$cli" --help | grep -o -- '^ *--[a-z-]*'); do
  [[ " $(complete_words --) " == *" $option "* ]] || {
    failures=$((failures + 1))
    echo "FAIL option $option not offered"
  }
done
exit $((failures > 0))
