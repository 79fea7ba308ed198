#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12), then configures and
# builds. Usage: ./setup.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")"

packages=(build-essential cmake ninja-build clang libclang-rt-14-dev pkg-config
          libgtest-dev libgmock-dev libbenchmark-dev libsdl2-dev libfreetype-dev
          libfontconfig-dev fonts-liberation fonts-crosextra-carlito fonts-crosextra-caladea fonts-dejavu-core
          libpng-dev zlib1g-dev libcairo2-dev libagg-dev libgdk-pixbuf-2.0-dev libgdk-pixbuf2.0-bin python3
          xvfb xfonts-base xdotool x11-apps x11-utils imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${1:-build}
shift || true
cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir"
