#!/usr/bin/env bash
# Runs the fuzz targets for as long as asked, one after the other, from their
# committed seeds; what they find goes to a work folder, and a crash leaves its
# input there (add it to tests/fuzz/corpus/<target>/ once it is mended).
#   tools/fuzz.sh [SECONDS per target, default 600] [TARGET...]
# Builds build-asan (clang, address and undefined-behaviour sanitizers) first.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_png fuzz_state_chunk fuzz_saved_state fuzz_aupreset fuzz_properties)
fi

dir=build-asan
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_SANITIZE=ON \
  -DTOLVANE_FUZZ=ON -DTOLVANE_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

export TOLVANE_COMPONENTS_DIR=$PWD/$dir/Components
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp}
work=$dir/fuzz-work
status=0
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  echo "== $target for ${seconds}s"
  if ! "$dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$work/$target-" \
      "$work/$target" "tests/fuzz/corpus/$target" 2>"$work/$target.log"; then
    echo "   FOUND something: see $work/$target.log and $work/$target-*"
    status=1
  fi
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$work/$target.log" | sed 's/^/   /'
done
exit $status
