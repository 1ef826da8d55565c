#!/usr/bin/env bash
# The main job: installs what is needed, builds everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELO_WERROR=ON >/dev/null
cmake --build "$root/build" -j "$(nproc)"
