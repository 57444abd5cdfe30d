#!/usr/bin/env bash
# Installs what is missing, builds the program and its tests and runs the whole
# suite through CTest. Exits non-zero when any test fails.
#
#   bash tools/test.sh              the normal build, in build/
#   bash tools/test.sh --sanitize   AddressSanitizer and UndefinedBehaviorSanitizer
#                                   with leak checking, in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
ryd_install_missing

build=build
options=(-DBUILD_TESTING=ON)
if [ "${1:-}" = "--sanitize" ]; then
    build=build-sanitize
    options+=(-DRYD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi

cmake -S . -B "$build" "${options[@]}"
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
