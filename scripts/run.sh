#!/usr/bin/env bash
# Installs what is missing, builds the desktop variant and starts Brantor.
#
#   ./scripts/run.sh              start Brantor; it talks to a receiver on a
#                                 serial port (COM n is /dev/ttyS<n-1>, or the
#                                 path in FJCOMM_COM<n> when that is set)
#   ./scripts/run.sh --simulate   with no receiver at hand: also starts the
#                                 simulated receiver on a pseudo-terminal and
#                                 points COM1 at it (9600 b/s)
#   ./scripts/run.sh --port DEV   points COM1 at the device DEV (a USB serial
#                                 adapter /dev/ttyUSB0, /dev/ttyACM0, or a
#                                 Bluetooth serial link /dev/rfcomm0)
#   ./scripts/run.sh --handheld   builds and starts the handheld variant
#   ./scripts/run.sh --today      builds the handheld variant and starts the
#                                 home-screen host with the launcher row;
#                                 tapping the row starts Brantor
#   ./scripts/run.sh --help       prints this and ends
#
# BRANTOR_JOBS sets the number of build jobs (default: all cores).
# Any other arguments go to Brantor (Qt options such as -platform).
set -euo pipefail

# The usage is the comment at the top of this file.
usage() { sed -n '2,/^$/{/^#/!q;s/^# \{0,1\}//;p}' "$0"; }

simulate=0
handheld=0
today=0
port=""
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --simulate) simulate=1 ;;
    --handheld) handheld=1 ;;
    --today) handheld=1; today=1 ;;
    --port)
      if [ $# -lt 2 ]; then echo "run.sh: --port needs a device, for example --port /dev/ttyUSB0" >&2; exit 2; fi
      port=$2; shift ;;
    --port=*) port=${1#--port=} ;;
    -h|--help) usage; exit 0 ;;
    *) args+=("$1") ;;
  esac
  shift
done
cd "$(dirname "$0")/.."
if [ -n "$port" ] && [ "$simulate" -eq 1 ]; then
  echo "run.sh: --port and --simulate both choose COM1; give one of them" >&2
  exit 2
fi

./scripts/install-deps.sh
export CCACHE_DIR="${CCACHE_DIR:-${HOME:-/tmp}/.cache/brantor-ccache}"
jobs=${BRANTOR_JOBS:-$(nproc)}
build=build/release
variant=()
if [ "$handheld" -eq 1 ]; then build=build/handheld-release; variant=(-DBRANTOR_HANDHELD=ON); fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${variant[@]}" \
      -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DBRANTOR_BUILD_TESTS=ON >/dev/null
targets=(Brantor)
if [ "$simulate" -eq 1 ]; then targets+=(brantor-sim); fi
if [ "$today" -eq 1 ]; then targets+=(today TodayHost); fi
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display found (DISPLAY is not set); Brantor is a desktop program." >&2
  echo "        Start it from a graphical session, or for example: xvfb-run ./scripts/run.sh" >&2
  exit 1
fi

echo "Settings are kept in $build/bin/configs (deleting the build folder forgets them)."
if [ -n "$port" ]; then
  if [ ! -e "$port" ]; then echo "run.sh: $port does not exist" >&2; exit 1; fi
  export FJCOMM_COM1="$port"
  echo "COM1 is $port: in Brantor choose Connection, Port COM1, then Connect."
fi
if [ "$today" -eq 1 ] && [ "$simulate" -eq 0 ]; then
  echo "Starting the home-screen host; tap the Brantor row to start Brantor."
  exec "$build/bin/TodayHost"
fi
if [ "$simulate" -eq 0 ]; then
  [ -n "$port" ] || echo "Starting Brantor. With no receiver at hand, './scripts/run.sh --simulate' starts a simulated one on COM1."
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
if [ "$today" -eq 1 ]; then
  # Brantor, started from the row, inherits COM1.
  echo "Starting the home-screen host; tap the Brantor row, then in Brantor choose Connection, Port COM1, Connect."
  echo "The simulated receiver stops when the host ends."
  "$build/bin/TodayHost"
  exit $?
fi
echo "In Brantor choose Connection, Port COM1, then Connect. It stops when Brantor ends."
"$build/bin/Brantor" "${args[@]}"
