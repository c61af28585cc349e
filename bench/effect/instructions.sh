#!/bin/sh
# Instructions per stereo frame of the effect's processing, old (per-sample)
# and new (block) path, counted by callgrind: unlike times, these do not
# depend on the machine's load. Run from the build directory:
#   ../bench/effect/instructions.sh [bench/effect/bench_effect_paths]
set -eu
bench=${1:-bench/effect/bench_effect_paths}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
count() # <benchmark> <function> <label>
{
  valgrind --tool=callgrind --callgrind-out-file="$out" "$bench" \
    --benchmark_filter="$1\$" --benchmark_min_time=0.02 >/dev/null 2>&1
  callgrind_annotate --inclusive=yes --tree=caller "$out" 2>/dev/null |
    grep -E "=> .*$2.*\([0-9]+x\)" | head -1 |
    sed -E 's/^ *([0-9,]+).*\(([0-9]+)x\).*/\1 \2/' | tr -d , |
    awk -v label="$3" '{ printf "%-28s %7.1f instructions per frame\n", label, $1 / ($2 * 512) }'
}
for setup in 0 1 2; do
  case $setup in 0) name="factory preset" ;; 1) name="loop, one line" ;; 2) name="loop, pong" ;; esac
  count "BM_EffectPerSample/setup:$setup" ProcessPerSample "$name, per sample"
  count "BM_EffectBlock/setup:$setup" ProcessDoubleReplacing "$name, block"
done
