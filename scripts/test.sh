#!/usr/bin/env bash
# Installs what is missing, builds both variants and runs every test:
#  1. desktop variant with AddressSanitizer + UndefinedBehaviorSanitizer;
#  2. handheld variant;
#  3. the libraries and their tests with ThreadSanitizer;
#  4. the fuzz targets, built with clang and run briefly over their seeds.
# BRANTOR_JOBS sets the number of build and test jobs (default: all cores).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=${BRANTOR_JOBS:-$(nproc)}
export CCACHE_DIR="${CCACHE_DIR:-${HOME:-/tmp}/.cache/brantor-ccache}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
common=(-G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_BUILD_TYPE=Debug)

run_variant() {
  local dir=$1; shift
  cmake -S . -B "$dir" "${common[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest -j "$jobs" --output-on-failure)
}

echo "== desktop variant, ASan + UBSan"
run_variant build/ci-desktop-asan -DBRANTOR_SANITIZE=address,undefined
echo "== handheld variant"
run_variant build/ci-handheld -DBRANTOR_HANDHELD=ON
echo "== libraries and their tests, ThreadSanitizer"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
run_variant build/ci-tsan -DBRANTOR_SANITIZE=thread -DBRANTOR_BUILD_PROGRAM=OFF
echo "== fuzz targets (clang, libFuzzer): built and run briefly over their seed corpora"
CXX=clang++ cmake -S . -B build/ci-fuzz -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRANTOR_BUILD_FUZZ=ON -DBRANTOR_SANITIZE=address,undefined \
      -DBRANTOR_BUILD_PROGRAM=OFF -DBRANTOR_BUILD_TESTS=OFF >/dev/null
cmake --build build/ci-fuzz -j "$jobs" --target fuzz_facade fuzz_oldformat fuzz_novatel fuzz_settings fuzz_newformat
for target in facade oldformat novatel settings newformat; do
  work=$(mktemp -d)
  cp fuzz/corpus/$target/* "$work"/
  build/ci-fuzz/bin/fuzz_$target -max_total_time=20 -print_final_stats=0 "$work" 2>&1 | tail -n 1
  rm -rf "$work"
done
echo "All tests of both variants, the ThreadSanitizer run and the fuzz smoke runs passed."
