#!/usr/bin/env bash
# The whole road with the keyboard alone, under a real X server and window
# manager: Ctrl+O, the ROM's path and Return; "012" finds entry 12 in the
# entry list; Tab to HP, a new value; Tab to Apply and Space; Ctrl+S and
# Return. The saved file differs from the ROM in entry 12's HP alone.
#
#   x11_keyboard_only_test.sh EDITOR RUN_DIR
#
# Exits 77 (skipped) when Xvfb, xdotool or openbox is missing.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
# shellcheck source=x11_session.sh
source "$here/x11_session.sh"
x11_start "$1" "$2" openbox

hp=4321
expected=$work/expected.gba
cp "$rom" "$expected"
# MS entry 12 of the table at 4194762 (50 bytes each); HP is bytes 2-3, little-endian.
printf '\xe1\x10' | dd of="$expected" bs=1 seek=$((4194762 + 50 * 11 + 2)) conv=notrunc status=none

keys() { xdotool key --clearmodifiers --delay 20 "$@"; }
# The window manager gives the new window the keyboard; the entry list has it.
wait_for 5 eval '[[ $(xdotool getactivewindow 2>/dev/null) == "$main" ]]' ||
  fail "the editor window did not get the keyboard"

# Load ROM: Ctrl+O, the path, Return.
keys ctrl+o
dialog=$(xdo search --sync --onlyvisible --name '^Open$' | head -n 1) || fail "Ctrl+O opened no dialog"
xdotool type --delay 15 "$rom"
keys Return
wait_for 10 no_window_named '^Open$' || fail "the file dialog did not close"
wait_for 5 eval '[[ $(xdotool getactivewindow 2>/dev/null) == "$main" ]]' ||
  fail "the keyboard did not come back to the editor window"

# Type to find entry 12, then Tab to HP (the designed order: entry list,
# faction 8, Ace, Cost, HP) and type over its value.
xdotool type --delay 40 "012"
sleep 0.5
keys Tab Tab Tab Tab
xdotool type --delay 15 "$hp"
# From HP to Apply: Move, EN, move type, 3 terrain, 13 faction and 3 factory
# ticks, 12 edits, then Apply (34 steps in the designed order).
for _ in $(seq 34); do keys Tab; done
keys space

# Save ROM: Ctrl+S offers the loaded file; Return writes it.
keys ctrl+s
xdo search --sync --onlyvisible --name '^Open$' >/dev/null || fail "Ctrl+S opened no dialog"
keys Return
wait_for 10 no_window_named '^Open$' || fail "the file dialog did not close"

if ! wait_for 5 cmp -s "$rom" "$expected"; then
  box_is_open && echo "the editor shows a message" >&2
  cmp "$rom" "$expected" >&2 || true
  fail "the saved ROM differs from the expected bytes"
fi
echo "keyboard only: entry 12 HP $hp saved, nothing else changed"
