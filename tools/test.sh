#!/usr/bin/env bash
# Installs what is missing, builds the program and its tests and runs the whole
# suite through CTest. Exits non-zero when any test fails.
#
#   bash tools/test.sh              the normal build, in build/
#   bash tools/test.sh --sanitize   AddressSanitizer and UndefinedBehaviorSanitizer
#                                   with leak checking, in build-sanitize/
#   bash tools/test.sh --qt6        the same sources against Qt 6, in build-qt6/
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh

build=build
options=(-DBUILD_TESTING=ON)
extra_packages=()
case "${1:-}" in
"") ;;
--sanitize)
    build=build-sanitize
    options+=(-DRYD_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
    ;;
--qt6)
    build=build-qt6
    options+=(-DRYD_QT_VERSION=6)
    extra_packages=("${ryd_qt6_packages[@]}")
    ;;
*)
    echo "usage: bash tools/test.sh [--sanitize | --qt6]" >&2
    exit 2
    ;;
esac
ryd_install_missing "${extra_packages[@]}"

cmake -S . -B "$build" "${options[@]}"
cmake --build "$build" -j"$(nproc)"
cd "$build"
# The tests mostly wait on the device's timers and the emulator's answers, not
# on the processor: twice as many run at once as there are cores.
ctest --output-on-failure -j"$(($(nproc) * 2))"
