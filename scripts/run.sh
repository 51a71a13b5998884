#!/usr/bin/env bash
# Sets up, builds and starts the program from the build folder (laid out as the
# installed program folder). Arguments are passed to the program (a document path).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# The program target brings the language module and the set-up library with it.
cmake --build build -j "$(nproc)" --target tolvanixpda
exec build/tolvanixpda "$@"
