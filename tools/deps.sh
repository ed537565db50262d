#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the screenshots need (skips apt when
# everything is there already).
set -euo pipefail
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-charts-dev libqt6opengl6-dev
  libqt6sql6-sqlite qt6-qpa-plugins libxkbcommon-dev libjpeg-dev libbenchmark-dev
  fonts-dejavu-core xvfb xauth x11-apps imagemagick)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
