#!/usr/bin/env bash
# What a screen reader hears: the editor under a real X server with the
# accessibility bus on (its own D-Bus session, at-spi2-core), its tree read by
# a11y_tree.py: every control has a name of its own, the window is a frame,
# and Tab reaches every control that takes the keyboard (under openbox, which
# gives the window the keyboard).
#
#   a11y_tree_test.sh EDITOR RUN_DIR
#
# Exits 77 (skipped) when Xvfb, xdotool, openbox, dbus-run-session, at-spi2-core
# or python3-pyatspi is missing; scripts/setup-debian.sh installs them.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
skip() {
  echo "skipped: $*" >&2
  exit 77
}
if [[ -z ${VARSK_A11Y_SESSION:-} ]]; then
  command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
  # A session bus of its own, in a process group of its own: what starts on
  # it (the accessibility bus and its registry) ends with the test.
  VARSK_A11Y_SESSION=1 setsid dbus-run-session -- "$0" "$@" &
  session=$!
  status=0
  wait "$session" || status=$?
  kill -TERM -- "-$session" 2>/dev/null || true
  exit "$status"
fi

# shellcheck source=x11_session.sh
source "$here/x11_session.sh"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
x11_start "$1" "$2" openbox
# The system's Python, which has the bindings of the Debian package.
/usr/bin/python3 "$here/a11y_tree.py" "$editor_pid"
