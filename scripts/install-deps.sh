#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need,
# and those named as arguments (scripts that need more give theirs).
# Idempotent: apt-get runs only when something is missing. Installing needs
# root rights: as another user it goes through sudo, and without sudo it says
# what is missing and what root has to run.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev clang-format
  qt6-base-dev libxcb1-dev qt6-translations-l10n fonts-dejavu-core fonts-wine xvfb xauth xdotool
  libfbclient2 firebird-dev firebird3.0-server firebird3.0-utils
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
((${#missing[@]})) || exit 0

# Tells what root has to run, after the reason why this script could not.
root_hint() {
  echo "$1 As root, run:" >&2
  echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  echo "then run this command again." >&2
  exit 1
}

export DEBIAN_FRONTEND=noninteractive
if [[ $(id -u) -eq 0 ]]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif command -v sudo >/dev/null; then
  echo "Installing through sudo: ${missing[*]}"
  sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" ||
    root_hint "Installing the packages through sudo failed."
else
  echo "Missing packages: ${missing[*]}" >&2
  root_hint "This script cannot install them: that needs root rights, and there is no sudo here."
fi
