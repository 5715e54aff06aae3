#!/usr/bin/env bash
# The command line's contract as outside scripts use it: arguments, standard
# input and output, the format list, exit statuses and messages.
set -u
cli=${VORLANE_CLI:?set VORLANE_CLI to the vorlane-cli binary}
# Some checks run from other folders: a relative path to the binary must
# still name it there.
[[ $cli == */* && $cli != /* ]] && cli=$PWD/$cli
# VORLANE_CLI_ARGS (such as --classic) go before every command's own
# arguments: the whole contract holds with them as well.
wrap=$(mktemp -d)
trap 'rm -rf "$wrap"' EXIT
if [[ -n ${VORLANE_CLI_ARGS:-} ]]; then
  printf '#!/bin/sh\nexec %q %s "$@"\n' "$cli" "$VORLANE_CLI_ARGS" >"$wrap/cli"
  chmod +x "$wrap/cli"
  cli=$wrap/cli
fi
failures=0
passes=0
classic=false
[[ ${VORLANE_CLI_ARGS:-} == *--classic* ]] && classic=true

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

# --list-formats: the 50 classic rows and those after them, name TAB value
# TAB extension, in box order.
list=$("$cli" --list-formats)
check "list has the 50 classic rows" 50 "$(printf '%s\n' "$list" | awk -F'\t' '$2 <= 50' | wc -l)"
check "first row" $'AdobeEncoreDVD\t21\ttxt' "$(printf '%s\n' "$list" | head -n 1)"
check "last row" $'ZeroG\t11\ttxt' "$(printf '%s\n' "$list" | tail -n 1)"
check "SubRipper row" $'SubRipper\t2\tsrt' "$(printf '%s\n' "$list" | grep '^SubRipper')"
if [[ ${VORLANE_CLI_ARGS:-} == *--classic* ]]; then
  check "classic list has only the 50" 50 "$(printf '%s\n' "$list" | wc -l)"
else
  check "SBV row" $'SBV\t53\tsbv' "$(printf '%s\n' "$list" | grep '^SBV')"
  check "WebVTT row" $'WebVTT\t51\tvtt' "$(printf '%s\n' "$list" | grep '^WebVTT')"
  check "TTML row" $'TTML\t52\tttml' "$(printf '%s\n' "$list" | grep '^TTML')"
  check "EBUSTL row" $'EBUSTL\t54\tstl' "$(printf '%s\n' "$list" | grep '^EBUSTL')"
  check "SCC is read, not written" "" "$(printf '%s\n' "$list" | grep '^SCC')"
fi

# A timing field that is not a number: the corrupted-file report, status 1.
bad=$'1\r\n00:00:xx,000 --> 00:00:04,000\r\nHi\r\n'
err=$(printf '%s' "$bad" | "$cli" SubRipper - 2>&1 >/dev/null)
check "corrupted status" 1 "$(printf '%s' "$bad" | "$cli" SubRipper - >/dev/null 2>&1; echo $?)"
check "corrupted message and summary" "File <stdin> is corrupted. Error on line: 'xx' is not a valid integer value (line 2)
converted 0, skipped 0, failed 1" "$err"

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

# A frame-counting output needs a rate from standard input as well: without
# --fps nothing is written (every frame would be 0), with it the frames come.
err=$(printf '%s' "$srt" | "$cli" MicroDVD - 2>&1 >/dev/null)
check "frames out without rate status" 1 "$(printf '%s' "$srt" | "$cli" MicroDVD - >/dev/null 2>&1; echo $?)"
check "frames out without rate output" "" "$(printf '%s' "$srt" | "$cli" MicroDVD - 2>/dev/null)"
[[ $err == *"--fps"* ]]
check "frames out without rate names --fps" 0 $?
check "frames out with rate" "{150}{402}Hello|World" "$(printf '%s' "$srt" | "$cli" --fps 100 MicroDVD - | tr -d '\r')"
sub=$'{25}{50}Hi\r\n'
check "frames in without rate status" 1 "$(printf '%s' "$sub" | "$cli" SubRipper - >/dev/null 2>&1; echo $?)"
check "frames in with rate" "00:00:01,000 --> 00:00:02,000" "$(printf '%s' "$sub" | "$cli" --fps 25 SubRipper - | tr -d '\r' | sed -n 2p)"
# A MicroDVD first cue {1}{1}RATE is the input's own frame rate, before
# --fps, and no cue.
check "frames in with the file's rate" "1
00:00:01,000 --> 00:00:02,000
Hi" "$(printf '{1}{1}25\r\n%s' "$sub" | "$cli" --fps 50 SubRipper - | tr -d '\r' | sed -n 1,3p)"
check "infinite fps" 2 "$("$cli" --fps inf SubRipper - </dev/null >/dev/null 2>&1; echo $?)"

# File mode: folders searched as the window's command line takes them.
same() {  # same FILE BYTES: "same" when the file holds exactly these bytes
  if cmp -s "$1" <(printf '%s' "$2"); then echo same; else echo differs; fi
}
work=$(mktemp -d)
trap 'rm -rf "$work" "$wrap"' EXIT
mkdir -p "$work/tree/Season1" "$work/tree/.old"
printf '%s' "$srt" >"$work/tree/Season1/EP01.SRT"
printf '%s' "$srt" >"$work/tree/.old/old.srt"
printf 'just words\r\n' >"$work/tree/notes.txt"
printf '%s' "$srt" >"$work/tree/clip.avi"
ln -s .. "$work/tree/Season1/up"
out=$("$cli" TMPlayer "$work/tree" 2>"$work/err")
check "tree status" 1 $?
check "tree stdout" "" "$out"
check "tree skipped list and summary" "Skipped files
$work/tree/notes.txt
converted 1, skipped 1, failed 0" "$(sed -n '/^Skipped files$/,$p' "$work/err")"
check "tree output keeps the real name" "00:00:02:Hello|World" "$(tr -d '\r' <"$work/tree/Season1/EP01.txt")"
check "tree backup" same "$(same "$work/tree/Season1/BAK/EP01.SRT" "$srt")"
check "tree source moved" no "$([[ -e $work/tree/Season1/EP01.SRT ]] && echo yes || echo no)"
check "tree hidden folder untouched" same "$(same "$work/tree/.old/old.srt" "$srt")"
check "tree other extension untouched" same "$(same "$work/tree/clip.avi" "$srt")"
check "tree unrecognised untouched" same "$(same "$work/tree/notes.txt" $'just words\r\n')"

# Every file converted: status 0, nothing said.
mkdir -p "$work/ok"
printf '%s' "$srt" >"$work/ok/a.srt"
printf '%s' "$srt" >"$work/ok/b.srt"
check "all converted status" 0 "$("$cli" TMPlayer "$work/ok" >/dev/null 2>&1; echo $?)"
check "all converted outputs" "a.txt b.txt BAK" "$(cd "$work/ok" && echo *.txt BAK)"
mkdir -p "$work/empty/.hidden"
printf '%s' "$srt" >"$work/empty/.hidden/x.srt"
check "folder without subtitle files" 0 "$("$cli" SubRipper "$work/empty" >/dev/null 2>&1; echo $?)"

# Both options off: the output replaces the input.
mkdir -p "$work/inplace"
printf '%s' "$srt" >"$work/inplace/film.srt"
"$cli" --no-backup --no-force-ext TMPlayer "$work/inplace/film.srt" 2>/dev/null
check "in place status" 0 $?
check "in place content" "00:00:02:Hello|World" "$(tr -d '\r' <"$work/inplace/film.srt")"
check "in place no BAK" no "$([[ -e $work/inplace/BAK ]] && echo yes || echo no)"

# A file named on its own is taken whatever its extension; relative paths
# are taken against the current folder.
mkdir -p "$work/named"
printf '%s' "$srt" >"$work/named/film.data"
(cd "$work/named" && "$cli" --no-backup TMPlayer film.data 2>/dev/null)
check "named file status" 0 $?
check "named file output" "00:00:02:Hello|World" "$(tr -d '\r' <"$work/named/film.txt")"
check "named file kept" same "$(same "$work/named/film.data" "$srt")"
check "missing named file" 1 "$("$cli" SubRipper "$work/named/missing.srt" >/dev/null 2>&1; echo $?)"

# Frame-based files: the video beside tells the rate, else --fps; without
# either the file is skipped untouched with a hint.
mkdir -p "$work/frames"
printf '%s' "$sub" >"$work/frames/film.sub"
printf '%s' "$sub" >"$work/frames/lone.sub"
# An AVI stream header: "strh", size, then scale 1 and rate 50 at 20 and 24.
{
  printf 'RIFF\x00\x01\x00\x00AVI LIST\x40\x00\x00\x00hdrlstrh\x38\x00\x00\x00'
  printf 'vidsDIVX\0\0\0\0\0\0\0\0\0\0\0\0\x01\x00\x00\x00\x32\x00\x00\x00'
  printf '%040d' 0
} >"$work/frames/film.avi"
err=$("$cli" --no-backup SubRipper "$work/frames/film.sub" "$work/frames/lone.sub" 2>&1 >/dev/null)
check "frames status" 1 $?
check "frames from the video" "00:00:00,500 --> 00:00:01,000" "$(tr -d '\r' <"$work/frames/film.srt" | sed -n 2p)"
check "frames without rate untouched" same "$(same "$work/frames/lone.sub" "$sub")"
check "frames without rate not written" no "$([[ -e $work/frames/lone.srt ]] && echo yes || echo no)"
[[ $err == *"$work/frames/lone.sub"*"--fps"* ]]
check "frames without rate hint" 0 $?
"$cli" --no-backup --fps 25 SubRipper "$work/frames/lone.sub" 2>/dev/null
check "frames with --fps status" 0 $?
check "frames with --fps" "00:00:01,000 --> 00:00:02,000" "$(tr -d '\r' <"$work/frames/lone.srt" | sed -n 2p)"
# A Matroska video of 24000/1001 frames per second (scripts/make-test-videos.sh)
# gives the exact rate: frame 960000 is 40040 seconds in, not 40040.04 as at
# 23.976. The classic rules look for the five classic extensions only.
mkdir -p "$work/mkv"
cp "$(dirname "$0")/../data/videos/clip.mkv" "$work/mkv/film.MKV"
printf '{960000}{960240}Late\r\n{1000000}{1000024}Later\r\n' >"$work/mkv/film.sub"
"$cli" --no-backup --report "$work/mkv.json" SubRipper "$work/mkv/film.sub" 2>/dev/null
status=$?
video=$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["inputs"][0]["video"])' \
  "$work/mkv.json")
if [[ ${VORLANE_CLI_ARGS:-} == *--classic* ]]; then
  check "mkv ignored by the classic rules" "1 None" "$status $video"
else
  check "mkv status and report" "0 $work/mkv/film.MKV" "$status $video"
  check "mkv exact rate" "11:07:20,000 --> 11:07:30,010" "$(tr -d '\r' <"$work/mkv/film.srt" | sed -n 2p)"
  # Frame 1,000,000 at 24000/1001 is 41708.333 s: to the millisecond, not
  # the .375 of 23.976 frames a second.
  check "mkv exact rate at frame 1000000" "11:35:08,333 --> 11:35:09,334" \
    "$(tr -d '\r' <"$work/mkv/film.srt" | sed -n 6p)"
fi

err=$("$cli" --no-backup MicroDVD "$work/ok/BAK/a.srt" 2>&1)
check "time-based into frames without rate" 1 $?
[[ $err == *"MicroDVD"*"--fps"* ]]
check "time-based into frames hint" 0 $?

# --output-dir: outputs go there under their names; backups stay beside the
# sources; a path that is not a folder is a usage error.
mkdir -p "$work/src"
printf '%s' "$srt" >"$work/src/film.srt"
"$cli" --output-dir "$work/made/here" TMPlayer "$work/src" 2>/dev/null
check "output dir status" 0 $?
check "output dir output" "00:00:02:Hello|World" "$(tr -d '\r' <"$work/made/here/film.txt")"
check "output dir backup beside source" same "$(same "$work/src/BAK/film.srt" "$srt")"
check "output dir no stray output" no "$([[ -e $work/src/film.txt ]] && echo yes || echo no)"
check "output dir is a file" 2 "$("$cli" --output-dir "$work/named/film.data" TMPlayer "$work/src" >/dev/null 2>&1; echo $?)"
check "output dir without value" 2 "$("$cli" TMPlayer "$work/src" --output-dir >/dev/null 2>&1; echo $?)"

# --quiet: errors only, no skipped list.
err=$("$cli" --quiet TMPlayer "$work/tree/notes.txt" 2>&1 >/dev/null)
check "quiet status" 1 $?
check "quiet says only the error" "vorlane-cli: $work/tree/notes.txt: format not recognised or not readable" "$err"
"$cli" --help | grep -q -- '--output-dir'
check "help lists --output-dir" 0 $?
"$cli" --help | grep -q -- '--classic'
check "help lists --classic" 0 $?

# --version; the summary line after every run, not with --quiet.
check "version" "vorlane-cli ${VORLANE_VERSION:?}" "$("$cli" --version)"
for option in --version --shift --transform-framerate --report; do
  "$cli" --help | grep -q -- "$option"
  check "help lists $option" 0 $?
done
check "summary after stdin" "converted 1, skipped 0, failed 0" "$(printf '%s' "$srt" | "$cli" SubRipper - 2>&1 >/dev/null)"
check "quiet has no summary" "" "$(printf '%s' "$srt" | "$cli" --quiet SubRipper - 2>&1 >/dev/null)"

# --shift and --transform-framerate: every cue, shift first.
timing() {  # timing ARGS...: the timing line of the SubRip block through the CLI
  printf '%s' "$srt" | "$cli" "$@" SubRipper - 2>/dev/null | tr -d '\r' | sed -n 2p
}
check "shift seconds" "00:00:01,000 --> 00:00:03,520" "$(timing --shift -0.5)"
check "shift clock" "00:01:03,000 --> 00:01:05,520" "$(timing --shift=00:01:01.5)"
# Milliseconds are kept; the classic rules count hundredths.
if $classic; then
  check "framerate" "00:00:01,560 --> 00:00:04,190" "$(timing --transform-framerate 25 23.976)"
  check "shift then framerate" "00:00:02,610 --> 00:00:05,230" "$(timing --shift 1 --transform-framerate 25 23.976)"
  check "shift milliseconds" "00:00:02,730 --> 00:00:05,250" "$(timing --shift 1.234)"
else
  check "framerate" "00:00:01,564 --> 00:00:04,192" "$(timing --transform-framerate 25 23.976)"
  check "shift then framerate" "00:00:02,607 --> 00:00:05,234" "$(timing --shift 1 --transform-framerate 25 23.976)"
  check "shift milliseconds" "00:00:02,734 --> 00:00:05,254" "$(timing --shift 1.234)"
fi
for args in "--shift" "--shift 1.2.3" "--shift 2s" "--shift 1:75" "--transform-framerate 25" \
    "--transform-framerate 0 25" "--transform-framerate 25 abc" "--report="; do
  # shellcheck disable=SC2086
  check "usage error: $args" 2 "$(printf '%s' "$srt" | "$cli" $args SubRipper - >/dev/null 2>&1; echo $?)"
done
# A time beyond the range of a cue time fails the file, which stays as it was.
mkdir -p "$work/late"
printf '%s' "$srt" >"$work/late/film.srt"
err=$("$cli" --shift 5965:13:55 SubRipper "$work/late/film.srt" 2>&1 >/dev/null)
check "shift beyond range status" 1 $?
[[ $err == *"$work/late/film.srt"*"cue 1"*"converted 0, skipped 0, failed 1" ]]
check "shift beyond range message" 0 $?
check "shift beyond range untouched" "film.srt" "$(ls -A "$work/late")"

# --report: one entry per input, standard input included.
mkdir -p "$work/rep"
printf '%s' "$srt" >"$work/rep/good.srt"
printf '%s' "$bad" >"$work/rep/bad.srt"
printf 'just words\r\n' >"$work/rep/words.txt"
latin1=$'caf\xe9'  # a Latin-1 name: not UTF-8
printf '%s' "$srt" >"$work/rep/$latin1.srt"
printf '%s' "$srt" | "$cli" --report "$work/run.json" TMPlayer - "$work/rep" >/dev/null 2>&1
check "report run status" 1 $?
summary=$(python3 - "$work/run.json" "$work" <<'PY'
import json, sys
report = json.load(open(sys.argv[1], encoding="utf-8"))
def show(value):
    if value is None:
        return "-"
    return str(value).replace(sys.argv[2], "W").encode("ascii", "backslashreplace").decode()
print(report["program"], report["output_format"], report["converted"], report["skipped"],
      report["failed"], report["interrupted"])
for i in report["inputs"]:
    print(*(show(i[key]) for key in ("path", "result", "format", "cues", "output", "backup")),
          "reason" if i["reason"] else "-")
PY
)
check "report contents" "vorlane-cli TMPlayer 3 1 1 False
- converted SubRipper 1 - - -
W/rep/bad.srt failed SubRipper 0 - - reason
W/rep/caf\\xe9.srt converted SubRipper 1 W/rep/caf\\xe9.txt W/rep/BAK/caf\\xe9.srt -
W/rep/good.srt converted SubRipper 1 W/rep/good.txt W/rep/BAK/good.srt -
W/rep/words.txt skipped - - - - reason" "$summary"
check "report to stdout" 0 "$("$cli" --report - SubRipper "$work/empty" | python3 -c 'import json,sys; sys.exit(json.load(sys.stdin)["inputs"] != [])'; echo $?)"
check "report to stdout beside stdin" 2 "$(printf '%s' "$srt" | "$cli" --report - SubRipper - >/dev/null 2>&1; echo $?)"
check "report onto an input" 2 "$("$cli" --report "$work/rep/good.txt" SubRipper "$work/rep/good.txt" >/dev/null 2>&1; echo $?)"
check "report onto an input untouched" "00:00:02:Hello|World" "$(tr -d '\r' <"$work/rep/good.txt")"

# --fps takes 1 to 1000; anything else is a usage error, never an empty output.
for rate in 0 0.5 1e19 1e308 1000.5 -25; do
  check "fps $rate refused" 2 "$("$cli" --fps "$rate" SubRipper - </dev/null >/dev/null 2>&1; echo $?)"
done
check "fps 1 taken" "00:00:25,000 --> 00:00:50,000" "$(printf '%s' "$sub" | "$cli" --fps 1 SubRipper - | tr -d '\r' | sed -n 2p)"
# Frame 25 at 1000 fps is 25 ms, or 2.5 hundredths rounded to the even 2.
if $classic; then fps1000="00:00:00,020 --> 00:00:00,050"; else fps1000="00:00:00,025 --> 00:00:00,050"; fi
check "fps 1000 taken" "$fps1000" "$(printf '%s' "$sub" | "$cli" --fps 1000 SubRipper - | tr -d '\r' | sed -n 2p)"

# Files never read are named for what they are; a pipe is refused unopened
# (no hang); a name with a control character stays one entry of the list.
mkdir -p "$work/odd"
printf '%s' "$srt" >"$work/odd/y.srt"
printf 'words\r\n' >"$work/odd/"$'two\nlines.srt'
mkfifo "$work/odd/x.srt"
err=$(timeout 20 "$cli" --no-backup MPL2 "$work/odd/x.srt" "$work/odd/gone.srt" "$work/odd/y.srt" \
  "$work/odd/"$'two\nlines.srt' 2>&1 >/dev/null)
check "odd inputs status" 1 $?
check "odd inputs messages" "vorlane-cli: $work/odd/x.srt: not a regular file (a folder, pipe or device); not opened
vorlane-cli: $work/odd/gone.srt: not found
vorlane-cli: \"$work/odd/two\\nlines.srt\": format not recognised or not readable
Skipped files
$work/odd/x.srt
$work/odd/gone.srt
\"$work/odd/two\\nlines.srt\"
converted 1, skipped 3, failed 0" "$err"
check "odd inputs: the rest converted" "[15][40]Hello|World" "$(tr -d '\r' <"$work/odd/y.txt")"
printf '%s' "$srt" >"$work/odd/twice.srt"
err=$("$cli" MPL2 "$work/odd/twice.srt" "$work/odd/twice.srt" 2>&1 >/dev/null)
check "named twice status" 0 $?
check "named twice" "vorlane-cli: $work/odd/twice.srt: named twice; read once, at its first naming in this run
converted 1, skipped 0, failed 0" "$err"

# An output never takes the place of another input of the run, nor of a
# file in BAK; an existing output is kept in BAK.
mkdir -p "$work/clash"
printf '%s' "$sub" >"$work/clash/a.sub"
printf '%s' "$srt" >"$work/clash/a.srt"
err=$("$cli" --fps 25 SubRipper "$work/clash/a.sub" "$work/clash/a.srt" 2>&1 >/dev/null)
check "clash status" 1 $?
check "clash names both" "vorlane-cli: $work/clash/a.sub: not converted: its output would replace \"$work/clash/a.srt\", another input of this run that is still in its place
converted 1, skipped 0, failed 1" "$err"
check "clash source kept" same "$(same "$work/clash/a.sub" "$sub")"
check "clash other input kept" same "$(same "$work/clash/BAK/a.srt" "$srt")"
earlier=$(od -An -c "$work/clash/a.srt")
"$cli" --fps 25 SubRipper "$work/clash/a.sub" 2>/dev/null
check "existing output status" 0 $?
check "existing output kept in BAK" "$earlier" "$(od -An -c "$work/clash/BAK/a.srt.1")"

# --jobs: a whole number from 1; the results are those of --jobs 1.
for jobs in 0 -1 abc 2.5 1025; do
  check "jobs $jobs refused" 2 "$("$cli" --jobs "$jobs" SubRipper - </dev/null >/dev/null 2>&1; echo $?)"
done
for jobs in 1 3; do
  rm -rf "$work/jobs"
  cp -r "$work/tree" "$work/jobs"
  "$cli" --jobs=$jobs --fps 25 MicroDVD "$work/jobs" >/dev/null 2>"$work/jobs$jobs.err"
  echo "status $?" >>"$work/jobs$jobs.err"
  (cd "$work/jobs" && find . -type f -exec sha1sum {} + | sort) >"$work/jobs$jobs.tree"
done
check "jobs 3 as jobs 1: messages" "$(cat "$work/jobs1.err")" "$(cat "$work/jobs3.err")"
check "jobs 3 as jobs 1: files" "$(cat "$work/jobs1.tree")" "$(cat "$work/jobs3.tree")"
"$cli" --help | grep -q -- '--jobs'
check "help lists --jobs" 0 $?

# Unicode input becomes UTF-8 with a byte order mark; a format refused by
# name says which it is, on standard input and in a run over files alike.
# The classic reading reads neither.
if [[ ${VORLANE_CLI_ARGS:-} != *--classic* ]]; then
  out=$(printf '%s' "$srt" | iconv -f UTF-8 -t UTF-16 | "$cli" SubRipper - | od -An -c)
  check "UTF-16 in, UTF-8 with mark out" "$(printf '\xef\xbb\xbf%s' "$srt" | od -An -c)" "$out"
  err=$(printf '# VobSub index file, v7 (do not modify this line!)\n' | "$cli" SubRipper - 2>&1 >/dev/null)
  check "refused on stdin" "vorlane-cli: <stdin>: format not recognised or not readable: VobSub subtitles are not supported
converted 0, skipped 1, failed 0" "$err"
  printf '# VobSub index file, v7 (do not modify this line!)\n' >"$work/captions.idx"
  err=$("$cli" --quiet --no-backup SubRipper "$work/captions.idx" 2>&1 >/dev/null)
  check "refused file status" 1 $?
  check "refused file message" "vorlane-cli: $work/captions.idx: format not recognised or not readable: VobSub subtitles are not supported" "$err"
  # Broadcast captions: SCC read from its caption bytes; EBU STL written at
  # 25 frames a second, or 30 when --fps says so.
  scc=$'Scenarist_SCC V1.0\r\n\r\n00:00:01:00\t9420 9420 9470 9470 c8e9 942f 942f\r\n\r\n00:00:02:00\t942c 942c\r\n'
  check "SCC in" $'1\n00:00:01,000 --> 00:00:02,000\nHi' "$(printf '%s' "$scc" | "$cli" SubRipper - 2>/dev/null | tr -d '\r')"
  check "EBU STL out" "850STL25.01" "$(printf '%s' "$srt" | "$cli" EBUSTL - 2>/dev/null | head -c 11)"
  check "EBU STL out at 30" "850STL30.01" "$(printf '%s' "$srt" | "$cli" --fps 30 EBUSTL - 2>/dev/null | head -c 11)"
  check "EBU STL back" $'1\n00:00:01,520 --> 00:00:04,000\nHello\nWorld' \
    "$(printf '%s' "$srt" | "$cli" EBUSTL - 2>/dev/null | "$cli" SubRipper - 2>/dev/null | tr -d '\r')"
fi

# The report goes where any output may go, and nowhere else: never over a
# backup or into BAK, never replacing a pipe, a device or a link; written
# into a pipe where it is; a folder or socket is a usage error; a report
# that cannot be written makes the status 1. Each row: name, the --report
# argument, the status, then a check run afterwards that prints "ok".
mkdir -p "$work/rpt/BAK"
mkfifo "$work/rpt/pipe"
ln -s target.json "$work/rpt/link.json"
python3 -c 'import socket,sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$work/rpt/sock" 2>/dev/null
report_rows=(
  "into BAK|$work/rpt/BAK/a.srt|2|[[ ! -e $work/rpt/BAK/a.srt ]] && cmp -s $work/rpt/a.srt $work/rpt/orig"
  "a pipe, read|$work/rpt/pipe|0|grep -q '\"program\"' $work/rpt/pipe.out && [[ -p $work/rpt/pipe ]]"
  "a link, followed|$work/rpt/link.json|0|[[ -L $work/rpt/link.json ]] && grep -q '\"program\"' $work/rpt/target.json"
  "a full device|/dev/full|1|[[ -c /dev/full ]]"
  "a folder|$work/rpt|2|true"
  "a socket|$work/rpt/sock|2|[[ -S $work/rpt/sock ]] || [[ ! -e $work/rpt/sock ]]"
)
for row in "${report_rows[@]}"; do
  IFS='|' read -r name arg want after <<<"$row"
  printf '%s' "$srt" >"$work/rpt/a.srt"
  cp "$work/rpt/a.srt" "$work/rpt/orig"
  rm -f "$work/rpt/pipe.out"
  [[ $name == "a pipe, read" ]] && { cat "$work/rpt/pipe" >"$work/rpt/pipe.out" & }
  timeout 20 "$cli" --no-backup --report "$arg" SubViewer2 "$work/rpt/a.srt" >/dev/null 2>&1
  check "report into $name: status" "$want" $?
  wait
  check "report into $name: afterwards" ok "$(eval "$after" && echo ok)"
done

# An output without cues is never written over anything: every cue moved
# before zero, a header-only file; an empty file is "empty", not corrupted.
mkdir -p "$work/none"
printf '%s' "$srt" >"$work/none/a.srt"
printf '[Script Info]\r\n\r\n[Events]\r\n' >"$work/none/h.ass"
: >"$work/none/e.srt"
err=$("$cli" --no-backup --no-force-ext --shift -10 SubRipper "$work/none/a.srt" 2>&1 >/dev/null)
check "all before zero status" 1 $?
check "all before zero message" "vorlane-cli: $work/none/a.srt: every cue lies before zero; nothing written" "$(head -n 1 <<<"$err")"
check "all before zero source kept" same "$(same "$work/none/a.srt" "$srt")"
err=$("$cli" --no-backup --input-encoding auto MPL2 "$work/none/e.srt" 2>&1 >/dev/null)
check "empty file message" "vorlane-cli: $work/none/e.srt: empty" "$(head -n 1 <<<"$err")"
check "empty file counted skipped" "converted 0, skipped 1, failed 0" "$(tail -n 1 <<<"$err")"
# A shift no format can read back is an error naming the cue.
err=$("$cli" --no-backup --no-force-ext --shift 5000:00:00 SubRipper "$work/none/a.srt" 2>&1 >/dev/null)
check "shift beyond 100 hours" "vorlane-cli: $work/none/a.srt: not converted: after retiming, cue 1 lies at 5000 hours, 0 minutes; SubRipper cannot hold times of 100 hours or more so that they read back" "$(head -n 1 <<<"$err")"
check "shift beyond 100 hours source kept" same "$(same "$work/none/a.srt" "$srt")"

# --output-dir mirrors the folders searched; files named one by one go to
# the folder itself.
mkdir -p "$work/tree/season/S01" "$work/tree/season/S02"
printf '%s' "$srt" >"$work/tree/season/S01/E01.srt"
printf '%s' "$srt" >"$work/tree/season/S02/E01.srt"
printf '%s' "$srt" >"$work/tree/alone.srt"
"$cli" --output-dir "$work/tree/out" MPL2 "$work/tree/season" "$work/tree/alone.srt" 2>/dev/null
check "mirrored tree status" 0 $?
check "mirrored tree" "S01/E01.txt S02/E01.txt alone.txt" "$(cd "$work/tree/out" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"

# A malformed cue of a reader beyond the classic ones costs that cue: a
# warning names the file and the line, the report lists it, --strict fails
# the file and writes nothing, --quiet says nothing.
if [[ ${VORLANE_CLI_ARGS:-} != *--classic* ]]; then
  printf '[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\nDialogue: 0,0:00:01.00,0:00:02.00,,,0,0,0,,a\nDialogue: 0,0:0x:02.00,0:00:03.00,,,0,0,0,,b\nDialogue: 0,0:00:03.00,0:00:04.00,,,0,0,0,,c\n' >"$work/warn.ass"
  err=$("$cli" --no-backup --report "$work/warn.json" SubRipper "$work/warn.ass" 2>&1 >/dev/null)
  check "warning status" 0 $?
  check "warning message" "vorlane-cli: $work/warn.ass: warning: '0:0x:02.00' is not a valid time; cue left out (line 4)
converted 1, skipped 0, failed 0" "$err"
  grep -q '"warnings": \[{"line": 4, "problem": "'"'"'0:0x:02.00'"'"' is not a valid time; cue left out"}\]' "$work/warn.json"
  check "warning in the report" 0 $?
  check "warning cues written" 2 "$(grep -c -- '-->' "$work/warn.srt")"
  rm -f "$work/warn.srt"
  err=$("$cli" --quiet --strict --no-backup SubRipper "$work/warn.ass" 2>&1 >/dev/null)
  check "strict status" 1 $?
  check "strict message" "vorlane-cli: $work/warn.ass: not converted: --strict: '0:0x:02.00' is not a valid time; cue left out (line 4)" "$err"
  check "strict writes nothing" "no" "$([[ -e $work/warn.srt ]] && echo yes || echo no)"
  "$cli" --help | grep -q -- '--strict'
  check "help lists --strict" 0 $?
fi

# Character sets: 8-bit input named or guessed, UTF-8 output on request;
# an unknown name or value is a usage error.
latin=$'1\r\n00:00:01,500 --> 00:00:04,020\r\ncaf\xe9\r\n\r\n'
out=$(printf '%s' "$latin" | "$cli" --input-encoding WINDOWS-1252 --output-encoding utf-8 SubRipper - | od -An -c)
check "named input to UTF-8" "$(printf '%s' "$latin" | iconv -f WINDOWS-1252 -t UTF-8 | od -An -c)" "$out"
out=$(printf '%s' "$latin" | "$cli" --input-encoding=WINDOWS-1252 SubRipper - | od -An -c)
check "named input written back as source" "$(printf '%s' "$latin" | od -An -c)" "$out"
# Without a name, 8-bit text is decoded by a guess; the classic reading
# takes the bytes as they are and cannot write them as UTF-8.
if $classic; then
  check "8-bit to UTF-8 without a name" 1 "$(printf '%s' "$latin" | "$cli" --output-encoding utf-8 SubRipper - >/dev/null 2>&1; echo $?)"
else
  out=$(printf '%s' "$latin" | "$cli" --output-encoding utf-8 SubRipper - | od -An -c)
  check "8-bit to UTF-8 without a name" "$(printf '%s' "$latin" | iconv -f WINDOWS-1252 -t UTF-8 | od -An -c)" "$out"
fi
check "unknown input encoding" 2 "$("$cli" --input-encoding NO-SUCH-SET SubRipper - </dev/null >/dev/null 2>&1; echo $?)"
check "unknown output encoding" 2 "$("$cli" --output-encoding NO-SUCH-SET SubRipper - </dev/null >/dev/null 2>&1; echo $?)"
# Any character set iconv knows is a name for the output.
out=$(printf '%s' "$latin" | iconv -f WINDOWS-1252 -t UTF-8 | "$cli" --output-encoding latin1 SubRipper - | od -An -c)
check "named output encoding" "$(printf '%s' "$latin" | od -An -c)" "$out"
"$cli" --help | grep -q -- '--output-encoding'
check "help lists --output-encoding" 0 $?

printf '%d passed, %d failed\n' "$passes" "$failures"
[[ $failures -eq 0 ]]
