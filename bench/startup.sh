#!/usr/bin/env bash
# Time from starting Brantor to its main window on screen, under Xvfb.
#
#   bench/startup.sh [path/to/Brantor] [runs]
#
# Without a path the Release build of ./scripts/run.sh (build/release) is
# built and used. Each run starts the program in a program folder of its own
# (the first run also writes the configuration defaults there), waits until
# the window named "Brantor" is mapped, and ends it. Prints every run and
# the median. Needs xvfb-run (xvfb) and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."

bin=${1:-}
runs=${2:-11}
if [ -z "$bin" ]; then
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
  cmake --build build/release --target Brantor >/dev/null
  bin=build/release/bin/Brantor
fi
bin=$(readlink -f "$bin")
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "startup.sh: $tool is missing (apt-get install xvfb xdotool)" >&2; exit 1; }
done

if [ -z "${BRANTOR_BENCH_INNER:-}" ]; then
  exec env BRANTOR_BENCH_INNER=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$bin" "$runs"
fi

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
bindir=$(dirname "$bin")
cp -r "$bindir/Resources" "$bindir/translates" "$folder/" 2>/dev/null || true
export BRANTOR_PROGRAM_DIR=$folder

times=()
for i in $(seq 1 "$runs"); do
  start=$(date +%s%N)
  "$bin" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name '^Brantor$' >/dev/null 2>&1; do
    if ! kill -0 "$pid" 2>/dev/null; then echo "startup.sh: Brantor ended before showing its window" >&2; exit 1; fi
    sleep 0.002
  done
  end=$(date +%s%N)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  ms=$(( (end - start) / 1000000 ))
  times+=("$ms")
  if [ "$i" -eq 1 ]; then echo "run 1 (first start, writes the configuration files): ${ms} ms"; else echo "run $i: ${ms} ms"; fi
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "median time to the main window over $runs runs: ${median} ms (goal: under 500 ms)"
