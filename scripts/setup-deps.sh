#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when missing.
# Uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev libqt6opengl6-dev libgl-dev libegl-dev libgl1-mesa-dri
  libopenal-dev libx11-dev libxss-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool openbox libxtst-dev desktop-file-utils
  clang libclang-rt-dev clang-format-14
  fonts-dejavu-core fonts-liberation2
  qt6-translations-l10n
)

missing=()
# dpkg -s also answers for a package that was removed but left its
# configuration behind: only "install ok installed" counts.
for p in "${packages[@]}"; do
  dpkg -s "$p" 2>/dev/null | grep -x 'Status: install ok installed' >/dev/null || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
