#!/usr/bin/env bash
# The road of one edit under a real X server, with real key and mouse input:
# Load ROM by typing a path and Return, choose entry 12 in the entry list with
# the mouse, set its HP, Apply, Save ROM, and compare the saved file with the
# expected bytes. Also checks that no window of the file dialog stays open
# once it has closed, and that the keyboard goes back to the editor window.
#
#   x11_load_edit_save_test.sh EDITOR RUN_DIR
#
# RUN_DIR holds the name lists and sample-rom.gba. Exits 77 (skipped) when Xvfb
# or xdotool is missing; scripts/setup-debian.sh installs both.
set -euo pipefail

editor=$(realpath "$1")
run_dir=$(realpath "$2")
for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed" >&2
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid=""
editor_pid=""
cleanup() {
  [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Polls COMMAND every 0.05 s for up to SECONDS; succeeds as soon as it does.
wait_for() {
  local seconds=$1
  shift
  local tries=$((seconds * 20))
  while ((tries-- > 0)); do
    if "$@"; then return 0; fi
    sleep 0.05
  done
  return 1
}

cp "$run_dir"/namestring[CEJ].txt "$work"/
rom=$work/game.gba
cp "$run_dir"/sample-rom.gba "$rom"

# MS entry 12 of the table at 4194762 (50 bytes each); HP is bytes 2-3, little-endian.
hp=4321
expected=$work/expected.gba
cp "$rom" "$expected"
printf '\xe1\x10' | dd of="$expected" bs=1 seek=$((4194762 + 50 * 11 + 2)) conv=notrunc status=none

# A free display: Xvfb writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(cat "$work/display")
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

(cd "$work" && exec "$editor") >"$work/editor.log" 2>&1 &
editor_pid=$!

xdo() { timeout 10 xdotool "$@"; }
# The editor's visible windows (main window, dialogs, popups), one id a line.
editor_windows() { xdotool search --onlyvisible --pid "$editor_pid" 2>/dev/null || true; }
window_count_is() { [[ $(editor_windows | wc -l) -eq $1 ]]; }
named_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }

main=$(xdo search --sync --onlyvisible --name '^Varsk Unit Editor$' | head -n 1) ||
  fail "the editor window did not appear: $(cat "$work/editor.log")"
click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; }

# Runs the file dialog opened by the button at (X, Y): types PATH and Return.
choose_file() {
  click "$main" "$1" "$2"
  local dialog
  dialog=$(xdo search --sync --onlyvisible --name '^Open$' | head -n 1) || fail "no file dialog"
  xdotool windowfocus --sync "$dialog"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 15 "$3"
  xdotool key Return
  wait_for 10 eval '[[ -z $(named_window "^Open$") ]]' || fail "the file dialog did not close"
  wait_for 2 window_count_is 1 ||
    fail "a window of the file dialog stayed open: $(editor_windows | xargs -r -n1 xdotool getwindowname)"
  # No window manager runs here: the window itself must take the keyboard back.
  wait_for 2 eval '[[ $(xdotool getwindowfocus 2>/dev/null) == "$main" ]]' ||
    fail "the keyboard did not go back to the editor window after the file dialog"
}

# Load ROM (Button2 at 364,44 73x21).
choose_file 400 54 "$rom"

# Entry 12 in the entry list (ComboBox2 at 0,0 225x20): open it, click row 11.
click "$main" 112 10
wait_for 5 window_count_is 2 || fail "the entry list did not open"
list=$(editor_windows | grep -vx "$main" | head -n 1)
click "$list" 60 $((11 * 12 + 8))
wait_for 5 window_count_is 1 || fail "the entry list did not close"

# HP (Edit3 at 214,60 32x21), then Apply (Button1 at 364,86).
click "$main" 230 70
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 15 "$hp"
click "$main" 400 96

# Save ROM (Button3 at 364,65) into the same file.
choose_file 400 75 "$rom"

if ! wait_for 5 cmp -s "$rom" "$expected"; then
  box=$(named_window '^Varsk unit editor$')
  [[ -n "$box" ]] && echo "the editor shows an error message" >&2
  cmp "$rom" "$expected" >&2 || true
  fail "the saved ROM differs from the expected bytes"
fi
echo "saved ROM matches: entry 12 HP $hp, nothing else changed"
