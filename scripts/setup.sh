#!/usr/bin/env bash
# Installs the system packages that building, running and testing Zelmak need, on Debian 12.
# Only what is missing is installed; through sudo when not run as root.
set -euo pipefail

packages=(
  g++ cmake ninja-build make
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  libopenmpi-dev openmpi-bin
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  python3 dpkg-dev file lintian
  xvfb xdotool x11-utils imagemagick fonts-dejavu-core fonts-liberation
  dbus-daemon at-spi2-core
  libx11-dev
  clang-14 libclang-rt-14-dev llvm-14
  acl attr
  fortunes-de
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

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
