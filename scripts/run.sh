#!/usr/bin/env bash
# The main job: installs what is needed, builds Kelmo and its demo-database
# tool (the tests and benchmarks are scripts/test.sh's job), prepares the demo
# database (embedded engine, build/demo/zelo.fdb) with its zelo.ini beside the
# kelmo executable, and starts Kelmo on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELO_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target kelmo kelmo-demo-db

# The embedded engine keeps its lock files in a folder its user may write:
# one of our own, so that a user who is not root can run it too.
demo=$build/demo
mkdir -p "$demo/lock"
export FIREBIRD_LOCK=$demo/lock
"$build/useradmin/tools/kelmo-demo-db" "$demo/zelo.fdb" "$build/useradmin/zelo.ini"

# Qt wants a private runtime folder; outside a desktop session nobody has made
# one, and Qt would say so on every start.
start_env=(FIREBIRD_LOCK="$FIREBIRD_LOCK")
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
  export XDG_RUNTIME_DIR=$demo/runtime
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  start_env+=(XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR")
fi

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  printf -v start '%q ' env "${start_env[@]}" "$build/useradmin/kelmo"
  start=${start% }
  echo "No display (DISPLAY is unset): Kelmo needs one for its window. On a desktop, run"
  echo "  $start"
  echo "or, only to try it without a desktop, on a virtual screen:"
  echo "  xvfb-run -a $start"
  exit 0
fi
echo "Starting Kelmo: log in as SPRAVCE with the password demo."
exec "$build/useradmin/kelmo"
