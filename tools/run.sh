#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
ryd_install_missing

cmake -S . -B build -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)" --target ryd-configurator
exec ./build/app/ryd-configurator "$@"
