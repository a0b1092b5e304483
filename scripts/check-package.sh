#!/usr/bin/env bash
# Makes the Debian package from the default build (run ./scripts/run-tests.sh
# first), checks it with lintian, desktop-file-validate and appstreamcli,
# installs it with apt-get, runs the installed programs as a user would, and
# removes it again. Refuses to run while the package is installed, so an
# installation of the user's own is never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/default
package=varsk-unit-editor
app_id=example.varsk.UnitEditor

VARSK_WITH_PACKAGE=1 ./scripts/setup-debian.sh
if [[ ! -x $build/bin/varsk-unit-editor ]]; then
  echo "check-package: no default build; run ./scripts/run-tests.sh first" >&2
  exit 1
fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
  echo "check-package: $package is installed here already; remove it first" >&2
  exit 1
fi
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi

passed=0
failed=0
check() {  # description, then the command
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "check-package: FAILED: $what" >&2
  fi
}

work=$(mktemp -d)
installed=0
cleanup() {
  if ((installed)); then
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q "$package" >/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

rm -f "$build/${package}"_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  exit 1
}
deb=$(echo "$build/${package}"_*.deb)
echo "check-package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Every validator fails on errors and on warnings; notes are shown.
lintian_status=0
lintian --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 || lintian_status=$?
grep -v '^running with root privileges' "$work/lintian.txt" || true
check "lintian reports no error or warning" test "$lintian_status" -eq 0
dpkg-deb -x "$deb" "$work/tree"
# desktop-file-validate exits 0 after warnings: any line it prints fails.
desktop-file-validate "$work/tree/usr/share/applications/$app_id.desktop" >"$work/desktop.txt" 2>&1 ||
  echo "desktop-file-validate failed" >>"$work/desktop.txt"
cat "$work/desktop.txt"
check "the desktop entry is valid (no error or warning)" test ! -s "$work/desktop.txt"
# appstreamcli fails on errors and warnings; notes (I:) are shown.
appstream_status=0
appstreamcli validate --no-net "$work/tree/usr/share/metainfo/$app_id.metainfo.xml" \
  >"$work/appstream.txt" 2>&1 || appstream_status=$?
cat "$work/appstream.txt"
check "the metainfo is valid (no error or warning)" test "$appstream_status" -eq 0

"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 || {
  cat "$work/apt.log" >&2
  exit 1
}
installed=1

# What a user does first: look at the sample ROM, read the manual, complete.
check "varsk-units info reads the sample ROM" \
  grep -q '^Tables: *yes' <(cd "$work" && /usr/bin/varsk-units info /usr/share/varsk/sample-rom.gba)
check "man varsk-units is found" man -w varsk-units >/dev/null
check "man varsk-unit-editor-launcher is found" man -w varsk-unit-editor-launcher >/dev/null
check "bash completes the commands" test "$(bash -c '
  source /usr/share/bash-completion/completions/varsk-units
  COMP_WORDS=(varsk-units im); COMP_CWORD=1; _varsk_units; echo "${COMPREPLY[*]}"')" = import

# The menu entry's command in a fresh home: it fills the user's folder and
# the editor keeps running until it is stopped.
home=$work/home
mkdir -p "$home"
read -r -a launch < <(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.desktop" | head -n 1 |
  sed 's/ %f$//')
status=0
(cd / && env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen timeout 3 "${launch[@]}") \
  >"$work/editor.log" 2>&1 || status=$?
cat "$work/editor.log"
check "the editor started from the menu command keeps running" test "$status" -eq 124
check "the menu command placed the name lists" \
  cmp -s /usr/share/varsk/namestringE.txt "$home/.local/share/varsk/namestringE.txt"

"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q "$package" >/dev/null
installed=0
check "removal leaves no program behind" test ! -e /usr/bin/varsk-units -a ! -e /usr/share/varsk

echo "package: $passed passed, $failed failed"
((failed == 0))
