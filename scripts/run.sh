#!/usr/bin/env bash
# Sets up, builds and starts the program from the build folder (laid out as the
# installed program folder).
#
#   bash scripts/run.sh [--demo | --receiver] [document]
#
# With no receiver device attached (no /dev/ttyUSB*, /dev/ttyACM*, /dev/rfcomm0 and no
# TVX_PORT_n in the environment) it runs the demonstration: the receiver simulator plays a
# recorded walk round a 150 x 90 m field on a pseudo-terminal, and the program's port
# COM1 is pointed at it (4800 bit/s), with its own options store in build/demo-config so
# your own settings stay as they are. --demo forces the demonstration, --receiver (or
# TVX_RECEIVER=1) starts the program on your own options and the documented port map.
# TVX_DEMO_RATE sets the simulator's speed in epochs per second (1 = walking pace).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=auto
[ "${TVX_RECEIVER:-0}" = 1 ] && mode=receiver
args=()
for arg in "$@"; do
  case "$arg" in
    --demo) mode=demo ;;
    --receiver) mode=receiver ;;
    *) args+=("$arg") ;;
  esac
done

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The program target brings the language module and the set-up library with it.
cmake --build build -j "$(nproc)" --target tolvanixpda tvx-receiver-sim tvx_walks

receiver_attached() {
  local dev
  for dev in /dev/ttyUSB[0-3] /dev/ttyACM[0-3] /dev/rfcomm0; do
    [ -e "$dev" ] && return 0
  done
  env | grep -q '^TVX_PORT_[0-9]=' && return 0
  return 1
}

if [ "$mode" = auto ]; then
  if receiver_attached; then mode=receiver; else mode=demo; fi
fi
if [ "$mode" = receiver ]; then
  exec build/tolvanixpda "${args[@]}"
fi

# The demonstration: a simulated receiver on a pseudo-terminal as COM1.
export TVX_CONFIG_DIR="$PWD/build/demo-config"
mkdir -p "$TVX_CONFIG_DIR"
store="$TVX_CONFIG_DIR/registry.ini"
if [ ! -s "$store" ]; then
  # COM1 at 4800 bit/s ("Puerto" 1, "Baudios" index 1); everything else at its default.
  cat >"$store" <<'EOF'
[HKEY_CURRENT_USER\software\Vorel - Tolvanix PDA\tolvanixpda\Opciones]
Puerto=dword:00000001
Baudios=dword:00000001

EOF
fi
walk=build/testdata/walks/field_demo.nmea
path_file=$(mktemp)
build/tools/receiver_sim/tvx-receiver-sim --log "$walk" --rate "${TVX_DEMO_RATE:-1}" --baud 4800 --loop \
  >"$path_file" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -f "$path_file"' EXIT
for _ in $(seq 50); do
  [ -s "$path_file" ] && break
  sleep 0.1
done
pty=$(head -n 1 "$path_file")
if [ -z "$pty" ]; then
  echo "run.sh: the receiver simulator did not start" >&2
  exit 1
fi
echo "Demonstration: a simulated receiver walks round a 150 x 90 m field (13500 m2, 480 m)"
echo "on $pty, which the program knows as COM1. Switch GPS reading on to see the fixes."
TVX_PORT_1="$pty" build/tolvanixpda "${args[@]}"
