#!/usr/bin/env bash
# Installs the Debian packages Meshcraft builds and tests with. Safe to run
# again: only missing packages are installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config ccache
  qt6-base-dev libqt6opengl6-dev qt6-multimedia-dev gstreamer1.0-plugins-base
  libgl-dev libgl1-mesa-dri libglx-mesa0 xvfb xauth fonts-dejavu-core
  libgtest-dev libbenchmark-dev libturbojpeg0-dev libpng-dev nlohmann-json3-dev
  sox
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
