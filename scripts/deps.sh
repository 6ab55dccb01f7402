#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need (only the missing ones).
# `deps.sh windows` installs the cross compiler and Wine for the Windows build instead.
set -euo pipefail
packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libpugixml-dev xz-utils
  libsdl2-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri libfreetype-dev libfontconfig-dev
  fonts-dejavu-core xvfb xauth xdotool x11-utils
  gcc-avr avr-libc binutils-avr simavr libsimavr-dev
)
if [ "${1:-}" = windows ]; then
  packages=(
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev
    googletest wine wine64 xvfb xdotool
  )
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq || true
$SUDO apt-get install -y -qq "${missing[@]}"
