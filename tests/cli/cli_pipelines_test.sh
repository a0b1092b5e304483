#!/bin/bash
# varsk-units in shell pipelines, as a user types them: standard streams,
# patch review, names in the change lines, backups, installed name lists and
# answers to common mistakes. Each group is one ctest test:
#
#   cli_pipelines_test.sh VARSK_UNITS RUN_DIR GROUP
#
# RUN_DIR holds sample-rom.gba and the name lists.
set -u
units=$(realpath "$1")
run_dir=$(realpath "$2")
group=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
cp "$run_dir/sample-rom.gba" rom.gba
cp "$run_dir"/namestring[CEJ].txt .
printf 'entryIndex,hp\n12,250\n' >hp.csv
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

# Runs the rest of the line with stdin from /dev/null unless redirected,
# keeping its status, stdout and stderr; fails when stderr holds more than one line.
run() {
  "$@" >"$work/out" 2>"$work/err"
  status=$?
  err=$(cat "$work/err")
  (($(wc -l <"$work/err") <= 1)) || fail "$* printed several lines: $err"
}
# Runs a command line on a terminal (script's pseudo-terminal).
on_terminal() {
  script -qec "$1" /dev/null >"$work/tty" 2>&1 </dev/null
  status=$?
  err=$(tr -d '\r' <"$work/tty")
}
is_png() { [[ $(head -c 4 "$1" 2>/dev/null | od -An -c | tr -d ' ') == '211PNG' ]]; }

streams() {
  "$units" import rom.gba hp.csv -o hack.gba >/dev/null || fail "import -o hack.gba"
  # "-" as the edit file and as the output.
  "$units" import rom.gba - -o - <hp.csv >piped.gba && cmp -s piped.gba hack.gba ||
    fail "import rom.gba - -o - differs from import -o hack.gba"
  # A patch through a pipe, and from a pipe the shell names as a file.
  "$units" patch rom.gba hack.gba | "$units" apply - rom.gba -o - >applied.gba &&
    cmp -s applied.gba hack.gba || fail "patch | apply - -o -"
  "$units" patch rom.gba hack.gba -o hack.ips >/dev/null
  run "$units" apply <("$units" patch rom.gba hack.gba) rom.gba -o fd.gba
  ((status == 0)) && cmp -s fd.gba hack.gba || fail "apply <(patch) : $status $err"
  run "$units" apply /dev/stdin rom.gba -o stdin.gba <hack.ips
  ((status == 0)) && cmp -s stdin.gba hack.gba || fail "apply /dev/stdin: $status $err"
  # A named FIFO with a writer is read; one without a writer is refused at once.
  mkfifo edits.fifo
  cat hp.csv >edits.fifo &
  run timeout 20 "$units" import rom.gba edits.fifo -o fifo.gba
  ((status == 0)) && cmp -s fifo.gba hack.gba || fail "import from a written FIFO: $status $err"
  wait
  run timeout 20 "$units" apply edits.fifo rom.gba -o never.gba
  ((status == 1)) && [[ $err == 'varsk-units: apply: '*'FIFO that no program writes to'* ]] ||
    fail "apply from a FIFO without writer: $status $err"
  # Standard input keeps the size bound of an edit file.
  run "$units" import rom.gba - -o big.gba < <(head -c $((17 << 20)) /dev/zero)
  ((status == 1)) && [[ $err == *'standard input: it holds more than 16777216 bytes'* ]] ||
    fail "17 MiB edit file on standard input: $status $err"
  # Every writing command takes -o -.
  "$units" dump rom.gba -o - | cmp -s - <("$units" dump rom.gba) || fail "dump -o -"
  "$units" render rom.gba --entry 12 -o - >e.png && is_png e.png || fail "render -o -"
  "$units" export-dataset -o - | cmp -s - <("$units" export-dataset -o ds.bin >/dev/null && cat ds.bin) ||
    fail "export-dataset -o -"
  "$units" auto-modify rom.gba --product-turn -o - | cmp -s - rom.gba && fail "auto-modify -o -"
  "$units" plot rom.gba -o - | cmp -s - <("$units" plot rom.gba -o c.svg >/dev/null && cat c.svg) ||
    fail "plot -o - (SVG)"
  "$units" plot rom.gba -o - --format png >c.png && is_png c.png || fail "plot -o - --format png"
  # Binary output to a terminal is refused with one line; text is not.
  for line in "patch rom.gba hack.gba" "apply hack.ips rom.gba -o -" \
    "import rom.gba hp.csv -o -" "render --entry 3 -o -" "export-clips -o -" \
    "plot rom.gba -o - --format png"; do
    on_terminal "'$units' $line"
    ((status == 1)) && [[ $err == "varsk-units: ${line%% *}: "*'is not written to a terminal'* ]] ||
      fail "$line on a terminal: $status $err"
  done
  on_terminal "'$units' dump rom.gba -o - --format csv"
  ((status == 0)) || fail "dump -o - on a terminal: $status"
  # A path naming a pipe or device is no regular file; '-' is how a stream is named.
  for line in "import rom.gba hp.csv" "export-dataset" "patch rom.gba hack.gba --format bps"; do
    "$units" $line -o /dev/stdout 2>"$work/err" | cat >/dev/null
    status=${PIPESTATUS[0]}
    ((status == 1)) && grep -q 'not a regular file' "$work/err" ||
      fail "$line -o /dev/stdout into a pipe: $status $(cat "$work/err")"
  done
  run "$units" patch --help
  grep -q '^Usage: varsk-units patch ORIGINAL MODIFIED \[-o ' out || fail "patch usage line"
  [[ -e - ]] && fail "a file named '-' was made"
}

review() {
  "$units" import rom.gba hp.csv -o hack.gba >/dev/null
  cp hack.gba other.gba
  printf 'entryIndex,cost\n3,99\n' | "$units" import other.gba - >/dev/null
  "$units" diff rom.gba hack.gba >diff.txt
  for format in ips bps; do
    "$units" patch rom.gba hack.gba -o hack.$format >/dev/null
    # The dry run says it fits and prints what diff prints; it writes nothing.
    run "$units" apply hack.$format rom.gba --dry-run
    ((status == 0)) && [[ $(head -1 out) == "the ${format^^} patch "*' rom.gba'* ]] &&
      diff -q <(sed '1d;$d' out) diff.txt >/dev/null && [[ $(tail -1 out) == 'nothing written' ]] ||
      fail "apply hack.$format --dry-run: $status $(cat out) $err"
    cmp -s rom.gba "$run_dir/sample-rom.gba" || fail "the dry run of $format changed rom.gba"
    # A patch is no edit file.
    run "$units" import rom.gba hack.$format
    ((status == 1)) && [[ $err == "varsk-units: import: hack.$format is a"*" ${format^^} patch, not an edit file: apply it with 'varsk-units apply PATCH ROM -o OUT'" ]] ||
      fail "import of a $format patch: $status $err"
  done
  run "$units" apply hack.bps other.gba --dry-run
  ((status == 1)) && grep -q '^the BPS patch does not fit other.gba: it was made for 8388608 bytes with CRC32 ' out ||
    fail "BPS dry run on the wrong ROM: $status $(cat out)"
  run "$units" info hack.ips
  grep -q '^Patch: *IPS, 1 record covering 1 byte$' out && grep -q '^Tables: *touched' out ||
    fail "info hack.ips: $(cat out) $err"
  run "$units" info hack.bps
  crc() { "$units" info "$1" | sed -n 's/^CRC32: *//p'; }
  grep -q "^Source: *8388608 bytes, CRC32 $(crc rom.gba)$" out &&
    grep -q "^Target: *8388608 bytes, CRC32 $(crc hack.gba)$" out &&
    grep -q '^Patch: *BPS, its own CRC32 [0-9A-F]\{8\} (checks)$' out ||
    fail "info hack.bps: $(cat out) $err"
  cp rom.gba outside.gba && printf 'X' | dd of=outside.gba bs=1 seek=100 conv=notrunc 2>/dev/null
  "$units" patch rom.gba outside.gba -o outside.bps >/dev/null
  "$units" info outside.bps | grep -q '^Tables: *not touched' || fail "info outside.bps"
}

names() {
  mkdir lists
  cp namestring[CJ].txt lists/
  # Weapon 108 gets a control character, weapon 175 no name at all.
  awk 'NR == 229 + 108 { print "Plasma\033thrower"; next } NR == 229 + 175 { print ""; next } { print }' \
    namestringE.txt >lists/namestringE.txt
  printf 'entryIndex,w0.weaponId,w1.weaponId,w2.weaponId,moveType\n12,108,175,0,7\n' >w.csv
  "$units" import rom.gba w.csv -o w.gba >/dev/null
  run "$units" diff rom.gba w.gba --names lists
  w0=$(grep -o 'w0.weaponId: .*' out)
  [[ $w0 =~ ^w0.weaponId:\ [0-9]+\ \([^\)]+\)\ -\>\ 108\ \(Plasma\\x1Bthrower\)$ ]] || fail "diff w0: $w0"
  grep -q 'w1.weaponId: [0-9]* ([^)]*) -> 175 (no name)$' out || fail "diff w1: $(cat out)"
  grep -q 'w2.weaponId: [0-9]* ([^)]*) -> 0 (no weapon)$' out || fail "diff w2: $(cat out)"
  grep -q 'moveType: 13 (運輸) -> 7 (陸上)$' out || fail "diff moveType: $(cat out)"
  # Every dry run prints the same lines.
  run "$units" import rom.gba w.csv --dry-run --names lists
  [[ $(grep -c '(' out) == 4 ]] || fail "import --dry-run: $(cat out)"
  "$units" patch rom.gba w.gba -o w.bps >/dev/null
  run "$units" apply w.bps rom.gba --dry-run --names lists
  grep -qF "$w0" out || fail "apply --dry-run: $(cat out)"
  # Edit files carry numbers only.
  "$units" diff rom.gba w.gba --format csv --names lists | grep -q '(' && fail "diff --format csv names ids"
  "$units" diff rom.gba w.gba --format json --names lists | grep -q '(' && fail "diff --format json names ids"
}

backup() {
  cp rom.gba a.gba
  # A bare --backup does not take the next argument as its suffix.
  run "$units" import --backup a.gba hp.csv
  ((status == 0)) && cmp -s a.gba~ rom.gba && ! cmp -s a.gba rom.gba || fail "import --backup: $err"
  cp a.gba before.gba
  run "$units" auto-modify a.gba --product-turn --backup=.old
  ((status == 0)) && cmp -s a.gba.old before.gba && ! cmp -s a.gba before.gba ||
    fail "auto-modify --backup=.old: $err"
  cp a.gba before.gba
  "$units" patch a.gba rom.gba -o undo.bps >/dev/null
  run "$units" apply undo.bps a.gba -o a.gba --backup
  ((status == 0)) && cmp -s a.gba~ before.gba && cmp -s a.gba rom.gba || fail "apply -o ROM --backup: $err"
  # Only where ROM is replaced in place, with a suffix that names a file beside it.
  for line in "import a.gba hp.csv -o b.gba --backup" "apply undo.bps a.gba -o b.gba --backup" \
    "import a.gba hp.csv --backup=" "import a.gba hp.csv --backup=/x"; do
    run "$units" $line
    ((status == 2)) && [[ $err == *backup* ]] || fail "$line: $status $err"
  done
  [[ -e b.gba ]] && fail "a refused --backup wrote b.gba"
  # A backup is never written over the command's own edit file or patch.
  cp hp.csv a.gba.csv
  cp undo.bps a.gba.bps
  for line in "import a.gba a.gba.csv --backup=.csv" "apply a.gba.bps a.gba -o a.gba --backup=.bps"; do
    run "$units" $line
    ((status == 2)) || fail "$line: $status $err"
  done
  cmp -s a.gba.csv hp.csv && cmp -s a.gba.bps undo.bps || fail "a backup replaced an input"
  # The reverse difference, piped into import, undoes a change.
  cp rom.gba d.gba
  "$units" import d.gba hp.csv >/dev/null
  "$units" diff --format csv d.gba rom.gba | "$units" import d.gba - >/dev/null
  cmp -s d.gba rom.gba || fail "diff --format csv NEW OLD | import NEW - did not undo"
  # A backup that cannot be written stops the change.
  cp rom.gba c.gba
  mkdir c.gba~
  run "$units" import c.gba hp.csv --backup
  ((status == 1)) && cmp -s c.gba rom.gba || fail "import with an unwritable backup: $status $err"
}

installed() {
  # An installed program: the default lists in ../share/varsk beside bin/.
  mkdir -p prefix/bin prefix/share/varsk elsewhere mine
  cp "$units" prefix/bin/varsk-units
  cp namestring[CEJ].txt prefix/share/varsk/
  cp namestring[CJ].txt mine/
  sed '1s/.*/My own first entry/' namestringE.txt >mine/namestringE.txt
  first_name() { sed -n '2p' | cut -d, -f3; }
  cd elsewhere || return
  run env -u VARSK_NAMES ../prefix/bin/varsk-units dump ../rom.gba --format csv
  [[ $(first_name <"$work/out") == 'AR-05 Warden' && -z $err ]] || fail "installed lists: $(head -2 "$work/out") $err"
  run env VARSK_NAMES=../mine ../prefix/bin/varsk-units dump ../rom.gba --format csv
  [[ $(first_name <"$work/out") == 'My own first entry' ]] || fail "VARSK_NAMES: $(head -2 "$work/out") $err"
  # Lists in the working directory come first.
  cp ../mine/namestring[CEJ].txt .
  run env -u VARSK_NAMES ../prefix/bin/varsk-units dump ../rom.gba --format csv
  [[ $(first_name <"$work/out") == 'My own first entry' ]] || fail "working directory first: $(head -2 "$work/out")"
  rm namestring[CEJ].txt
  # A list read through VARSK_NAMES is an input that no output may replace.
  run env VARSK_NAMES=../mine ../prefix/bin/varsk-units dump ../rom.gba -o ../mine/namestringE.txt
  ((status == 2)) && [[ $(head -1 ../mine/namestringE.txt) == 'My own first entry'* ]] ||
    fail "dump -o a list of VARSK_NAMES: $status $err"
  # Without any, the warning names the folders tried and --names.
  rm -r ../prefix/share/varsk
  run env VARSK_NAMES=../nowhere ../prefix/bin/varsk-units dump ../rom.gba --format csv
  ((status == 0)) && [[ $err == 'varsk-units: dump: warning: names left out: no name lists in the working directory, VARSK_NAMES='*'/nowhere, '"$work"'/prefix/share/varsk ('*'--names DIR'* ]] ||
    fail "no lists anywhere: $status $err"
  cd "$work" || return
}

mistakes() {
  "$units" import rom.gba hp.csv -o hack.gba >/dev/null
  # Cells copied from a spreadsheet are tab-separated.
  printf 'entryIndex\thp\n12\t250\n' | "$units" import rom.gba - -o tsv.gba >/dev/null &&
    cmp -s tsv.gba hack.gba || fail "a tab-separated edit file"
  # dump narrows with the catalogue's filter and keeps the columns named.
  "$units" dump rom.gba --format csv | tr -d '\r' >all.csv
  hp=$(head -1 all.csv | tr ',' '\n' | grep -nx hp | cut -d: -f1)
  expected=$(awk -F, -v c="$hp" 'NR > 1 && $2 == "ship" && $c > 5000 { print $1 "," $c }' all.csv)
  run "$units" dump rom.gba --format csv --filter 'kind=ship hp>5000' --fields hp
  [[ $(head -1 out | tr -d '\r') == 'entryIndex,hp' && $(tail -n +2 out | tr -d '\r') == "$expected" &&
    -n $expected ]] || fail "dump --filter --fields: $(head -3 out) $err"
  # What it writes imports as it is.
  cp out narrow.csv
  run "$units" import rom.gba narrow.csv --dry-run
  [[ $(cat out) == '0 values would change; nothing written' && -z $err ]] || fail "dump --fields | import: $(cat out) $err"
  # A JSON dump of some weapon columns says which slot each value is from.
  "$units" dump rom.gba --fields w2.damage,w1.ammo -o slots.json
  run "$units" import rom.gba slots.json --dry-run
  [[ $(cat out) == '0 values would change; nothing written' ]] || fail "dump --fields w2.damage,w1.ammo | import: $(head -3 out) $err"
  # A picture is PNG: another extension is refused.
  run "$units" render rom.gba --entry 3 -o e.jpg
  ((status == 2)) && [[ ! -e e.jpg && $err == 'varsk-units: render: '*'.png'* ]] || fail "render -o e.jpg: $status $err"
}

"$group"
exit $((failures > 0))
