#!/usr/bin/env bash
# The catalogue's chart under a real X server and window manager, with real
# keys and pointer: Ctrl+G shows it beside the table; the filter narrows it to
# entry 12, whose marker is found on the screen; hovering it opens a tooltip;
# clicking it selects the entry's row (Ctrl+C copies the dump's row) and shows
# the entry in the main window, where its HP is changed, applied and saved.
# The ROM then differs from the original in that value alone.
#
#   x11_chart_test.sh EDITOR VARSK_UNITS RUN_DIR
#
# Exits 77 (skipped) when Xvfb, xdotool, openbox, xclip or ImageMagick is missing.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
units=$(realpath "$2")
for tool in xclip import convert; do
  command -v $tool >/dev/null || { echo "skipped: $tool is not installed" >&2; exit 77; }
done
# shellcheck source=x11_session.sh
source "$here/x11_session.sh"
x11_editor_args=(--catalogue game.gba)
x11_start "$1" "$3" openbox
original=$work/original.gba
cp "$rom" "$original"

keys() { xdotool key --clearmodifiers --delay 30 "$@"; }
active_is() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }

catalogue=$(xdo search --sync --onlyvisible --name '^Varsk catalogue$' | head -n 1) ||
  fail "--catalogue opened no catalogue"
wait_for 5 active_is "$catalogue" || xdotool windowfocus --sync "$catalogue"
keys ctrl+g ctrl+f
xdotool type --delay 15 "entryIndex=12"

# The marker's blue (over the plot's fill), below the title band with the
# legend's marker: the box around it, "WxH+X+Y" in the window.
marker_box() {
  import -window "$catalogue" "$work/chart.png"
  convert "$work/chart.png" -fill white -draw "rectangle 0,0 100000,140" -fuzz 5% \
    -fill black -opaque 'rgb(88,139,192)' -fill white +opaque black -format '%@' info:
}
box_is_small() { [[ $(marker_box) =~ ^([0-9])x([0-9])\+ ]]; }
wait_for 3 box_is_small || fail "no single marker on the chart: $(marker_box)"
[[ $(marker_box) =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]
x=$((BASH_REMATCH[3] + BASH_REMATCH[1] / 2))
y=$((BASH_REMATCH[4] + BASH_REMATCH[2] / 2))

# Hover: a tooltip is one more window of the editor.
windows=$(editor_windows | wc -l)
xdotool mousemove --window "$catalogue" $((x - 1)) "$y"
xdotool mousemove --sync --window "$catalogue" "$x" "$y"
wait_for 3 window_count_is $((windows + 1)) || fail "hovering the marker opened no tooltip"

# Click: the row is selected and the main window shows the entry.
xdotool click 1
wait_for 5 active_is "$main" || fail "the click did not bring the main window forward"
xdotool windowfocus --sync "$catalogue"
keys ctrl+c
expected=$("$units" dump "$rom" --names "$work" --format csv | tr -d '\r' |
  awk -F, '$1 == 12' | tr ',' '\t')
wait_for 3 eval '[[ "$(xclip -o -selection clipboard 2>/dev/null)" == "$expected" ]]' ||
  fail "the selected row is not entry 12's: $(xclip -o -selection clipboard 2>/dev/null | cut -c1-60)"

# HP (Edit3 at 214,60 32x21), Apply (Button1 at 364,86), Save ROM (Ctrl+S, Return).
xdotool windowactivate --sync "$main"
click "$main" 230 70
keys ctrl+a
xdotool type --delay 15 777
click "$main" 400 96
keys ctrl+s
xdo search --sync --onlyvisible --name '^Open$' >/dev/null || fail "Ctrl+S opened no dialog"
keys Return
wait_for 10 no_window_named '^Open$' || fail "the file dialog did not close"
box_is_closed || fail "a message is open: the editor refused something"
summary=$("$units" diff --names "$work" "$original" "$rom" || true)
grep -q '^12 .* hp: [0-9]* -> 777$' <<<"$summary" || fail "entry 12's HP is not 777: $summary"
grep -q '^1 field differs$' <<<"$summary" || fail "more than entry 12's HP changed: $summary"
echo "chart: Ctrl+G, filter, hover, click, and the main window shows and saves the entry"
