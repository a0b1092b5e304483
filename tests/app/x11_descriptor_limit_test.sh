#!/usr/bin/env bash
# The window and the limit of open files, under a real X server. A soft limit
# set low for another program is raised at start, so Load ROM opens its
# dialog. A hard limit lowered while the window runs makes Load ROM say so in
# a message instead of opening a dialog that a library would end half way;
# the window and its edits stay. A hard limit too low at start is one line
# and exit status 1.
#
#   x11_descriptor_limit_test.sh EDITOR RUN_DIR
#
# Exits 77 (skipped) when Xvfb, xdotool or prlimit is missing.
set -euo pipefail

here=$(dirname "$(realpath "$0")")
# shellcheck source=x11_session.sh
source "$here/x11_session.sh"
editor=$(realpath "$1")
if ! command -v prlimit >/dev/null; then
  echo "skipped: prlimit is not installed" >&2
  exit 77
fi
wrapper_dir=$(mktemp -d)
trap 'x11_cleanup; rm -rf "$wrapper_dir"' EXIT
printf '#!/bin/sh\nexec prlimit --nofile=12:4096 "%s" "$@"\n' "$editor" >"$wrapper_dir/low-soft-limit"
chmod +x "$wrapper_dir/low-soft-limit"
x11_start "$wrapper_dir/low-soft-limit" "$2"

soft=$(awk '/^Max open files/ {print $4}' "/proc/$editor_pid/limits")
[[ $soft == 4096 ]] || fail "the soft limit of open files stayed at $soft"
# Load ROM (Button2 at 364,44 73x21) opens the dialog; Escape closes it.
click "$main" 400 54
dialog=$(xdo search --sync --onlyvisible --name '^Open$' | head -n 1) || fail "Load ROM opened no dialog"
xdotool windowfocus --sync "$dialog" key Escape
wait_for 10 no_window_named '^Open$' || fail "the file dialog did not close"

# Now too few are left for the dialog (a few, for the message): a message, no
# dialog, the window goes on.
few=$(($(ls "/proc/$editor_pid/fd" | wc -l) + 6))
prlimit --pid "$editor_pid" --nofile=$few:$few
click "$main" 405 57  # not where the mouse is: a move that does not happen is waited for
answer_box Return "too few descriptors for the file dialog"
no_window_named '^Open$' || fail "the file dialog opened with too few descriptors"
editor_running || fail "the editor ended: $(cat "$work/editor.log")"

# Too few at start, and the hard limit too: one line, exit status 1.
status=0
out=$(prlimit --nofile=12:12 "$editor" 2>&1) || status=$?
[[ $status == 1 && $out == "varsk-unit-editor: Too few file descriptors: "*" needed (raise the limit with 'ulimit -n')" ]] ||
  fail "start under 12 descriptors: status $status: $out"
echo "the limit of open files is raised, and too few descriptors are refused in words"
