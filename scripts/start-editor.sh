#!/usr/bin/env bash
# Builds the editor and starts it in the folder that holds the name lists and
# the sample ROM (build/default/run).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default --target varsk-unit-editor varsk-units
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
  echo "varsk-unit-editor: no display found; run it on a desktop or under xvfb-run." >&2
  exit 1
fi
cd build/default/run
exec ../bin/varsk-unit-editor "$@"
