#!/usr/bin/env bash
# The main job: sets up, builds the host program and the plug-in, and renders
# the built-in demo (four bars at 120 bpm) through Tolvane Delay into
# out/demo.wav with its waveform plot out/demo.png, printing the summary.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

build=${TOLVANE_BUILD_DIR:-build}
# Never more compile jobs than cores, whatever CMAKE_BUILD_PARALLEL_LEVEL asks for.
cores=$(nproc)
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$cores}
[ "$jobs" -gt "$cores" ] && jobs=$cores
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target tolvane -j "$jobs"

mkdir -p out
"$build/host/tolvane" render --demo --plot out/demo.png out/demo.wav
echo "wrote out/demo.wav and out/demo.png"
