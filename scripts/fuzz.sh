#!/usr/bin/env bash
# libFuzzer targets (clang only).
#   scripts/fuzz.sh check                 can clang link them here? (says why not)
#   scripts/fuzz.sh build                 build them into build-fuzz/
#   scripts/fuzz.sh run SECONDS [NAME...] run each (default: all) for SECONDS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

command -v clang++ >/dev/null || { echo "fuzz: clang++ not found, skipped"; exit 0; }

# True when clang can link a libFuzzer program with the sanitizers the
# targets use; prints why not otherwise.
can_link_fuzzer() {
  local dir
  dir=$(mktemp -d)
  printf '%s\n' '#include <cstdint>' '#include <cstddef>' \
    'extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }' > "$dir/probe.cpp"
  if clang++ -fsanitize=fuzzer,address,undefined "$dir/probe.cpp" -o "$dir/probe" > "$dir/log" 2>&1; then
    rm -rf "$dir"
    return 0
  fi
  echo "fuzz: clang cannot link a -fsanitize=fuzzer program ($(grep -m1 -iE 'error|cannot' "$dir/log" || echo 'link failed')), fuzz targets skipped"
  rm -rf "$dir"
  return 1
}

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
  check) can_link_fuzzer ;;
  build) build ;;
  run) shift; run "$@" ;;
  *) echo "usage: scripts/fuzz.sh build | run SECONDS [NAME...]" >&2; exit 2 ;;
esac
