#!/usr/bin/env bash
# The window never stores what the user did not see, and never drops work
# without asking; under a real X server and window manager, with real keys
# and clicks:
#   1. Save ROM on a fresh window asks before writing the built-in tables;
#      Escape (Cancel) changes no byte.
#   2. Load ROM, HP 300, Apply, Save ROM onto the same file: `varsk-units diff`
#      finds exactly that one changed field.
#   3. HP 70000 and Apply: a message; Save ROM then asks about the typed
#      value, Return (Apply and save) is refused with the message, and the
#      file does not change.
#   4. After another Apply, Alt+F4 asks; Escape (Cancel) keeps the window.
#   5. SIGTERM still ends the editor at once, with no question.
#
#   x11_unsaved_work_test.sh EDITOR VARSK_UNITS RUN_DIR
#
# Exits 77 (skipped) when Xvfb, xdotool or openbox is missing;
# scripts/setup-debian.sh installs them.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
units=$(realpath "$2")
# shellcheck source=x11_session.sh
source "$here/x11_session.sh"
x11_start "$1" "$3" openbox

original=$work/original.gba
cp "$rom" "$original"

# The buttons: Load ROM at 364,44, Save ROM at 364,65, Apply at 364,86 (73x21);
# HP (Edit3) at 214,60 (32x21).
load_rom() { choose_file 400 54 "$rom"; }
save_rom() { choose_file 400 75 "$rom"; }
apply() { click "$main" 400 96; }
set_hp() { type_into 230 70 "$1"; }

# 1. A fresh window has loaded no ROM: Save ROM asks, Escape cancels.
save_rom
answer_box Escape "Save ROM without a loaded ROM"
cmp -s "$rom" "$original" || fail "Save ROM wrote the built-in tables although Cancel was chosen"

# 2. The everyday road.
load_rom
set_hp 300
apply
save_rom
sleep 0.3
box_is_closed || fail "Save ROM of a loaded ROM asked a question"
set +e
changes=$("$units" diff --names "$work" "$original" "$rom" 2>&1)
set -e
grep -q "^1 .* hp: [0-9]* -> 300$" <<<"$changes" || fail "HP was not saved: $changes"
grep -qx "1 field differs" <<<"$changes" ||
  fail "Save ROM changed more than the typed value:"$'\n'"$changes"
saved=$work/saved.gba
cp "$rom" "$saved"

# 3. A value the ROM cannot hold.
set_hp 70000
apply
answer_box Return "HP 70000 is out of range"
save_rom_without_dialog() { click "$main" 400 75; }
save_rom_without_dialog
answer_box Return "HP holds a typed value: Apply and save"
answer_box Return "Apply and save refuses HP 70000"
no_window_named '^Open$' || fail "the file dialog opened although Apply refused HP"
cmp -s "$rom" "$saved" || fail "Save ROM wrote something after Apply refused HP 70000"

# 4. Unsaved work: closing asks, Cancel keeps the window.
set_hp 301
apply
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+F4
answer_box Escape "closing with unsaved changes"
sleep 0.3
editor_running || fail "the editor ended although Cancel was chosen"
xdotool search --onlyvisible --name '^Varsk Unit Editor$' | grep -qx "$main" ||
  fail "the window closed although Cancel was chosen"
cmp -s "$rom" "$saved" || fail "closing wrote the ROM although Cancel was chosen"

# 5. A signal ends the editor without a question.
kill -TERM "$editor_pid"
wait_for 5 eval '! editor_running' || fail "SIGTERM did not end the editor"
editor_pid=""
echo "unsaved work: every question asked, nothing written unasked"
