#!/usr/bin/env bash
# Installs the Debian packages Velmora's builds and tests need, only those missing.
# Usage: setup-debian.sh [start|test]
set -euo pipefail
want=(cmake ninja-build g++ git make g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb xauth
      imagemagick)
if [ "${1:-test}" = test ]; then
  want+=(googletest libgtest-dev clang libclang-rt-14-dev locales-all zip unzip fuse3 python3-fusepy)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages; run this command as root (or install them: apt-get install ${missing[*]})." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
