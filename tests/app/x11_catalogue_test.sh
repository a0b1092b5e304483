#!/usr/bin/env bash
# The catalogue table under a real X server and window manager, with real
# keys and the clipboard (xclip): Ctrl+T opens it; a filter narrows it to two
# ships, whose cells Ctrl+C copies as the dump's values; a block with the
# dump's header pasted from the clipboard changes four values as one step;
# Ctrl+Z and Ctrl+Y take it back and make it again; Ctrl+S saves. The ROM
# then differs from the original in those four values alone.
#
#   x11_catalogue_test.sh EDITOR VARSK_UNITS RUN_DIR
#
# Exits 77 (skipped) when Xvfb, xdotool, openbox or xclip is missing.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
units=$(realpath "$2")
command -v xclip >/dev/null || { echo "skipped: xclip is not installed" >&2; exit 77; }
# shellcheck source=x11_session.sh
source "$here/x11_session.sh"
x11_start "$1" "$3" openbox
original=$work/original.gba
cp "$rom" "$original"

keys() { xdotool key --clearmodifiers --delay 30 "$@"; }
active_is() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }
# Ctrl+S in the catalogue, and Return in the file dialog (it offers the loaded file).
save() {
  xdotool windowfocus --sync "$catalogue"
  keys ctrl+s
  xdo search --sync --onlyvisible --name '^Open$' >/dev/null || fail "Ctrl+S opened no dialog"
  keys Return
  wait_for 10 no_window_named '^Open$' || fail "the file dialog did not close"
  wait_for 5 active_is "$catalogue" || xdotool windowfocus --sync "$catalogue"
}
changes() {
  "$units" diff --names "$work" "$original" "$rom" 2>/dev/null | grep -c ' -> ' || true
}

wait_for 5 active_is "$main" || fail "the editor window did not get the keyboard"
keys ctrl+o
xdo search --sync --onlyvisible --name '^Open$' >/dev/null || fail "Ctrl+O opened no dialog"
xdotool type --delay 10 "$rom"
keys Return
wait_for 10 no_window_named '^Open$' || fail "the file dialog did not close"
wait_for 5 active_is "$main" || xdotool windowfocus --sync "$main"

keys ctrl+t
catalogue=$(xdo search --sync --onlyvisible --name '^Varsk catalogue$' | head -n 1) ||
  fail "Ctrl+T opened no catalogue"
wait_for 5 active_is "$catalogue" || xdotool windowfocus --sync "$catalogue"

# Filter to two ships, select their cells, copy.
keys ctrl+f
xdotool type --delay 15 "kind=ship entryIndex<=193"
click "$catalogue" 400 110
keys ctrl+a ctrl+c
expected=$("$units" dump "$rom" --names "$work" --format csv | tr -d '\r' |
  awk -F, '$1 == 192 || $1 == 193' | tr ',' '\t')
wait_for 5 eval '[[ "$(xclip -o -selection clipboard 2>/dev/null)" == "$expected" ]]' || {
  diff <(xclip -o -selection clipboard) <(printf '%s\n' "$expected") >&2 || true
  fail "the copied cells are not the dump's values of entries 192 and 193"
}

# Paste a block with the dump's header: by entry and field, whatever is shown.
xdotool windowfocus --sync "$catalogue"
keys ctrl+f ctrl+a BackSpace
printf 'entryIndex\thp\tcost\n12\t250\t99\n200\t333\t44\n' | xclip -selection clipboard
# (Not where the pointer is: xdotool would wait for a move that never comes.)
click "$catalogue" 420 130
keys ctrl+v
save
[[ $(changes) == 4 ]] || fail "the paste did not change exactly four values: $(changes)"
keys ctrl+z
save
[[ $(changes) == 0 ]] || fail "Ctrl+Z did not take the paste back as one step: $(changes)"
keys ctrl+y
save
[[ $(changes) == 4 ]] || fail "Ctrl+Y did not make the paste again: $(changes)"
box_is_closed || fail "a message is open: the catalogue refused something"
summary=$("$units" diff --names "$work" "$original" "$rom" || true)
grep -q '^12 .* hp: [0-9]* -> 250$' <<<"$summary" || fail "entry 12's HP is not 250: $summary"
echo "catalogue: filter, copy, paste by header, undo, redo and save as expected"
