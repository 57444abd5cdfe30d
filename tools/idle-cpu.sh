#!/usr/bin/env bash
# Measures the processor time the program takes while it sits idle and
# disconnected: starts it without a display (offscreen) in a scratch folder,
# lets it settle, then reads its user and system time from /proc before and
# after the given number of seconds (default 60).
#
#   bash tools/idle-cpu.sh [seconds] [program]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
program="$(realpath "${2:-build/app/ryd-configurator}")"

scratch="$(mktemp -d)"
cd "$scratch"
XDG_CONFIG_HOME="$scratch" QT_QPA_PLATFORM=offscreen "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$scratch"' EXIT

# Fields 14 and 15 of /proc/PID/stat: user and system time in clock ticks.
# The command name (field 2) holds no spaces here, so a plain split works.
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }

sleep 5
start="$(ticks)"
sleep "$seconds"
end="$(ticks)"
hz="$(getconf CLK_TCK)"
awk -v t="$((end - start))" -v hz="$hz" -v s="$seconds" 'BEGIN {
    printf "%d ticks (%.2f s of processor time) in %d s: %.3f %% of a core\n", t, t / hz, s, 100 * t / hz / s
}'
