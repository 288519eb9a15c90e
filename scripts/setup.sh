#!/usr/bin/env bash
# Installs what building and testing need, when it is missing. Idempotent
# and non-interactive; runs as root or through sudo.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev ccache libgtest-dev googletest
          libbenchmark-dev g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 xvfb
          xauth x11-utils imagemagick python3 fonts-wine nsis dpkg-dev file groff-base
          libstb-dev zlib1g-dev libz-mingw-w64-dev epubcheck txt2pdbdoc)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
