#!/usr/bin/env bash
# Installs what is missing, builds both variants and runs every test.
set -euo pipefail

usage() {
  cat <<'TXT'
Usage: ./scripts/test.sh [--help]

Installs what is missing (Debian 12, as root or through sudo), builds both
variants and runs every test, in four stages:
  1. the desktop variant with AddressSanitizer + UndefinedBehaviorSanitizer
     (Debug), build/ci-desktop-asan;
  2. the handheld variant optimised as users build the program
     (Release), build/ci-handheld;
  3. the libraries, the program's part without windows (device access,
     settings store) and their tests with ThreadSanitizer, build/ci-tsan;
  4. the fuzz targets, built with clang and run briefly over their seeds,
     build/ci-fuzz.
It stops at the first stage that fails.

Environment:
  BRANTOR_JOBS   number of build and test jobs (default: all cores);
                 BRANTOR_JOBS=2 on a small machine
  CCACHE_DIR     compiler cache (default: ~/.cache/brantor-ccache)

Tests that read real receiver captures expect ../shared/testdata beside the
project folder.
TXT
}

while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    *) echo "test.sh: unknown argument '$1'" >&2; usage >&2; exit 2 ;;
  esac
done

cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=${BRANTOR_JOBS:-$(nproc)}
export CCACHE_DIR="${CCACHE_DIR:-${HOME:-/tmp}/.cache/brantor-ccache}"
# Paths inside the project are hashed relative to it, so that a fresh clone
# elsewhere (as CI makes one) finds what an earlier run compiled.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
common=(-G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

run_variant() {
  local dir=$1; shift
  cmake -S . -B "$dir" "${common[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest -j "$jobs" --output-on-failure)
}

echo "== desktop variant, ASan + UBSan"
run_variant build/ci-desktop-asan -DCMAKE_BUILD_TYPE=Debug -DBRANTOR_SANITIZE=address,undefined
# Optimised as users build the program, so that faults that show only under
# the optimiser (and its warnings) show here.
echo "== handheld variant, optimised (Release)"
run_variant build/ci-handheld -DCMAKE_BUILD_TYPE=Release -DBRANTOR_HANDHELD=ON
echo "== libraries and the program's part without windows, ThreadSanitizer"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
run_variant build/ci-tsan -DCMAKE_BUILD_TYPE=Debug -DBRANTOR_SANITIZE=thread -DBRANTOR_PROGRAM_GUI=OFF
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
