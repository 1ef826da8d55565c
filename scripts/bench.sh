#!/usr/bin/env bash
# Runs the benchmark programs of a build folder against a private Firebird
# server of their own, and prints their figures.
#   bench.sh BUILD_DIR [NAME ...]
# The server listens on ZELO_PORT_BASE+2 (30557 by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
shift
source "$root/scripts/ports.sh"
dir="$build/fbbench"
trap '"$root/scripts/fbserver.sh" stop "$dir"' EXIT INT TERM
FB_PORT_SETTING="ZELO_PORT_BASE (the benchmarks use ZELO_PORT_BASE+2)" \
  "$root/scripts/fbserver.sh" start "$dir" "$bench_port"
export FIREBIRD=$dir FIREBIRD_LOCK=$dir/clientlock FB_TEST_DIR=$dir QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ZELO_SOURCE_DIR=$root ZELO_BINARY_DIR=$build
export XDG_RUNTIME_DIR=$build/benchhome/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
if (($# == 0)); then echo "no benchmarks built"; fi
for name in "$@"; do
  echo "== $name"
  "$build/bench/$name"
done
