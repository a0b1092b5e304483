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
# shellcheck source=bus_session.sh
source "$here/bus_session.sh"

# shellcheck source=x11_session.sh
source "$here/x11_session.sh"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
x11_start "$1" "$2" openbox
# The system's Python, which has the bindings of the Debian package.
/usr/bin/python3 "$here/a11y_tree.py" "$editor_pid"
