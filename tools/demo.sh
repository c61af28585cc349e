#!/usr/bin/env bash
# The main job: sets up, builds the host program and the plug-in, and renders
# the built-in demo (four bars at 120 bpm) through Tolvane Delay into
# out/demo.wav with its waveform plot out/demo.png, printing the summary.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

build=${TOLVANE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target tolvane

mkdir -p out
"$build/host/tolvane" render --plot out/demo.png out/demo.wav
echo "wrote out/demo.wav and out/demo.png"
