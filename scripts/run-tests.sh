#!/usr/bin/env bash
# Builds everything and runs every test (headless).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default
QT_QPA_PLATFORM=offscreen ctest --preset default -j2
