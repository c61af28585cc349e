#!/bin/sh
# Instructions per stereo frame of the effect's processing, old (per-sample)
# and new (block) path, and of a render through the component against the
# bare processing, counted by callgrind: unlike times, these do not depend on
# the machine's load. Run from the build directory:
#   ../bench/effect/instructions.sh [bench/effect/bench_effect_paths [bench/IPlug/bench_iplug_au_render_tolvane]]
set -eu
bench=${1:-bench/effect/bench_effect_paths}
render=${2:-bench/IPlug/bench_iplug_au_render_tolvane}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
count() # <program> <benchmark> <function> <label>
{
  valgrind --tool=callgrind --callgrind-out-file="$out" "$1" \
    --benchmark_filter="$2\$" --benchmark_min_time=0.02 >/dev/null 2>&1
  # The callers of a function come just before its own line: "<" lines with
  # their call counts, then its "*" line with its inclusive count.
  callgrind_annotate --inclusive=yes --tree=caller "$out" 2>/dev/null |
    awk -v fn="$3" -v label="$4" '
      /^ *[0-9,]+ .* < / { n = $0; sub(/.*\(/, "", n); sub(/x\).*/, "", n); gsub(/,/, "", n); calls += n; next }
      /^ *[0-9,]+ .* \* / {
        if (index($0, fn) && calls > 0) {
          c = $1; gsub(/,/, "", c)
          printf "%-28s %7.1f instructions per frame\n", label, c / (calls * 512); exit
        }
        calls = 0; next
      }
      /^$/ { calls = 0 }'
}
for setup in 0 1 2; do
  case $setup in 0) name="factory preset" ;; 1) name="loop, one line" ;; 2) name="loop, pong" ;; esac
  count "$bench" "BM_EffectPerSample/setup:$setup" ProcessPerSample "$name, per sample"
  count "$bench" "BM_EffectBlock/setup:$setup" ProcessDoubleReplacing "$name, block"
done
if [ -x "$render" ]; then
  count "$render" BM_ProcessDirectly ProcessDoubleReplacing "factory preset, bare"
  count "$render" BM_RenderThroughComponent "UnitRenderer::Render" "factory preset, component"
fi
