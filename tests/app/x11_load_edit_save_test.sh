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

here=$(dirname "$(realpath "$0")")
# shellcheck source=x11_session.sh
source "$here/x11_session.sh"
x11_start "$1" "$2"

# MS entry 12 of the table at 4194762 (50 bytes each); HP is bytes 2-3, little-endian.
hp=4321
expected=$work/expected.gba
cp "$rom" "$expected"
printf '\xe1\x10' | dd of="$expected" bs=1 seek=$((4194762 + 50 * 11 + 2)) conv=notrunc status=none

# Runs the file dialog as choose_file does, and checks that no window of the
# dialog stays open and that the keyboard goes back to the editor window.
choose_file_checked() {
  choose_file "$@"
  wait_for 2 window_count_is 1 ||
    fail "a window of the file dialog stayed open: $(editor_windows | xargs -r -n1 xdotool getwindowname)"
  # No window manager runs here: the window itself must take the keyboard back.
  wait_for 2 eval '[[ $(xdotool getwindowfocus 2>/dev/null) == "$main" ]]' ||
    fail "the keyboard did not go back to the editor window after the file dialog"
}

# Load ROM (Button2 at 364,44 73x21).
choose_file_checked 400 54 "$rom"

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
choose_file_checked 400 75 "$rom"

if ! wait_for 5 cmp -s "$rom" "$expected"; then
  box_is_open && echo "the editor shows a message" >&2
  cmp "$rom" "$expected" >&2 || true
  fail "the saved ROM differs from the expected bytes"
fi
echo "saved ROM matches: entry 12 HP $hp, nothing else changed"
