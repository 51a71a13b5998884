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
  xvfb xauth x11-utils openbox
  libglib2.0-dev dbus-daemon
  gpsbabel locales
)

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, so the tests can show that files never take the user's
# number format.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "setup: could not generate de_DE.UTF-8"
fi
