#!/usr/bin/env bash
# The editor on a Wayland compositor: weston 10, headless, with the pixman
# renderer and a pure green background, its own D-Bus session for the
# accessibility bus; wayland_check.py checks the window's size and that it is
# opaque everywhere, and loads a ROM through the file dialog.
#
#   wayland_test.sh EDITOR VARSK_UNITS RUN_DIR
#
# Exits 77 (skipped) when weston, Qt's Wayland plugin, dbus-run-session,
# at-spi2-core or python3-pyatspi is missing, or weston cannot start.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
# shellcheck source=bus_session.sh
source "$here/bus_session.sh"
editor=$(realpath "$1")
units=$(realpath "$2")
run_dir=$(realpath "$3")
for tool in weston weston-debug weston-screenshooter; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (Debian package weston)"
done
compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null ||
  skip "Qt's Wayland plugin is not installed (Debian package qt6-wayland)"

work=$(mktemp -d)
weston_pid=""
editor_pid=""
cleanup() {
  [[ -n "$editor_pid" ]] && kill "$editor_pid" 2>/dev/null || true
  [[ -n "$weston_pid" ]] && kill "$weston_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export WAYLAND_DISPLAY=varsk-test
printf '[core]\nidle-time=0\n[shell]\nbackground-color=0xff00ff00\npanel-position=none\n' \
  >"$work/weston.ini"
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 \
  --socket="$WAYLAND_DISPLAY" --config="$work/weston.ini" --debug >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]] && break
  kill -0 "$weston_pid" 2>/dev/null || skip "weston did not start: $(tail -n 3 "$work/weston.log")"
  sleep 0.1
done
[[ -S $XDG_RUNTIME_DIR/$WAYLAND_DISPLAY ]] || skip "weston did not start: $(tail -n 3 "$work/weston.log")"

cp "$run_dir"/namestring[CEJ].txt "$work"/
rom=$work/game.gba
cp "$run_dir"/sample-rom.gba "$rom"
# Entry 1's HP as the ROM holds it.
hp=$("$units" dump "$rom" --names "$work" --format csv | awk -F, 'NR == 1 { for (i = 1; i <= NF; i++) if ($i == "hp") c = i } NR == 2 { print $c }')

# The headless compositor has no seat (no keyboard): Qt's own Wayland text
# input would then crash drawing a text cursor, so the compose input context
# stands in for it here. A desktop compositor always has a seat.
(cd "$work" && unset DISPLAY && exec env QT_QPA_PLATFORM=wayland QT_IM_MODULE=compose \
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$editor") >"$work/editor.log" 2>&1 &
editor_pid=$!
mkdir "$work/shots"
status=0
/usr/bin/python3 "$here/wayland_check.py" "$editor_pid" "$work/shots" "$hp" "$rom" || status=$?
if [[ $status != 0 && $status != 77 ]]; then
  cat "$work/editor.log" >&2
fi
exit "$status"
