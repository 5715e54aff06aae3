#!/usr/bin/env bash
# The command line's contract as outside scripts use it: arguments, standard
# input and output, the format list, exit statuses and messages.
set -u
cli=${VORLANE_CLI:?set VORLANE_CLI to the vorlane-cli binary}
failures=0
passes=0

check() {  # check NAME EXPECTED ACTUAL
  if [[ "$2" == "$3" ]]; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
  fi
}

# A SubRip block passes through standard input and output unchanged.
srt=$'1\r\n00:00:01,500 --> 00:00:04,020\r\nHello\r\nWorld\r\n\r\n'
out=$(printf '%s' "$srt" | "$cli" SubRipper - | od -An -c)
check "stdin round trip" "$(printf '%s' "$srt" | od -An -c)" "$out"
printf '%s' "$srt" | "$cli" subripper - >/dev/null
check "format name ignores case" 0 $?

# --list-formats: 50 rows, name TAB value TAB extension, in box order.
list=$("$cli" --list-formats)
check "list has 50 rows" 50 "$(printf '%s\n' "$list" | wc -l)"
check "first row" $'AdobeEncoreDVD\t21\ttxt' "$(printf '%s\n' "$list" | head -n 1)"
check "last row" $'ZeroG\t11\ttxt' "$(printf '%s\n' "$list" | tail -n 1)"
check "SubRipper row" $'SubRipper\t2\tsrt' "$(printf '%s\n' "$list" | grep '^SubRipper')"

# A timing field that is not a number: the corrupted-file report, status 1.
bad=$'1\r\n00:00:xx,000 --> 00:00:04,000\r\nHi\r\n'
err=$(printf '%s' "$bad" | "$cli" SubRipper - 2>&1 >/dev/null)
check "corrupted status" 1 "$(printf '%s' "$bad" | "$cli" SubRipper - >/dev/null 2>&1; echo $?)"
check "corrupted message" "File <stdin> is corrupted. Error on line: 'xx' is not a valid integer value" "$err"

# Unrecognised input: status 1, nothing on standard output.
out=$(printf 'just text\n' | "$cli" SubRipper - 2>/dev/null)
check "unrecognised status" 1 "$(printf 'just text\n' | "$cli" SubRipper - >/dev/null 2>&1; echo $?)"
check "unrecognised output" "" "$out"

# Usage errors: status 2.
check "unknown format" 2 "$("$cli" NoSuchFormat - </dev/null >/dev/null 2>&1; echo $?)"
check "no format" 2 "$("$cli" >/dev/null 2>&1; echo $?)"
check "no paths" 2 "$("$cli" SubRipper >/dev/null 2>&1; echo $?)"
check "unknown option" 2 "$("$cli" --bogus SubRipper - </dev/null >/dev/null 2>&1; echo $?)"
check "bad fps" 2 "$("$cli" --fps abc SubRipper - </dev/null >/dev/null 2>&1; echo $?)"
check "help" 0 "$("$cli" --help >/dev/null 2>&1; echo $?)"
"$cli" --help | grep -q -- '--list-formats'
check "help lists options" 0 $?

printf '%d passed, %d failed\n' "$passes" "$failures"
[[ $failures -eq 0 ]]
