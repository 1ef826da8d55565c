#!/usr/bin/env bash
# The main job: installs what is needed, builds everything, prepares the demo
# database (embedded engine, build/demo/zelo.fdb) with its zelo.ini beside the
# kelmo executable, and starts Kelmo on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELO_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

# The embedded engine keeps its lock files in a folder its user may write:
# one of our own, so that a user who is not root can run it too.
demo=$build/demo
mkdir -p "$demo/lock"
export FIREBIRD_LOCK=$demo/lock
"$build/useradmin/tools/kelmo-demo-db" "$demo/zelo.fdb" "$build/useradmin/zelo.ini"

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "No display (DISPLAY is unset): Kelmo needs one for its window. On a desktop, run"
  echo "  FIREBIRD_LOCK=$demo/lock $build/useradmin/kelmo"
  echo "or on a virtual screen: xvfb-run -a env FIREBIRD_LOCK=$demo/lock $build/useradmin/kelmo"
  exit 0
fi
echo "Starting Kelmo: log in as SPRAVCE with the password demo."
exec "$build/useradmin/kelmo"
