#!/bin/sh
# Installs every build and test dependency from Debian 12 packages.
# Safe to run again: packages already present are not fetched a second time.
# --list prints the package names and installs nothing.
set -eu

PACKAGES="
  build-essential g++ cmake ninja-build pkg-config git ccache
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  libusb-1.0-0-dev libjpeg62-turbo-dev libzip-dev
  libgtest-dev googletest libbenchmark-dev
  umockdev libumockdev-dev
  xvfb xauth x11-apps
  dpkg-dev file appstream desktop-file-utils
"

if [ "${1:-}" = "--list" ]; then
  echo $PACKAGES | tr ' ' '\n'
  exit 0
fi

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -n "$missing" ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "Installing:$missing"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
