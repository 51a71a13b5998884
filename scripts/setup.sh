#!/usr/bin/env bash
# Installs, from Debian packages, whatever the build and the tests need and is missing.
set -euo pipefail

PKGS=(
  build-essential cmake ninja-build pkg-config ccache
  clang libclang-rt-dev
  libwxgtk3.2-dev
  libgdal-dev gdal-bin libproj-dev proj-bin proj-data sqlite3
  libshp-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth x11-utils
  gpsbabel
)

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
