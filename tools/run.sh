#!/usr/bin/env bash
# Installs what is missing, builds the program and the device emulator, starts
# the emulator on a pseudo-terminal and opens the program on it, so that the
# program can be tried without a device. The emulator stops with the program.
#
# Extra arguments go to the program, e.g. --port /dev/ttyUSB0 for a real
# adapter beside the emulator.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh
ryd_install_missing

cmake -S . -B build -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)" --target ryd-configurator ryd-emulator

# Remote addresses 1, 2, 3 and 5 answer the radio test; the other rows of the
# test panel stay unanswered and turn red.
fifo=$(mktemp -u)
mkfifo "$fifo"
./build/emulator/ryd-emulator --present 1,2,3,5 >"$fifo" &
emulator=$!
trap 'kill "$emulator" 2>/dev/null; wait "$emulator" 2>/dev/null; rm -f "$fifo"' EXIT
read -r port <"$fifo"
echo "Device emulator serving on $port"

./build/app/ryd-configurator --port "$port" "$@"
