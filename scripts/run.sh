#!/usr/bin/env bash
# Installs what is missing, builds the desktop variant and starts Brantor.
#
#   ./scripts/run.sh              start Brantor; it talks to a receiver on a
#                                 serial port (COM n is /dev/ttyS<n-1>, or the
#                                 path in FJCOMM_COM<n> when that is set)
#   ./scripts/run.sh --simulate   with no receiver at hand: also starts the
#                                 simulated receiver on a pseudo-terminal and
#                                 points COM1 at it (9600 b/s)
#
# Any other arguments go to Brantor (Qt options such as -platform).
set -euo pipefail
cd "$(dirname "$0")/.."

simulate=0
args=()
for a in "$@"; do
  case "$a" in
    --simulate) simulate=1 ;;
    *) args+=("$a") ;;
  esac
done

./scripts/install-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-${HOME:-/tmp}/.cache/brantor-ccache}"
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DBRANTOR_BUILD_TESTS=ON >/dev/null
targets=(Brantor)
if [ "$simulate" -eq 1 ]; then targets+=(brantor-sim); fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display found (DISPLAY is not set); Brantor is a desktop program." >&2
  echo "        Start it from a graphical session, or for example: xvfb-run ./scripts/run.sh" >&2
  exit 1
fi

if [ "$simulate" -eq 0 ]; then
  echo "Starting Brantor. With no receiver at hand, './scripts/run.sh --simulate' starts a simulated one on COM1."
  exec "$build/bin/Brantor" "${args[@]}"
fi

# The simulated receiver prints "FJCOMM_COM1=<pseudo-terminal>" first.
simout=$(mktemp)
"$build/bin/brantor-sim" --com 1 >"$simout" 2>/dev/null &
simpid=$!
trap 'kill "$simpid" 2>/dev/null || true; wait "$simpid" 2>/dev/null || true; rm -f "$simout"' EXIT
for _ in $(seq 1 50); do
  [ -s "$simout" ] && break
  if ! kill -0 "$simpid" 2>/dev/null; then break; fi
  sleep 0.1
done
line=$(head -n 1 "$simout" || true)
case "$line" in
  FJCOMM_COM1=*) export "$line" ;;
  *) echo "run.sh: the simulated receiver did not start" >&2; exit 1 ;;
esac
echo "Simulated receiver running on ${FJCOMM_COM1} as COM1 (9600 b/s, serial number 601234)."
echo "In Brantor choose Connection, Port COM1, then Connect. It stops when Brantor ends."
"$build/bin/Brantor" "${args[@]}"
