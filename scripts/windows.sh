#!/usr/bin/env bash
# The Windows build: the library, the platform layer, meshcraft-cli and the
# library's tests cross-built with MinGW-w64 into build-windows/, then run
# under Wine in a fresh prefix there (build-windows/wine).
#   scripts/windows.sh          build and run the tests
#   scripts/windows.sh build    build only
# Skipped (status 0) where the cross compiler or Wine is not installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "windows: x86_64-w64-mingw32-g++-posix not found (g++-mingw-w64-x86-64-posix), skipped"
  exit 0
fi
wine=""
for candidate in wine64 /usr/lib/wine/wine64 wine; do
  if command -v "$candidate" >/dev/null; then
    wine=$(command -v "$candidate")
    break
  fi
done
if [ -z "$wine" ]; then
  echo "windows: Wine not found (wine64), skipped"
  exit 0
fi
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

build=build-windows
jobs=$(nproc 2>/dev/null || echo 2)
seconds() { date +%s; }

# A headless Wine: no debug chatter, nothing that waits for a display (no
# Mono or Gecko installer), a fresh 64-bit prefix for every run.
export WINEPREFIX="$root/$build/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY

stop_wineserver() { "$wineserver" -k 2>/dev/null || true; }
trap stop_wineserver EXIT

start=$(seconds)
stop_wineserver
rm -rf "$WINEPREFIX"
mkdir -p "$build"
"$wine" wineboot -i >/dev/null 2>&1 || true
# One server for the whole run, so that each program starts quickly (after
# the one wineboot started has gone).
"$wineserver" -w || true
"$wineserver" -p
# Wine's own services start with the first program and stay: start them here,
# away from the pipes of the build and of ctest, which would otherwise wait
# for them to close.
"$wine" wineboot </dev/null >/dev/null 2>&1 || true
prefix_time=$(( $(seconds) - start ))

# The native build's tool, when there is one, for comparing what both write.
native_cli=""
[ -x "$root/build/tools/cli/meshcraft-cli" ] && native_cli="$root/build/tools/cli/meshcraft-cli"

start=$(seconds)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DMESHCRAFT_WINE="$wine" -DMESHCRAFT_WINEPREFIX="$WINEPREFIX" \
  -DMESHCRAFT_BUILD_BENCH=OFF -DMESHCRAFT_NATIVE_CLI="$native_cli"
cmake --build "$build" -j "$jobs"
build_time=$(( $(seconds) - start ))

if [ "${1:-}" = build ]; then
  echo "windows: prefix ${prefix_time}s, build ${build_time}s"
  exit 0
fi

start=$(seconds)
status=0
(cd "$build" && ctest --output-on-failure --timeout 900 -j "$jobs") || status=$?
test_time=$(( $(seconds) - start ))
echo "windows: prefix ${prefix_time}s, build ${build_time}s, tests ${test_time}s"
exit $status
