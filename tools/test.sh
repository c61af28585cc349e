#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite twice: a normal build, then a
# build with the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

# Never more compile jobs than cores, whatever CMAKE_BUILD_PARALLEL_LEVEL asks for.
cores=$(nproc)
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$cores}
[ "$jobs" -gt "$cores" ] && jobs=$cores
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp"

run_suite() {  # <build dir> <extra cmake args...>
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== tests: normal build =="
run_suite build
echo "== tests: sanitizer build (address, undefined) =="
run_suite build-asan -DTOLVANE_SANITIZE=ON -DTOLVANE_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
