#!/usr/bin/env bash
# Installs what is needed, builds, and shows the demo model.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"

build/tools/cli/meshcraft-cli p3d info build/demo/box.p3d
