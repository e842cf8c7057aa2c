#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing, so the README's
# commands work on a fresh machine and cost nothing on a prepared one.
set -euo pipefail

packages=(cmake make g++ pkg-config libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libgl1-mesa-dev qt6-qpa-plugins xvfb xdotool)
# `deps.sh fuzz`: clang and its libFuzzer runtime as well, for scripts/fuzz.sh.
if [ "${1:-}" = fuzz ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
