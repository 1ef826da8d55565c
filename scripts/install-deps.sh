#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need.
# Idempotent: apt-get runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev clang-format
  qt6-base-dev qt6-translations-l10n fonts-dejavu-core fonts-wine xvfb xauth xdotool
  libfbclient2 firebird-dev firebird3.0-server firebird3.0-utils

)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
