#!/usr/bin/env bash
# A batch run ended from outside at random moments: by SIGKILL, by one
# SIGTERM and by two. Afterwards every source's bytes exist exactly once
# (in place or in BAK); a run that was stopped gracefully or by a second
# signal leaves no temporary file; what SIGKILL leaves is removed by the
# next run once it is a day old.
set -u
cli=${VORLANE_CLI:?set VORLANE_CLI to the vorlane-cli binary}
[[ $cli == */* && $cli != /* ]] && cli=$PWD/$cli
kills=${VORLANE_KILLS:-30}
failures=0
passes=0
fail() {
  failures=$((failures + 1))
  printf 'FAIL %s\n' "$1"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 80 SubRip files of 400 cues each, every one with its own bytes.
mkdir "$work/template"
awk -v dir="$work/template" 'BEGIN {
  for (f = 0; f < 80; f++) {
    out = dir "/f" f ".srt"
    for (c = 1; c <= 400; c++) {
      printf "%d\r\n00:%02d:%02d,000 --> 00:%02d:%02d,500\r\nfile %d cue %d\r\n\r\n",
        c, c / 60, c % 60, c / 60, c % 60, f, c > out
    }
    close(out)
  }
}'
(cd "$work/template" && sha1sum -- *.srt | cut -d' ' -f1 | sort) >"$work/sources"

# Every source hash exactly once among all files below $1.
sources_once() {
  local seen
  seen=$(find "$1" -type f -exec sha1sum -- {} + | cut -d' ' -f1 | sort)
  join "$work/sources" <(uniq -c <<<"$seen" | awk '$1 != 1 {print $2}') | grep -q . && return 1
  [[ $(comm -23 "$work/sources" <(sort -u <<<"$seen") | wc -l) -eq 0 ]]
}
temporaries() { find "$1" -name '.*.vorlane-??????' | wc -l; }

# A run whose timing is measured once, so kills fall inside it.
cp -r "$work/template" "$work/timing"
start=$(date +%s%N)
"$cli" --quiet TMPlayer "$work/timing" >/dev/null 2>&1
span=$((($(date +%s%N) - start) / 1000000))
((span < 20)) && span=20

left=0
for ((k = 0; k < kills; k++)); do
  dir=$work/kill$k
  cp -r "$work/template" "$dir"
  "$cli" --quiet TMPlayer "$dir" >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '0.%03d' $((RANDOM % span)))"
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  sources_once "$dir" || fail "SIGKILL $k: a source lost or doubled"
  n=$(temporaries "$dir")
  left=$((left + n))
  # The next run removes them once they are a day old.
  find "$dir" -name '.*.vorlane-??????' -exec touch -d '2 days ago' {} +
  "$cli" --quiet TMPlayer "$dir" >/dev/null 2>&1
  [[ $(temporaries "$dir") -eq 0 ]] || fail "SIGKILL $k: temporary files left after the next run"
  sources_once "$dir" || fail "SIGKILL $k: a source lost after the next run"
  rm -rf "$dir"
  passes=$((passes + 1))
done

# SIGTERM stops after the current file; a second one ends the run at once.
# Neither leaves a temporary file.
for signals in 1 2; do
  for ((k = 0; k < 5; k++)); do
    dir=$work/term$signals$k
    cp -r "$work/template" "$dir"
    "$cli" --quiet TMPlayer "$dir" >/dev/null 2>"$dir.err" &
    pid=$!
    # The signal is meant for a run under way: one that comes while the
    # program is still being loaded (slow under the sanitizers) meets no
    # handler yet and ends it before it has touched anything.
    for ((wait_ms = 0; wait_ms < 5000; wait_ms += 5)); do
      [[ -d $dir/BAK ]] || ! kill -0 "$pid" 2>/dev/null && break
      sleep 0.005
    done
    sleep "$(printf '0.%03d' $((RANDOM % span)))"
    kill -TERM "$pid" 2>/dev/null
    ((signals == 2)) && kill -TERM "$pid" 2>/dev/null
    wait "$pid"
    status=$?
    sources_once "$dir" || fail "SIGTERM x$signals $k: a source lost or doubled"
    [[ $(temporaries "$dir") -eq 0 ]] || fail "SIGTERM x$signals $k: temporary file left"
    # One signal: an orderly stop (status 1 and a word), unless it came too
    # late to matter. Two: ended by the signal, or stopped in order if the
    # second came after the run had already ended.
    case $signals:$status in
      1:0 | 1:1 | 2:0 | 2:1 | 2:143) ;;
      *) fail "SIGTERM x$signals $k: status $status" ;;
    esac
    if [[ $signals == 1 && $status == 1 ]] && ! grep -q interrupted "$dir.err"; then
      fail "SIGTERM $k: no word of the interruption"
    fi
    rm -rf "$dir"
    passes=$((passes + 1))
  done
done

printf '%d passed, %d failed (%d kills left %d temporary files, all removed by the next run)\n' \
  "$passes" "$failures" "$kills" "$left"
[[ $failures -eq 0 ]]
