#!/usr/bin/env bash
# Measures vorlane-cli against peer subtitle converters (ffmpeg, aeidon,
# subsrt-ts) and against plain cat and cp, back to back in one run, on a
# generated corpus in /dev/shm, and prints one table.
#
#   bench/compare.sh [--quick] [OPTIONS]
#
# Run with --help for the options; each has an environment variable too.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
helpers=$here/compare
peers_dir=$here/.peers
subsrt_version=2.1.2

files=${BENCH_FILES:-2000}
cues=${BENCH_CUES:-800}
big_mb=${BENCH_BIG_MB:-100}
stdin_mb=${BENCH_STDIN_MB:-500}
runs=${BENCH_RUNS:-5}
peer_runs=${BENCH_PEER_RUNS:-3}
peer_budget=${BENCH_PEER_BUDGET:-120}
startup_reps=${BENCH_STARTUP_REPS:-20}
peers=${BENCH_PEERS:-ffmpeg,aeidon,subsrt-ts}
root=${BENCH_DIR:-/dev/shm/vorlane-bench}
cli=${VORLANE_CLI:-}
install=1
keep=0

usage() {
  cat <<EOF
Usage: bench/compare.sh [OPTIONS]

Generates a subtitle corpus (the same bytes every time for the same sizes),
installs the peer converters when missing, and times, back to back:
cat and cp -r of the batch and the big file; vorlane-cli and each peer
converting the batch SubRip -> ASS and MicroDVD -> SubRip (25 fps), and the
big file SubRip -> ASS; vorlane-cli with one job on the batch, and on a
large input from standard input to standard output (for its peak memory);
the start-up of each tool on a one-cue file.

Options (environment variable and default in brackets):
  --quick            small sizes for a check in a minute or two:
                     --files 200 --big-mb 10 --stdin-mb 50 --runs 3 --peer-runs 1
  --files N          SubRip files in the batch            [BENCH_FILES, 2000]
  --cues N           cues in each batch file              [BENCH_CUES, 800]
  --big-mb N         size of the big file, in 10^6 bytes  [BENCH_BIG_MB, 100]
  --stdin-mb N       size of the standard-input file (copies of the big
                     file, at least N 10^6 bytes); 0: no such row
                                                          [BENCH_STDIN_MB, 500]
  --runs N           runs of vorlane-cli (cat and cp: twice as many)
                                                          [BENCH_RUNS, 5]
  --peer-runs N      runs of each peer                    [BENCH_PEER_RUNS, 3]
  --peer-budget S    no further run of a peer once its runs of one
                     conversion took S seconds            [BENCH_PEER_BUDGET, 120]
  --startup-reps N   starts timed in one start-up run     [BENCH_STARTUP_REPS, 20]
  --peers LIST       peers to run, comma-separated, or "none"
                                            [BENCH_PEERS, ffmpeg,aeidon,subsrt-ts]
  --dir DIR          corpus and scratch folder  [BENCH_DIR, /dev/shm/vorlane-bench]
  --cli PATH         vorlane-cli to measure [VORLANE_CLI; default: build it
                     in build-bench/ as Release]
  --no-install       do not install missing peers; skip them instead
  --keep             keep the converted copies in DIR/work
  --help             this text

The table goes to standard output and to DIR/report.md.
EOF
}

while [[ $# -gt 0 ]]; do
  case $1 in
    --quick) files=200; big_mb=10; stdin_mb=50; runs=3; peer_runs=1 ;;
    --files) files=$2; shift ;;
    --cues) cues=$2; shift ;;
    --big-mb) big_mb=$2; shift ;;
    --stdin-mb) stdin_mb=$2; shift ;;
    --runs) runs=$2; shift ;;
    --peer-runs) peer_runs=$2; shift ;;
    --peer-budget) peer_budget=$2; shift ;;
    --startup-reps) startup_reps=$2; shift ;;
    --peers) peers=$2; shift ;;
    --dir) root=$2; shift ;;
    --cli) cli=$2; shift ;;
    --no-install) install=0 ;;
    --keep) keep=1 ;;
    --help|-h) usage; exit 0 ;;
    *) echo "compare.sh: unknown option '$1'" >&2; usage >&2; exit 2 ;;
  esac
  shift
done

say() { echo "== $*" >&2; }
has_peer() { [[ ",$peers," == *",$1,"* ]]; }

# ---------------------------------------------------------------- set-up

as_root() { if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi; }

apt_install() {
  say "installing $*"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null ||
    { as_root apt-get update -qq && as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null; }
}

aeidon_ok() { /usr/bin/python3 -c 'import aeidon' 2>/dev/null; }
subsrt_ok() { [[ -f $peers_dir/node_modules/subsrt-ts/package.json ]]; }

install_tools() {
  local missing=()
  [[ -x /usr/bin/time ]] || missing+=(time)
  has_peer ffmpeg && ! command -v ffmpeg >/dev/null && missing+=(ffmpeg)
  has_peer aeidon && ! aeidon_ok && missing+=(python3-aeidon)
  has_peer subsrt-ts && ! command -v node >/dev/null && missing+=(nodejs npm)
  has_peer subsrt-ts && ! command -v npm >/dev/null && missing+=(npm)
  if [[ ${#missing[@]} -gt 0 ]]; then
    if [[ $install -eq 1 ]]; then apt_install "${missing[@]}"; fi
  fi
  if has_peer subsrt-ts && ! subsrt_ok && [[ $install -eq 1 ]] && command -v npm >/dev/null; then
    say "installing subsrt-ts $subsrt_version into $peers_dir"
    mkdir -p "$peers_dir"
    npm install --prefix "$peers_dir" --no-audit --no-fund --silent "subsrt-ts@$subsrt_version" >/dev/null
  fi
  [[ -x /usr/bin/time ]] || { echo "compare.sh: /usr/bin/time is missing (package 'time')" >&2; exit 1; }
  local kept=()
  for p in ${peers//,/ }; do
    case $p in
      ffmpeg) command -v ffmpeg >/dev/null && kept+=(ffmpeg) || say "ffmpeg missing: skipped" ;;
      aeidon) aeidon_ok && kept+=(aeidon) || say "python3-aeidon missing: skipped" ;;
      subsrt-ts) subsrt_ok && command -v node >/dev/null && kept+=(subsrt-ts) || say "subsrt-ts missing: skipped" ;;
      none) ;;
      *) echo "compare.sh: unknown peer '$p'" >&2; exit 2 ;;
    esac
  done
  peers=$(IFS=,; echo "${kept[*]:-}")
}

build_cli() {
  if [[ -z $cli ]]; then
    say "building vorlane-cli (Release) in $repo/build-bench"
    cmake -S "$repo" -B "$repo/build-bench" -DCMAKE_BUILD_TYPE=Release \
      -DVORLANE_BUILD_GUI=OFF -DVORLANE_BUILD_TESTS=OFF >/dev/null
    cmake --build "$repo/build-bench" -j"$(nproc)" --target vorlane-cli >/dev/null
    cli=$repo/build-bench/vorlane-cli
  fi
  cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
  [[ -x $cli ]] || { echo "compare.sh: no vorlane-cli at $cli" >&2; exit 1; }
}

make_corpus() {
  corpus=$root/corpus-${files}x${cues}-${big_mb}MB
  local stamp
  stamp=$(md5sum <"$helpers/make_corpus.py" | cut -d' ' -f1)
  if [[ $(cat "$corpus/.done" 2>/dev/null) != "$stamp" ]]; then
    say "generating the corpus in $corpus"
    rm -rf "$corpus"
    python3 "$helpers/make_corpus.py" "$corpus" "$files" "$cues" "$big_mb"
    echo "$stamp" >"$corpus/.done"
  fi
  # The standard-input file: copies of the big file one after the other
  # (SubRip numbering and times start again in each; every cue stays).
  stdin_file=
  stdin_bytes=0
  if ((stdin_mb > 0)); then
    local copies=$(((stdin_mb + big_mb - 1) / big_mb)) i
    stdin_file=$corpus/stdin-${copies}x.srt
    if [[ ! -f $stdin_file ]]; then
      say "writing $copies copies of the big file to $stdin_file"
      for ((i = 0; i < copies; i++)); do cat "$corpus/big/big.srt"; done >"$stdin_file.part"
      mv "$stdin_file.part" "$stdin_file"
    fi
    stdin_bytes=$(wc -c <"$stdin_file")
  fi
  batch_bytes=$(cat "$corpus"/batch-srt/*.srt | wc -c)
  sub_bytes=$(cat "$corpus"/batch-sub/*.sub | wc -c)
  big_bytes=$(wc -c <"$corpus/big/big.srt")
  one_bytes=$(wc -c <"$corpus/one/one.srt")
}

# ---------------------------------------------------------------- measuring

# One line per measurement in $results:
# group, tool, files, bytes, seconds of each run, peak RSS in KiB, check, note.
record() { (IFS=$'\t'; echo "$*") >>"$results"; }

work=
fresh_copy() { rm -rf "$work"; cp -r "$1" "$work"; }
no_prep() { :; }

# measure GROUP TOOL RUNS FILES BYTES PREP CHECK NOTE -- COMMAND...
# Before each run, untimed, evaluates PREP; then times COMMAND under
# /usr/bin/time -v. After the last run evaluates CHECK, which prints
# "ok ENCODING" or the reason the output is wrong. With $budget set (in
# seconds), stops early once the runs so far have taken that long.
budget=0
measure() {
  local group=$1 tool=$2 n=$3 count=$4 bytes=$5 prep=$6 check=$7 note=$8
  shift 8
  [[ $1 == -- ]] && shift
  local times=() rss=0 status=ok i t0 t1 kb spent=0 log=$root/log tv=$root/time-v
  for ((i = 0; i < n; i++)); do
    if ((budget > 0 && spent >= budget * 1000000)); then break; fi
    eval "$prep"
    t0=${EPOCHREALTIME/./}
    if ! /usr/bin/time -v -o "$tv" "$@" >/dev/null 2>"$log"; then
      status="exit status $(sed -n 's/^\s*Exit status: //p' "$tv" | head -1): $(head -c 200 "$log" | tr '\t\n' '  ')"
    fi
    t1=${EPOCHREALTIME/./}
    spent=$((spent + t1 - t0))
    times+=("$(awk -v us=$((t1 - t0)) 'BEGIN { printf "%.6f", us / 1e6 }')")
    kb=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$tv")
    if ((kb > rss)); then rss=$kb; fi
  done
  if [[ $status == ok ]]; then status=$(eval "$check" 2>&1) || true; fi
  say "$(printf '%-14s %-10s %s s  %s' "$group" "$tool" "$(IFS=' '; echo "${times[*]}")" "$status")"
  record "$group" "$tool" "$count" "$bytes" "$(IFS=,; echo "${times[*]}")" "$rss" "$status" "$note"
}

# A peer is slow enough that a few runs can take minutes each.
measure_peer() { budget=$peer_budget measure "$@"; }

# check_batch SOURCE_EXT OUTPUT_EXT: every input has an output, and a sample
# of three (first, middle, last) holds the cues of its SubRip source.
check_batch() {
  local from=$1 to=$2 inputs outputs n name enc
  inputs=$(find "$work" -maxdepth 1 -name "*.$from" | wc -l)
  outputs=$(find "$work" -maxdepth 1 -name "*.$to" | wc -l)
  if [[ $outputs -ne $inputs ]]; then echo "$outputs outputs for $inputs files"; return 1; fi
  for n in 0 $((files / 2)) $((files - 1)); do
    name=$(printf '%04d' "$n")
    enc=$(python3 "$helpers/check_output.py" "$corpus/batch-srt/$name.srt" "$work/$name.$to") ||
      { echo "$name.$to: $enc"; return 1; }
  done
  echo "ok $enc"
}

check_file() {
  local enc
  enc=$(python3 "$helpers/check_output.py" "$1" "$2") || { echo "$(basename "$2"): $enc"; return 1; }
  echo "ok $enc"
}

# One ffmpeg process a file, as a user would script it:
#   bash -c "$ffmpeg_loop" _ FROM TO DIR FFMPEG_INPUT_OPTIONS...
ffmpeg_loop='from=$1 to=$2 dir=$3; shift 3
  for f in "$dir"/*."$from"; do ffmpeg -nostdin -loglevel error -y "$@" -i "$f" "${f%.*}.$to"; done'

# A command REPS times in one shell; the start-up rows divide by REPS:
#   bash -c "$repeat" _ REPS COMMAND...
repeat='reps=$1; shift; for ((i = 0; i < reps; i++)); do "$@" || exit; done'

run_all() {
  local c=$corpus ff_latin=(-sub_charenc ISO-8859-1)
  work=$root/work
  local aeidon=(/usr/bin/python3 "$helpers/aeidon_convert.py")
  local subsrt=(node "$helpers/subsrt_convert.mjs" "$peers_dir")

  say "baselines"
  # Twice the runs: they are cheap, and every ratio is held against them.
  local base_runs=$((runs * 2))
  measure batch-copy cat "$base_runs" "$files" "$batch_bytes" no_prep 'echo ok' '' -- cat "$c"/batch-srt/*.srt
  measure batch-copy "cp -r" "$base_runs" "$files" "$batch_bytes" 'rm -rf "$work"' 'echo ok' '' -- cp -r "$c/batch-srt" "$work"
  measure sub-copy "cp -r" "$base_runs" "$files" "$sub_bytes" 'rm -rf "$work"' 'echo ok' '' -- cp -r "$c/batch-sub" "$work"
  measure big-copy cat "$base_runs" 1 "$big_bytes" no_prep 'echo ok' '' -- cat "$c/big/big.srt"
  measure big-copy cp "$base_runs" 1 "$big_bytes" 'rm -rf "$work"; mkdir "$work"' 'echo ok' '' -- cp "$c/big/big.srt" "$work/big.srt"

  say "SubRip -> ASS, batch"
  local prep='fresh_copy "$corpus/batch-srt"'
  measure batch-srt-ass vorlane-cli "$runs" "$files" "$batch_bytes" "$prep" 'check_batch srt ssa' '' -- \
    "$cli" --no-backup --quiet AdvancedSSA "$work"
  # One job: the same as the default while vorlane-cli has no --jobs.
  local one_job=() one_job_note='no --jobs option: one job is all there is'
  if "$cli" --help 2>&1 | grep -q -- '--jobs'; then one_job=(--jobs 1) one_job_note=''; fi
  measure batch-srt-ass "vorlane-cli --jobs 1" "$runs" "$files" "$batch_bytes" "$prep" 'check_batch srt ssa' "$one_job_note" -- \
    "$cli" "${one_job[@]}" --no-backup --quiet AdvancedSSA "$work"
  if has_peer ffmpeg; then
    measure_peer batch-srt-ass ffmpeg "$peer_runs" "$files" "$batch_bytes" "$prep" 'check_batch srt ass' 'a process a file' -- \
      bash -c "$ffmpeg_loop" _ srt ass "$work" "${ff_latin[@]}"
  fi
  if has_peer aeidon; then
    measure_peer batch-srt-ass aeidon "$peer_runs" "$files" "$batch_bytes" "$prep" 'check_batch srt ass' '' -- \
      "${aeidon[@]}" srt ass "$work"
  fi
  if has_peer subsrt-ts; then
    measure_peer batch-srt-ass subsrt-ts "$peer_runs" "$files" "$batch_bytes" "$prep" 'check_batch srt ass' '' -- \
      "${subsrt[@]}" srt ass "$work"
  fi

  say "MicroDVD -> SubRip at 25 fps, batch"
  prep='fresh_copy "$corpus/batch-sub"'
  measure batch-sub-srt vorlane-cli "$runs" "$files" "$sub_bytes" "$prep" 'check_batch sub srt' '' -- \
    "$cli" --no-backup --quiet --fps 25 SubRipper "$work"
  if has_peer ffmpeg; then
    measure_peer batch-sub-srt ffmpeg "$peer_runs" "$files" "$sub_bytes" "$prep" 'check_batch sub srt' 'a process a file' -- \
      bash -c "$ffmpeg_loop" _ sub srt "$work" "${ff_latin[@]}" -subfps 25
  fi
  if has_peer aeidon; then
    measure_peer batch-sub-srt aeidon "$peer_runs" "$files" "$sub_bytes" "$prep" 'check_batch sub srt' '' -- \
      "${aeidon[@]}" sub srt "$work"
  fi
  if has_peer subsrt-ts; then
    measure_peer batch-sub-srt subsrt-ts "$peer_runs" "$files" "$sub_bytes" "$prep" 'check_batch sub srt' '' -- \
      "${subsrt[@]}" sub srt "$work"
  fi

  say "SubRip -> ASS, big file"
  prep='fresh_copy "$corpus/big"'
  measure big-srt-ass vorlane-cli "$runs" 1 "$big_bytes" "$prep" 'check_file "$corpus/big/big.srt" "$work/big.ssa"' '' -- \
    "$cli" --no-backup --quiet AdvancedSSA "$work/big.srt"
  if has_peer ffmpeg; then
    measure_peer big-srt-ass ffmpeg "$peer_runs" 1 "$big_bytes" "$prep" 'check_file "$corpus/big/big.srt" "$work/big.ass"' '' -- \
      ffmpeg -nostdin -loglevel error -y "${ff_latin[@]}" -i "$work/big.srt" "$work/big.ass"
  fi
  if has_peer aeidon; then
    measure_peer big-srt-ass aeidon "$peer_runs" 1 "$big_bytes" "$prep" 'check_file "$corpus/big/big.srt" "$work/big.ass"' '' -- \
      "${aeidon[@]}" srt ass "$work/big.srt"
  fi
  if has_peer subsrt-ts; then
    measure_peer big-srt-ass subsrt-ts "$peer_runs" 1 "$big_bytes" "$prep" 'check_file "$corpus/big/big.srt" "$work/big.ass"' '' -- \
      "${subsrt[@]}" srt ass "$work/big.srt"
  fi

  if [[ -n $stdin_file ]]; then
    say "SubRip -> ASS, standard input to standard output"
    measure stdin-srt-ass vorlane-cli "$runs" 1 "$stdin_bytes" 'rm -rf "$work"; mkdir -p "$work"' \
      'check_file "$stdin_file" "$work/stdin.ssa"' '' -- \
      bash -c '"$1" --quiet AdvancedSSA - <"$2" >"$3"' _ "$cli" "$stdin_file" "$work/stdin.ssa"
  fi

  say "start-up: SubRip -> ASS of one cue, $startup_reps times a run"
  prep='fresh_copy "$corpus/one"'
  local reps=$startup_reps n_one=$((startup_reps)) b_one=$((one_bytes * startup_reps))
  measure startup vorlane-cli "$runs" "$n_one" "$b_one" "$prep" 'check_file "$corpus/one/one.srt" "$work/one.ssa"' '' -- \
    bash -c "$repeat" _ "$reps" "$cli" --no-backup --quiet AdvancedSSA "$work/one.srt"
  if has_peer ffmpeg; then
    measure startup ffmpeg "$runs" "$n_one" "$b_one" "$prep" 'check_file "$corpus/one/one.srt" "$work/one.ass"' '' -- \
      bash -c "$repeat" _ "$reps" ffmpeg -nostdin -loglevel error -y "${ff_latin[@]}" -i "$work/one.srt" "$work/one.ass"
  fi
  if has_peer aeidon; then
    measure startup aeidon "$runs" "$n_one" "$b_one" "$prep" 'check_file "$corpus/one/one.srt" "$work/one.ass"' '' -- \
      bash -c "$repeat" _ "$reps" "${aeidon[@]}" srt ass "$work/one.srt"
  fi
  if has_peer subsrt-ts; then
    measure startup subsrt-ts "$runs" "$n_one" "$b_one" "$prep" 'check_file "$corpus/one/one.srt" "$work/one.ass"' '' -- \
      bash -c "$repeat" _ "$reps" "${subsrt[@]}" srt ass "$work/one.srt"
  fi
}

# ---------------------------------------------------------------- main

mkdir -p "$root"
if [[ $(stat -f -c %T "$root") != tmpfs ]]; then
  say "warning: $root is not on tmpfs; file creation on disk can swing cp by 10x"
fi
install_tools
build_cli
make_corpus
results=$root/results.tsv
: >"$results"

machine="$(nproc) cores, $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo), \
$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), Linux $(uname -r)"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
started=$(date -u '+%Y-%m-%d %H:%M UTC')
say "machine: $machine; load average $load_before"

run_all
[[ $keep -eq 1 ]] || rm -rf "$root/work"

python3 "$helpers/table.py" "$results" \
  "date: $started" \
  "machine: $machine" \
  "load average (1, 5, 15 min): $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after" \
  "corpus: $files SubRip files of $cues cues ($batch_bytes bytes; the MicroDVD copy $sub_bytes bytes), a big file of $big_bytes bytes, a standard-input file of $stdin_bytes bytes, on $(stat -f -c %T "$root") ($root)" \
  "runs: $((runs * 2)) of cat and cp, $runs of vorlane-cli, $peer_runs of each peer (fewer once a peer's runs of one conversion took ${peer_budget} s); start-up: $runs runs of each tool, $startup_reps starts a run" \
  "vorlane-cli: $cli ($(git -C "$repo" rev-parse --short HEAD 2>/dev/null || echo unknown)$(git -C "$repo" diff --quiet HEAD -- subtitles app cli settings CMakeLists.txt 2>/dev/null || echo ', with local changes'))" \
  | tee "$root/report.md"
