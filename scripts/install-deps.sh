#!/usr/bin/env bash
# Installs the Debian packages needed to build and test Stelmar; only what is
# missing, so a second run changes nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev file
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev libboost-dev
  clang libclang-rt-14-dev
  libxlsxwriter-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-webengine-dev qt6-pdf-dev libgl-dev qt6-translations-l10n
  fonts-dejavu-core fonts-liberation2
  poppler-utils unzip
  libdxflib-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
