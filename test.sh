#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (in build-test/)
# and runs the whole test suite; then builds the libFuzzer targets with clang (in
# build-fuzz/), replays their seeds and fuzzes each for a short, bounded time.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVK_SANITIZE=ON -DVK_TESTS=ON
cmake --build build-test -j2
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
(cd build-test && ctest --output-on-failure -j2 --timeout 300 "$@")

if command -v clang++ >/dev/null 2>&1; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVK_FUZZ=ON -DVK_TESTS=ON >/dev/null
  fuzzers=$(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
  # shellcheck disable=SC2086
  cmake --build build-fuzz -j2 --target $fuzzers
  (cd build-fuzz && ctest --output-on-failure -R '_seeds$')
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  for fuzzer in $fuzzers; do
    mkdir -p "$scratch/$fuzzer"
    cp tests/fuzz/corpus/"$fuzzer"/* "$scratch/$fuzzer"/
    build-fuzz/bin/"$fuzzer" -max_total_time=20 -runs=500000 -artifact_prefix="$scratch/" \
      "$scratch/$fuzzer" 2>"$scratch/$fuzzer.log" || { tail -n 30 "$scratch/$fuzzer.log"; exit 1; }
  done
  echo "fuzzers: $fuzzers passed"
fi
