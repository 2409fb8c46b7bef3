#!/usr/bin/env bash
# Installs what is missing, builds both variants and runs every test:
#  1. desktop variant with AddressSanitizer + UndefinedBehaviorSanitizer;
#  2. handheld variant;
#  3. the libraries and their tests with ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(nproc)
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/brantor-ccache}"
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
echo "All tests of both variants and the ThreadSanitizer run passed."
