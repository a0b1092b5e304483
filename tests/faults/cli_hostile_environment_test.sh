#!/bin/bash
# varsk-units where the environment is hostile, run as a user's shell runs it:
# a display that is named but does not answer, few descriptors, a Turkish
# locale (its I and i, its decimal comma), and outputs named through /proc's links. Each run ends with its
# documented status and at most one line on stderr, and writes nothing unasked.
#
#   cli_hostile_environment_test.sh VARSK_UNITS RUN_DIR
#
# RUN_DIR holds sample-rom.gba and the name lists.
set -u
units=$(realpath "$1")
run_dir=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
cp "$run_dir/sample-rom.gba" rom.gba
cp "$run_dir"/namestring[CEJ].txt .
# Descriptors left open by the caller would count against the low limits below.
for fd in $(ls /proc/$$/fd); do
  if ((fd > 2 && fd < 10)); then eval "exec $fd>&-"; fi
done
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# Runs the rest of the line, keeping its status in $status and its stderr in
# $err; fails when stderr holds more than one line.
run() {
  "$@" >/dev/null 2>"$work/err"
  status=$?
  err=$(cat "$work/err")
  (($(wc -l <"$work/err") <= 1)) || fail "$* printed several lines: $err"
}
is_png() { [[ $(head -c 4 "$1" 2>/dev/null | od -An -c | tr -d ' ') == '211PNG' ]]; }

# Drawing needs no display: a stale, an empty or a Wayland display is no obstacle.
for display in 'DISPLAY=:193' 'DISPLAY=' 'WAYLAND_DISPLAY=wayland-93'; do
  rm -f e.png
  run env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$display" \
    "$units" render rom.gba --entry 12 -o e.png
  ((status == 0)) && is_png e.png || fail "render with $display: status $status: $err"
done
# Too few descriptors, the hard limit too: one line, status 1, no picture.
rm -f e.png
run prlimit --nofile=4:4 "$units" render rom.gba --entry 12 -o e.png
((status == 1)) && [[ $err == 'varsk-units: render: Too few file descriptors: '* ]] ||
  fail "render under 4 descriptors: status $status: $err"
[[ -e e.png ]] && fail "render under 4 descriptors wrote e.png"
# A low soft limit alone is raised to the hard one.
run prlimit --nofile=4:1024 "$units" render rom.gba --entry 12 -o e.png
((status == 0)) && is_png e.png || fail "render under a soft limit of 4: status $status: $err"

# In a Turkish locale 'I' is no capital 'i': .IPS still ends in .ips.
mkdir locale
if localedef -i tr_TR -f UTF-8 "$work/locale/tr_TR.UTF-8" 2>/dev/null; then
  cp rom.gba hack.gba
  printf 'entryIndex,hp\n12,250\n' >hp.csv
  "$units" import hack.gba hp.csv >/dev/null
  run env LOCPATH="$work/locale" LC_ALL=tr_TR.UTF-8 "$units" patch rom.gba hack.gba -o hack.IPS
  ((status == 0)) && [[ $(head -c 5 hack.IPS) == PATCH ]] ||
    fail "patch -o hack.IPS in tr_TR: status $status: $err"
  # Its decimal sign is a comma: numbers in an SVG are still written with a point.
  run env LOCPATH="$work/locale" LC_ALL=tr_TR.UTF-8 "$units" plot rom.gba -o chart.svg
  ((status == 0)) && grep -q 'opacity="0\.[0-9][0-9]"' chart.svg && ! grep -q 'opacity="[0-9]*,' chart.svg ||
    fail "plot -o chart.svg in tr_TR: status $status: $err"
else
  echo "note: no tr_TR locale could be made here (package 'locales'); that part is skipped"
fi

# /proc's links: a pipe is no regular file; a deleted file has no name to
# replace, and nothing is made from its link's text.
"$units" dump rom.gba -o /dev/stdout 2>"$work/err" | cat >/dev/null
status=${PIPESTATUS[0]}
((status == 1)) && grep -q 'It is a FIFO, not a regular file' "$work/err" ||
  fail "dump -o /dev/stdout into a pipe: status $status: $(cat "$work/err")"
mkdir gone
(
  exec 3>gone/gone.txt
  rm gone/gone.txt
  run "$units" dump rom.gba -o /proc/self/fd/3
  ((status == 1)) && [[ $err == *'holds open, not a file of its own'* ]] ||
    fail "dump -o /proc/self/fd/3 of a deleted file: status $status: $err"
  exit "$failures"
) || failures=$((failures + 1))
[[ -z $(ls -A gone) ]] || fail "a file was made from a link's text: $(ls -A gone)"
# A file standard output appends to is not replaced whole through /dev/stdout.
echo previous >log.txt
"$units" dump rom.gba -o /dev/stdout >>log.txt 2>"$work/err"
status=$?
((status == 1)) && [[ $(cat log.txt) == previous ]] ||
  fail "dump -o /dev/stdout >> log.txt: status $status: $(cat "$work/err")"

((failures == 0)) || exit 1
echo "all hostile environments held"
