#!/usr/bin/env bash
# The whole test suite: installs what it needs, then builds and tests twice
# (gcc with warnings as errors; clang with AddressSanitizer, UndefinedBehavior-
# Sanitizer and the libFuzzer targets), then runs each fuzzer for a bounded time.
# In each build the tests of names with Czech letters run a second time under
# the POSIX locale that a new account gets.
# Every private Firebird server it starts is stopped on every exit path; their
# ports follow ZELO_PORT_BASE (see ports.sh).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-15}
source "$root/scripts/ports.sh"
export FB_PORT_SETTING=ZELO_PORT_BASE

bash "$root/scripts/install-deps.sh"

stop_servers() {
  for dir in "$root"/{build,build-asan}/fbtest*{,/own-server}; do
    "$root/scripts/fbserver.sh" stop "$dir" || true
  done
}
trap stop_servers EXIT INT TERM

run_suite() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELO_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure --timeout 300 -j "$jobs")
  echo "-- the tests of names once more, under the POSIX locale"
  (cd "$dir" && env -u LANG -u LANGUAGE LC_ALL=C ctest --output-on-failure --timeout 300 -j "$jobs" -L names)
}

echo "== gcc, warnings as errors"
run_suite "$root/build" -DFB_TEST_PORT="$test_port"

echo "== clang, address and undefined-behaviour sanitizers"
run_suite "$root/build-asan" -DCMAKE_CXX_COMPILER=clang++ -DZELO_FUZZ=ON -DFB_TEST_PORT="$sanitizer_test_port"

echo "== fuzzing, ${fuzz_seconds} s per target"
shopt -s nullglob
for fuzzer in "$root"/build-asan/tests/fuzz/fuzz_*; do
  [[ -x $fuzzer && ! -d $fuzzer ]] || continue
  name=$(basename "$fuzzer")
  corpus="$root/build-asan/fuzz-corpus/$name"
  mkdir -p "$corpus"
  seeds=("$root/tests/fuzz/seeds/$name")
  [[ -d ${seeds[0]} ]] || seeds=()
  echo "-- $name"
  "$fuzzer" -max_total_time="$fuzz_seconds" -timeout=10 -print_final_stats=0 \
    -artifact_prefix="$root/build-asan/" "$corpus" "${seeds[@]}" 2>&1 | tail -n 3
  [[ ${PIPESTATUS[0]} -eq 0 ]] || { echo "fuzzer $name found a fault" >&2; exit 1; }
done
echo "all test stages passed"
