#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# Idempotent: installs only what is missing; uses sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev rapidjson-dev
  fonts-noto-cjk fonts-liberation fontconfig librsvg2-bin
  xvfb xdotool openbox xclip imagemagick
  dbus at-spi2-core python3-pyatspi weston qt6-wayland locales
)
if [[ "${VARSK_WITH_PACKAGE:-0}" == 1 ]]; then
  packages+=(dpkg-dev file lintian desktop-file-utils appstream man-db)
fi
if [[ "${VARSK_WITH_FUZZ:-0}" == 1 ]]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
