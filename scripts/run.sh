#!/usr/bin/env bash
# Installs what is missing, builds the desktop variant and starts Brantor.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/brantor-ccache}"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DBRANTOR_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
if [ -x build/release/bin/Brantor ]; then
  exec build/release/bin/Brantor "$@"
fi
echo "The libraries are built in build/release/bin; the Brantor program itself is not part of this build yet, so there is nothing to start."
