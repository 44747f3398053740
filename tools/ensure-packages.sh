#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping those already
# present. Usage: tools/ensure-packages.sh play|test
set -eu

common=(cmake make g++ googletest
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
        wine wine64 xvfb x11-utils xdotool imagemagick fonts-wine fonts-liberation fp-utils python3)
testing=(clang libclang-rt-14-dev)

packages=("${common[@]}")
if [ "${1:-test}" = test ]; then packages+=("${testing[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}. Run as root, or install them with apt-get." >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
