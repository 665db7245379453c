#!/usr/bin/env bash
# Installs the Debian packages Meshcraft builds and tests with. Safe to run
# again: only missing packages are installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config ccache
  qt6-base-dev libqt6opengl6-dev qt6-multimedia-dev gstreamer1.0-plugins-base
  libgl-dev libgl1-mesa-dri libglx-mesa0 libegl-dev libegl-mesa0 libepoxy-dev xvfb xauth fonts-dejavu-core
  libgtest-dev libbenchmark-dev libturbojpeg0-dev libpng-dev nlohmann-json3-dev
  libtinygltf-dev
  sox
  g++-mingw-w64-x86-64-posix wine wine64 libstb-dev
)

# Node.js runs the Khronos glTF validator in the export tests; a node already
# on the PATH (from any source) is kept.
if ! command -v node >/dev/null; then
  packages+=(nodejs npm)
fi

# The validator itself is an npm package, installed into the build folder
# (never committed); the tests skip it when it is missing.
install_gltf_validator() {
  local root dir
  root=$(cd "$(dirname "$0")/.." && pwd)
  dir="$root/build/npm"
  [ -f "$dir/node_modules/gltf-validator/package.json" ] && return 0
  command -v npm >/dev/null || { echo "setup: no npm, the glTF validator is not installed"; return 0; }
  echo "setup: installing gltf-validator into build/npm"
  mkdir -p "$dir"
  npm install --no-audit --no-fund --prefix "$dir" gltf-validator@2.0.0-dev.3.10 >/dev/null ||
    echo "setup: gltf-validator could not be installed; the glTF tests run without it"
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  install_gltf_validator
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
install_gltf_validator
