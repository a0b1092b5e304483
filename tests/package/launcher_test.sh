#!/bin/bash
# The menu launcher's folder logic, on a copy of the installed layout:
#   launcher_test.sh LAUNCHER LISTS_FROM_BINDIR
# The editor is a stand-in that records the folder it runs in.
set -u
launcher=$1
lists_from_bindir=$2
root=$(mktemp -d)
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
failures=0
check() {  # description, then the test command
  local what=$1
  shift
  if ! "$@"; then
    echo "FAILED: $what" >&2
    failures=$((failures + 1))
  fi
}

mkdir -p "$root/bin" "$root/bin/$lists_from_bindir"
defaults=$(cd "$root/bin/$lists_from_bindir" && pwd)
cp "$launcher" "$root/bin/varsk-unit-editor-launcher"
printf '#!/bin/sh\npwd > "$EDITOR_RAN_IN"\nprintf "%%s\\n" "$@" > "$EDITOR_RAN_IN.args"\n' > "$root/bin/varsk-unit-editor"
chmod +x "$root/bin/varsk-unit-editor"
for list in C E J; do printf 'default %s\n' $list > "$defaults/namestring$list.txt"; done

launch() {  # XDG_DATA_HOME value ("" to leave it unset), HOME
  local xdg=(-u XDG_DATA_HOME)
  [[ -n $1 ]] && xdg=("XDG_DATA_HOME=$1")
  rm -f "$root/ran-in"
  env -u DISPLAY -u WAYLAND_DISPLAY "${xdg[@]}" HOME="$2" EDITOR_RAN_IN="$root/ran-in" \
    "$root/bin/varsk-unit-editor-launcher" 2>"$root/stderr"
}

# First start: the folder is made and filled, and the editor runs in it.
folder=$root/data/varsk
check "first start succeeds" launch "$root/data" "$root/home"
check "the editor runs in the folder" test "$(cat "$root/ran-in" 2>/dev/null)" = "$folder"
for list in C E J; do
  check "namestring$list.txt is placed" cmp -s "$defaults/namestring$list.txt" "$folder/namestring$list.txt"
done

# A ROM named relative to where the launcher starts keeps its meaning there.
mkdir -p "$root/work"
(cd "$root/work" && env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$root/data" HOME="$root/home" \
  EDITOR_RAN_IN="$root/ran-in" "$root/bin/varsk-unit-editor-launcher" game.gba /abs.gba -x -- -y.gba)
check "relative ROM names are made absolute" test "$(cat "$root/ran-in.args")" = \
  "$(printf '%s\n' "$root/work/game.gba" /abs.gba -x -- "$root/work/-y.gba")"

# Later starts keep the user's lists and replace only a missing one.
echo "my names" > "$folder/namestringE.txt"
rm "$folder/namestringJ.txt"
check "second start succeeds" launch "$root/data" "$root/home"
check "the user's list is kept" test "$(cat "$folder/namestringE.txt")" = "my names"
check "a missing list is placed again" cmp -s "$defaults/namestringJ.txt" "$folder/namestringJ.txt"
check "no partial copies are left" test -z "$(ls -A "$folder" | grep -v '^namestring[CEJ].txt$')"

# Without XDG_DATA_HOME, or with a relative one, the folder is under HOME.
check "start without XDG_DATA_HOME" launch "" "$root/home"
check "the folder is under HOME" test "$(cat "$root/ran-in" 2>/dev/null)" = "$root/home/.local/share/varsk"
check "a relative XDG_DATA_HOME is ignored" launch "relative" "$root/home"
check "... and HOME used" test "$(cat "$root/ran-in" 2>/dev/null)" = "$root/home/.local/share/varsk"

# A folder that cannot be made: a message naming it, and no editor.
touch "$root/file"
check "an impossible folder fails" test "$(launch "$root/file" "$root/home"; echo $?)" = 1
check "... with a message naming it" grep -q "cannot create the folder $root/file/varsk" "$root/stderr"
check "... without starting the editor" test ! -e "$root/ran-in"

# A folder that cannot be written (not testable as root, who may write anyway).
if [[ $(id -u) != 0 ]]; then
  mkdir -p "$root/locked/varsk"
  chmod a-w "$root/locked/varsk"
  check "an unwritable folder fails" test "$(launch "$root/locked" "$root/home"; echo $?)" = 1
  check "... with the reason" grep -q "in $root/locked/varsk: Permission denied" "$root/stderr"
fi

# A missing default list is named.
rm "$defaults/namestringC.txt"
check "a missing default list fails" test "$(launch "$root/fresh" "$root/home"; echo $?)" = 1
check "... with a message naming it" grep -q "default name list .*namestringC.txt is missing" "$root/stderr"

if ((failures > 0)); then
  echo "launcher: $failures checks failed" >&2
  exit 1
fi
echo "launcher: all checks passed"
