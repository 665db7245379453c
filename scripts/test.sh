#!/usr/bin/env bash
# Builds everything and runs every test (headless, under a virtual X server).
# Fuzz targets get a short smoke run when clang is present.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)

# Fuzz targets are built with clang into build-fuzz/; ctest runs each for a
# short smoke time.
fuzz_dir=""
if command -v clang++ >/dev/null && bash scripts/fuzz.sh check; then
  bash scripts/fuzz.sh build
  fuzz_dir="$root/build-fuzz/tests/fuzz"
elif ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found, fuzz targets skipped"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMESHCRAFT_FUZZ_DIR="$fuzz_dir" \
  -DMESHCRAFT_FUZZ_SECONDS="${MESHCRAFT_FUZZ_SECONDS:-15}"
cmake --build build -j "$jobs"

export QT_QPA_PLATFORM=xcb
export LIBGL_ALWAYS_SOFTWARE=1
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/meshcraft-xdg.XXXXXX)}"
chmod 0700 "$XDG_RUNTIME_DIR"
mkdir -p build/screenshots

run_ctest() {
  if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest "$@"
  else
    ctest "$@"
  fi
}
(cd build && run_ctest --output-on-failure --timeout 600 -j "$jobs")

# The Windows build (MinGW-w64, run under Wine) where the cross compiler is
# installed.
if command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  bash scripts/windows.sh
fi
