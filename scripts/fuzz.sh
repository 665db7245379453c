#!/usr/bin/env bash
# libFuzzer targets (clang only).
#   scripts/fuzz.sh build                 build them into build-fuzz/
#   scripts/fuzz.sh run SECONDS [NAME...] run each (default: all) for SECONDS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

command -v clang++ >/dev/null || { echo "fuzz: clang++ not found, skipped"; exit 0; }

build() {
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DMESHCRAFT_BUILD_FUZZERS=ON -DMESHCRAFT_FUZZ_ONLY=ON >/dev/null
  cmake --build build-fuzz -j "$(nproc 2>/dev/null || echo 2)"
}

run() {
  local seconds=$1
  shift
  local names=("$@")
  if [ ${#names[@]} -eq 0 ]; then
    mapfile -t names < <(find build-fuzz/tests/fuzz -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x -printf '%f\n' | sort)
  fi
  for name in "${names[@]}"; do
    local corpus="build-fuzz/corpus/$name"
    mkdir -p "$corpus"
    local args=("$corpus")
    [ -d "tests/fuzz/seeds/$name" ] && args+=("tests/fuzz/seeds/$name")
    echo "fuzz: $name for ${seconds}s"
    "build-fuzz/tests/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
      -print_final_stats=1 "${args[@]}" > "build-fuzz/$name.log" 2>&1 ||
      { tail -40 "build-fuzz/$name.log"; echo "fuzz: $name found a fault"; return 1; }
    grep -E '^stat::number_of_executed_units' "build-fuzz/$name.log" || true
  done
}

case "${1:-}" in
  build) build ;;
  run) shift; run "$@" ;;
  *) echo "usage: scripts/fuzz.sh build | run SECONDS [NAME...]" >&2; exit 2 ;;
esac
