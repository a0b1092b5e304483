# The editor under a real X server, driven with real key and mouse input;
# sourced by the end-to-end window tests.
#
#   x11_start EDITOR RUN_DIR [openbox]   Xvfb on a free display, the name lists
#       and a copy of sample-rom.gba ($rom) in a fresh folder ($work), the editor
#       started there ($main is its window) with the arguments in the array
#       x11_editor_args, if set (the ROM is game.gba there); with openbox, a
#       window manager first
#
# Exits 77 (skipped) when Xvfb, xdotool or the window manager is missing;
# scripts/setup-debian.sh installs them.

work=""
xvfb_pid=""
wm_pid=""
editor_pid=""

x11_cleanup() {
  [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null || true
  [[ -n "$wm_pid" ]] && kill "$wm_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  [[ -n "$work" ]] && rm -rf "$work"
}
trap x11_cleanup EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
# Under set -e a command that fails without "|| fail" ends the test: say which.
if [[ $- == *e* ]]; then
  set -E  # also inside the helpers below
  trap 'echo "FAILED: line $LINENO: $BASH_COMMAND (status $?)" >&2' ERR
fi

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

xdo() { timeout 10 xdotool "$@"; }
# The editor's visible windows (main window, dialogs, popups), one id a line.
editor_windows() { xdotool search --onlyvisible --pid "$editor_pid" 2>/dev/null || true; }
window_count_is() { [[ $(editor_windows | wc -l) -eq $1 ]]; }
named_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
no_window_named() { [[ -z $(named_window "$1") ]]; }
click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; }
editor_running() { kill -0 "$editor_pid" 2>/dev/null; }

x11_start() {
  local editor run_dir wm=${3:-}
  editor=$(realpath "$1")
  run_dir=$(realpath "$2")
  for tool in Xvfb xdotool $wm; do
    if ! command -v "$tool" >/dev/null; then
      echo "skipped: $tool is not installed" >&2
      exit 77
    fi
  done
  work=$(mktemp -d)
  cp "$run_dir"/namestring[CEJ].txt "$work"/
  rom=$work/game.gba
  cp "$run_dir"/sample-rom.gba "$rom"

  # A free display: Xvfb writes its number once it accepts connections.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=:$(cat "$work/display")
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
  if [[ -n "$wm" ]]; then
    # Openbox makes a window of its class once it manages the screen. On a
    # loaded machine its first connection can be refused while the server
    # settles: one more try before the test fails.
    local attempt
    for attempt in 1 2 3; do
      "$wm" >"$work/wm.log" 2>&1 &
      wm_pid=$!
      wait_for 10 eval '[[ -n $(xdotool search --class openbox 2>/dev/null) ]]' && break
      kill "$wm_pid" 2>/dev/null || true
      wait "$wm_pid" 2>/dev/null || true
      ((attempt < 3)) ||
        fail "the window manager did not start: $(cat "$work/wm.log") (X server: $(cat "$work/xvfb.log"))"
      sleep 1
    done
  fi

  (cd "$work" && exec "$editor" ${x11_editor_args[@]+"${x11_editor_args[@]}"}) >"$work/editor.log" 2>&1 &
  editor_pid=$!
  main=$(xdo search --sync --onlyvisible --name '^Varsk Unit Editor$' | head -n 1) ||
    fail "the editor window did not appear: $(cat "$work/editor.log")"
}

# Runs the file dialog opened by the button at (X, Y) of the main window:
# types PATH and Return, and waits for the dialog to close.
choose_file() {
  click "$main" "$1" "$2"
  local dialog
  dialog=$(xdo search --sync --onlyvisible --name '^Open$' | head -n 1) || fail "no file dialog"
  xdotool windowfocus --sync "$dialog"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 15 "$3"
  xdotool key Return
  wait_for 10 no_window_named '^Open$' || fail "the file dialog did not close"
}

# The message box or question of the editor (caption "Varsk unit editor";
# xdotool's names match in any case, so the main window is left out).
box_window() {
  xdotool search --onlyvisible --name '^Varsk unit editor$' 2>/dev/null | grep -vx "$main" | head -n 1
}
box_is_open() { [[ -n $(box_window) ]]; }
box_is_closed() { [[ -z $(box_window) ]]; }

window_is_gone() { ! xdotool search --onlyvisible --name '' 2>/dev/null | grep -qx "$1"; }

# Answers the box that must be open with KEY (Return, Escape); WHAT names it
# in a failure. Another box may follow at once.
answer_box() {
  wait_for 5 box_is_open || fail "no message box appeared ($2)"
  local box
  box=$(box_window)
  xdotool windowfocus --sync "$box"
  xdotool key "$1"
  wait_for 5 window_is_gone "$box" || fail "the message box did not close ($2)"
}

# Types TEXT into the edit at (X, Y) of the main window, replacing its text.
type_into() {
  click "$main" "$1" "$2"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 15 "$3"
}
