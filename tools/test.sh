#!/usr/bin/env bash
# Installs what is missing, builds the program and its tests and runs the whole
# suite through CTest. Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
ryd_install_missing

cmake -S . -B build -DBUILD_TESTING=ON
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure -j"$(nproc)"
