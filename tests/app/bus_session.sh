# Sourced first by the tests that read the accessibility bus: the test runs
# again in a D-Bus session of its own, in a process group of its own, so that
# what starts on the bus (the accessibility bus and its registry) ends with
# it. Exits 77 (skipped) without dbus-run-session.

skip() {
  echo "skipped: $*" >&2
  exit 77
}

if [[ -z ${VARSK_BUS_SESSION:-} ]]; then
  command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
  VARSK_BUS_SESSION=1 setsid dbus-run-session -- "$0" "$@" &
  session=$!
  status=0
  wait "$session" || status=$?
  kill -TERM -- "-$session" 2>/dev/null || true
  exit "$status"
fi
