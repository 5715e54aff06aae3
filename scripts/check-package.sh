#!/usr/bin/env bash
# Checks the Debian package on this machine, as root: builds it
# (scripts/package.sh), installs it with apt, and checks what a user meets:
# the files in place, vorlane-cli --version (when --help lists it) and its
# statically linked libraries, the manual pages, completion of
# `vorlane-cli Sub<TAB>`, the desktop entry
# (desktop-file-validate), the window started from its desktop entry on a
# virtual display by an ordinary user, for whom /usr/lib/vorlane is
# read-only, keeping its options in ~/.config/vorlane/config.ini, Help
# showing the manual (a screenshot is left in the work folder), and that
# purging the package leaves nothing of it behind.
#
# It installs the tools it uses (Xvfb, xdotool, desktop-file-utils,
# bash-completion, man-db, python3-xlib, ffmpeg) and creates the user
# vorlane-check, removed again at the end. Prints one line per check and
# exits non-zero when any failed. Not part of scripts/test.sh: it installs
# packages into the machine.
#
#   scripts/check-package.sh [WORK_FOLDER]    (default /tmp/vorlane-check)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2
work="${1:-/tmp/vorlane-check}"
user=vorlane-check
program_dir=/usr/lib/vorlane
entry=/usr/share/applications/vorlane.desktop

if [[ $(id -u) -ne 0 ]]; then
  echo "check-package.sh: run as root: it installs and removes the package" >&2
  exit 2
fi

failures=0
ok() { echo "ok:      $*"; }
fail() {
  echo "FAILED:  $*"
  failures=$((failures + 1))
}
skip() { echo "skipped: $*"; }
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then ok "$what"; else fail "$what"; fi
}

# The work folder is emptied first, so it must be one this script made.
if [[ -e "$work" && ! -e "$work/.vorlane-check" && -n "$(ls -A "$work" 2>/dev/null)" ]]; then
  echo "check-package.sh: $work is not empty and not a work folder of this script" >&2
  exit 2
fi
rm -rf "$work"
mkdir -p "$work"
touch "$work/.vorlane-check"
chmod 755 "$work"

tools=(xvfb xauth xdotool desktop-file-utils bash-completion man-db python3-xlib ffmpeg)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "check-package.sh: installing ${missing[*]}" >&2
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null || exit 2
fi

# --- Build and install ------------------------------------------------------
if ! deb="$(scripts/package.sh 2>"$work/package.log" | tail -n 1)" || [[ ! -f "$deb" ]]; then
  echo "check-package.sh: the package was not built; see $work/package.log" >&2
  tail -n 20 "$work/package.log" >&2
  exit 1
fi
ok "package built: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"
echo "         Depends: $(dpkg-deb -f "$deb" Depends)"
echo "         Recommends: $(dpkg-deb -f "$deb" Recommends)"

if dpkg-query -W -f='${Status}' vorlane 2>/dev/null | grep -q installed; then
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq vorlane >/dev/null 2>&1
fi
cp "$deb" "$work/"
if (cd "$work" && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$(basename "$deb")") \
  >"$work/install.log" 2>&1; then
  ok "apt install ./$(basename "$deb")"
else
  fail "apt install ./$(basename "$deb") (see $work/install.log)"
  exit 1
fi
dpkg -L vorlane >"$work/files.txt"

# --- Files, command line, manual pages, completion, desktop entry -----------
check "/usr/bin/vorlane leads to $program_dir/vorlane" \
  test "$(readlink -f /usr/bin/vorlane)" = "$program_dir/vorlane"
check "/usr/bin/vorlane-cli runs (--list-formats gives $(/usr/bin/vorlane-cli --list-formats | wc -l) formats)" \
  test "$(/usr/bin/vorlane-cli --list-formats | wc -l)" -ge 50
# The command line carries pugixml, uchardet and the C++ runtime in itself
# (VORLANE_STATIC_CLI), for a faster start; the window links them as shared
# libraries, so the Depends above still name them.
needed="$(objdump -p /usr/bin/vorlane-cli | awk '$1 == "NEEDED" { printf "%s ", $2 }')"
check "vorlane-cli needs no shared C++, pugixml or uchardet library (needs: $needed)" \
  test -z "$(grep -oE 'lib(stdc\+\+|gcc_s|pugixml|uchardet)' <<<"$needed")"
check "$program_dir holds help.chm, help/index.html and 12 catalogues" \
  test -f "$program_dir/help.chm" -a -f "$program_dir/help/index.html" -a \
  "$(find "$program_dir/locale" -name default.mo | wc -l)" -eq 12

if /usr/bin/vorlane-cli --help | grep -q -- '--version'; then
  version="$(/usr/bin/vorlane-cli --version 2>&1)"
  check "vorlane-cli --version: $version" grep -q "$(dpkg-query -W -f='${Version}' vorlane)" <<<"$version"
else
  skip "vorlane-cli --version (not listed by --help in this build)"
fi

man_text="$(MANWIDTH=80 man -P cat vorlane-cli 2>/dev/null)"
check "man vorlane-cli ($(wc -l <<<"$man_text") lines, lists --output-dir and the exit status)" \
  grep -q -- '--output-dir' <<<"$man_text"
grep -q 'EXIT STATUS' <<<"$man_text" || fail "man vorlane-cli has no EXIT STATUS section"
check "man vorlane ($(MANWIDTH=80 man -P cat vorlane 2>/dev/null | wc -l) lines, names ~/.config/vorlane)" \
  grep -q '.config/vorlane' <(MANWIDTH=80 man -P cat vorlane 2>/dev/null)

# Completion as an interactive bash has it: bash-completion loads the file
# on first use, then the function is called with the words typed so far.
completion="$(bash -c '
  source /usr/share/bash-completion/bash_completion
  _completion_loader vorlane-cli
  complete -p vorlane-cli
  COMP_WORDS=(vorlane-cli Sub); COMP_CWORD=1; COMP_LINE="vorlane-cli Sub"; COMP_POINT=15
  $(complete -p vorlane-cli | sed -n "s/.*-F \([^ ]*\).*/\1/p") vorlane-cli Sub vorlane-cli
  printf "%s\n" "${COMPREPLY[@]}"' 2>&1)"
replies="$(tail -n +2 <<<"$completion" | tr '\n' ' ')"
check "vorlane-cli Sub<TAB> completes to: $replies" \
  test "$replies" = "SubCreator1x SubRipper SubSonic SubViewer1 SubViewer2 "
options="$(bash -c '
  source /usr/share/bash-completion/bash_completion; _completion_loader vorlane-cli
  COMP_WORDS=(vorlane-cli --no); COMP_CWORD=1; _vorlane_cli; printf "%s " "${COMPREPLY[@]}"' 2>&1)"
check "vorlane-cli --no<TAB> completes to: $options" grep -q -- '--no-backup' <<<"$options"

validation="$(desktop-file-validate "$entry" 2>&1)"
check "desktop-file-validate $entry${validation:+: $validation}" test -z "$validation"

# --- The window, as an ordinary user on a virtual display -------------------
id "$user" >/dev/null 2>&1 || useradd -m -s /bin/bash "$user"
home="$(getent passwd "$user" | cut -d: -f6)"
rm -rf "$home/.config/vorlane"
data_dirs=/usr/local/share:/usr/share
as_user() {
  runuser -u "$user" -- env -i HOME="$home" USER="$user" LOGNAME="$user" PATH=/usr/bin:/bin \
    DISPLAY="$display" LANG=C.UTF-8 XDG_DATA_DIRS="$data_dirs" "$@"
}
check "$program_dir is read-only for $user" \
  runuser -u "$user" -- sh -c "! test -w '$program_dir'"

# Nothing of the caller's X session may leak into the checks: every X
# client below is given the virtual display explicitly.
unset DISPLAY XAUTHORITY WAYLAND_DISPLAY
# The server picks a free display number itself (-displayfd), so a display
# or lock left by another server is never reused. -noreset: by default the
# server resets whenever its last client leaves, and drops every connection
# still being set up at that moment; the polling below connects and leaves
# ten times a second, so a window starting while nothing else is shown
# (as root's does, once the user's has closed) could fail with "could not
# connect to display".
Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp -ac -noreset \
  >"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
cleanup() {
  [[ -n "${viewer_pid:-}" ]] && kill "$viewer_pid" 2>/dev/null
  [[ -n "${window_pid:-}" ]] && kill "$window_pid" 2>/dev/null
  # Waiting lets the server remove its socket and lock before we return.
  kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
display=":$(head -n 1 "$work/display" 2>/dev/null)"
# Ready once it answers a client (10 s at most).
display_ready=
if [[ $display != ":" ]]; then
  for _ in $(seq 100); do
    DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1 && display_ready=1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
fi
check "virtual display $display answers (Xvfb pid $xvfb_pid; see $work/xvfb.log)" test -n "$display_ready"

# Asks the window to close as a window manager would (WM_DELETE_WINDOW).
close_window() {
  DISPLAY="$display" /usr/bin/python3 - "$1" <<'PY'
import sys
from Xlib import X, display, protocol
d = display.Display()
w = d.create_resource_object("window", int(sys.argv[1]))
protocols, delete = d.intern_atom("WM_PROTOCOLS"), d.intern_atom("WM_DELETE_WINDOW")
w.send_event(protocol.event.ClientMessage(window=w, client_type=protocols,
                                          data=(32, [delete, X.CurrentTime, 0, 0, 0])))
d.flush()
PY
}
wait_gone() {  # wait_gone PID: true once the process has ended (10 s at most)
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}
# Clicks "Help", which sits 8 pixels from the window's left edge with its
# bottom 5 pixels above the bottom edge.
click_help() {
  eval "$(DISPLAY="$display" xdotool getwindowgeometry --shell "$window")"
  DISPLAY="$display" xdotool mousemove --window "$window" 48 $((HEIGHT - 15)) click 1
}
# Starts the window from its desktop entry and sets window and window_pid.
start_from_entry() {
  start_window as_user gio launch "$entry"
}
# Runs a command that shows the window and sets window and window_pid.
start_window() {
  window=
  window_pid=
  echo "--- $(date +%T) $*" >>"$work/window.log"
  "$@" >>"$work/window.log" 2>&1 &
  for _ in $(seq 100); do
    window="$(DISPLAY="$display" xdotool search --onlyvisible --name '^Vorlane' 2>/dev/null | head -n 1)"
    [[ -n "$window" ]] && break
    sleep 0.1
  done
  [[ -n "$window" ]] && window_pid="$(DISPLAY="$display" xdotool getwindowpid "$window")"
  [[ -n "$window_pid" ]]
}

if start_from_entry; then
  ok "window started from $entry by $user (pid $window_pid)"
  check "the window runs in its own folder (Path=): $(readlink "/proc/$window_pid/cwd")" \
    test "$(readlink "/proc/$window_pid/cwd")" = "$program_dir"

  before="$(DISPLAY="$display" xdotool search --onlyvisible --name . 2>/dev/null | sort)"
  click_help
  viewer=
  for _ in $(seq 150); do
    viewer="$(comm -13 <(echo "$before") \
      <(DISPLAY="$display" xdotool search --onlyvisible --name . 2>/dev/null | sort) | head -n 1)"
    [[ -n "$viewer" ]] && break
    sleep 0.1
  done
  if [[ -n "$viewer" ]]; then
    sleep 2  # let the viewer draw its page
    viewer_pid="$(DISPLAY="$display" xdotool getwindowpid "$viewer" 2>/dev/null)"
    viewer_name="$(DISPLAY="$display" xdotool getwindowname "$viewer")"
    viewer_program="$(ps -o comm= -p "${viewer_pid:-0}" 2>/dev/null)"
    shot="screenshot $work/help.png"
    ffmpeg -loglevel error -y -f x11grab -video_size 1280x800 -i "$display" -frames:v 1 \
      "$work/help.png" || shot="no screenshot (ffmpeg failed)"
    ok "Help opened the manual in ${viewer_program:-a viewer} (window \"$viewer_name\"); $shot"
    if [[ -n "$viewer_pid" ]]; then
      kill "$viewer_pid" 2>/dev/null
      wait_gone "$viewer_pid"
    fi
    viewer_pid=
  else
    fail "Help opened no window within 15 s"
  fi

  close_window "$window"
  check "the window closes when asked" wait_gone "$window_pid"
  config="$home/.config/vorlane/config.ini"
  check "its options were kept in $config" grep -q '^Name=MicroDVD' "$config"
  check "nothing was written into $program_dir" test ! -e "$program_dir/config.ini"
  if [[ -f "$config" ]]; then
    echo "         $(tr '\n' ' ' <"$config")"
    # The next start reads them: a format chosen there survives a run.
    sed -i 's/^Name=.*/Name=SubRipper/' "$config"
    if start_from_entry; then
      close_window "$window"
      wait_gone "$window_pid"
      check "a second start read them back (Name=SubRipper kept)" grep -q '^Name=SubRipper' "$config"
    else
      fail "the window did not start a second time"
    fi
  fi
  window_pid=

  # A desktop without a CHM viewer but with a browser: the system's
  # programs are hidden (only the MIME database stays in XDG_DATA_DIRS) and
  # a recorder stands in for the browser as the user's program for HTML.
  mkdir -p "$work/data" "$home/.local/share/applications" "$home/.local/bin"
  ln -sfn /usr/share/mime "$work/data/mime"
  printf '#!/bin/sh\necho "$@" >"%s/browser-opened"\n' "$home" >"$home/.local/bin/browser"
  chmod 755 "$home/.local/bin/browser"
  printf '%s\n' '[Desktop Entry]' 'Type=Application' 'Name=Browser' \
    "Exec=$home/.local/bin/browser %f" 'MimeType=text/html;' \
    >"$home/.local/share/applications/check-browser.desktop"
  printf '%s\n' '[Default Applications]' 'text/html=check-browser.desktop' \
    >"$home/.config/mimeapps.list"
  chown -R "$user:" "$home/.local" "$home/.config/mimeapps.list"
  rm -f "$home/browser-opened"
  data_dirs="$work/data"
  if start_from_entry; then
    click_help
    for _ in $(seq 100); do [[ -s "$home/browser-opened" ]] && break; sleep 0.1; done
    check "without a CHM viewer Help opened in the browser: $(cat "$home/browser-opened" 2>/dev/null)" \
      grep -qx "$program_dir/help/index.html" "$home/browser-opened"
    close_window "$window"
    wait_gone "$window_pid"
  else
    fail "the window did not start on the desktop without a CHM viewer"
  fi
  window_pid=
else
  fail "the window did not appear within 10 s after gio launch $entry (see $work/window.log)"
fi

# Root may write in the program's folder, so the window keeps its options
# there, as it does wherever its folder is writable; purging removes them.
if start_window env -i HOME=/root PATH=/usr/bin:/bin DISPLAY="$display" LANG=C.UTF-8 \
  /usr/bin/vorlane; then
  close_window "$window"
  wait_gone "$window_pid"
  check "run by root, the window kept its options in $program_dir/config.ini" \
    test -f "$program_dir/config.ini"
else
  fail "the window did not start for root (see $work/window.log)"
fi
window_pid=

# --- Removal -------------------------------------------------------------
if DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq vorlane >"$work/purge.log" 2>&1; then
  ok "apt-get purge vorlane"
else
  fail "apt-get purge vorlane (see $work/purge.log)"
fi
left=()
while IFS= read -r path; do
  [[ -e "$path" || -L "$path" ]] || continue
  # Shared folders stay when another package owns them or they still hold
  # files of others.
  if [[ -d "$path" && ! -L "$path" ]] &&
    { dpkg-query -S "$path" >/dev/null 2>&1 || [[ -n "$(ls -A "$path")" ]]; }; then
    continue
  fi
  left+=("$path")
done <"$work/files.txt"
check "purging left nothing behind (${#left[@]} of $(wc -l <"$work/files.txt") paths remain${left:+: ${left[*]}})" \
  test ${#left[@]} -eq 0 -a ! -e "$program_dir"
check "dpkg no longer knows vorlane" sh -c '! dpkg-query -W vorlane >/dev/null 2>&1'

userdel -r "$user" >/dev/null 2>&1
echo
if ((failures)); then
  echo "check-package.sh: $failures check(s) FAILED"
  exit 1
fi
echo "check-package.sh: every check passed"
