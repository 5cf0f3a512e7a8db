#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing the setup. Idempotent:
# packages already installed are skipped, and apt is not touched when nothing is missing.
set -eu
packages=(
  cmake make g++ clang libclang-rt-14-dev libgtest-dev googletest python3
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine wine64 wixl msitools
  xvfb xauth imagemagick
  osslsigncode openssl
  python3-jsonschema python3-yaml
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
