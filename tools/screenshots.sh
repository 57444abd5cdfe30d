#!/usr/bin/env bash
# Takes the README's screenshots on a 1366x768 virtual screen (Xvfb with the
# openbox window manager), the program driven by the keyboard against the
# device emulator: at start, maximized with a radio test running, with
# "Freeze Protection" open, a tooltip, and after "Freeze Protection" was
# closed again; then the window in a Russian locale at start and with a
# failure prompt. Writes docs/screenshots/*.png and prints the window's
# geometry at start, with the panel open and after it was closed.
#
# Needs: apt-get install -y xvfb openbox xdotool wmctrl imagemagick
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/docs/screenshots
mkdir -p "$out"

cmake -S . -B build -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" --target ryd-configurator ryd-emulator >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export DISPLAY=:${SCREENSHOT_DISPLAY:-98}
Xvfb "$DISPLAY" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

mkfifo "$work/port"
./build/emulator/ryd-emulator --present 1,2,3,5 >"$work/port" &
pids+=($!)
read -r port <"$work/port"

# Its own working directory and settings store: nothing of the developer's.
(cd "$work" && XDG_CONFIG_HOME=$work/config exec "$root/build/app/ryd-configurator" --port "$port") &
pids+=($!)
for _ in $(seq 50); do
    window=$(xdotool search --name 'Конфигуратор' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.2
done
xdotool windowactivate --sync "$window"
sleep 1

shot() { sleep "$2"; import -window root "$out/$1.png"; }
keys() { xdotool key --delay 60 "$@"; }
repeat() { local n=$1; shift; for _ in $(seq "$n"); do keys "$@"; done; }

geometry() { echo "$1: $(xdotool getwindowgeometry "$window" | tail -n +2 | tr -s ' \n' ' ')"; }

shot start 0.5
geometry start

# Tab to "Connect" and press Return; then on to the address rows: tick rows 1
# to 6, tick row 7 and give it address 1, which row 1 holds already.
keys Tab Return
sleep 2
repeat 22 Tab
keys space
repeat 5 Tab Tab space
keys Tab Tab space Tab ctrl+a 1
# Back to "TEST" and start the test.
repeat 16 shift+Tab
keys Return
sleep 9

wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
shot maximized 2
wmctrl -i -r "$window" -b remove,maximized_vert,maximized_horz
sleep 1

# From "TEST" back to the "Freeze Protection" key and open the panel.
repeat 12 shift+Tab
keys Return
shot freeze-protection 2
geometry "freeze protection open"

# The pointer rests on the "57600 bps" button of "Serial Data Rate".
xdotool mousemove --window "$window" 640 209
shot tooltip 2.5

# The key still has the focus: close the panel again.
xdotool mousemove --window "$window" 5 5
keys Return
shot freeze-protection-closed 2
geometry "freeze protection closed"

# The window in a Russian locale on an emulator of its own, which is stopped
# before "Connect" so that the module's version goes unanswered and the
# failure prompt asks whether to go on.
kill "${pids[-1]}"
mkfifo "$work/ru-port"
./build/emulator/ryd-emulator >"$work/ru-port" &
pids+=($!)
emulator=$!
read -r port <"$work/ru-port"
(cd "$work" && LANG=ru_RU.UTF-8 LANGUAGE= LC_ALL= LC_MESSAGES= XDG_CONFIG_HOME=$work/config \
    exec "$root/build/app/ryd-configurator" --port "$port") &
pids+=($!)
sleep 3
window=$(xdotool search --name 'v\.1\.1\.14' | tail -1)
xdotool windowactivate --sync "$window"
shot ru-start 1
kill -STOP "$emulator"
keys Tab Return
shot ru-failure-prompt 8
kill -CONT "$emulator"
keys Escape

# Two settings that differ from the device's. A site's file is made with
# ryd-cli from a device given another power and delay; a device at its
# factory settings is then connected with the file opened at start. After
# "Connect" the window offers the file again (Return takes "Yes") and marks
# the two settings that WRITE would change; the pointer rests on one of them.
kill "${pids[-1]}"
mkfifo "$work/site-port"
./build/emulator/ryd-emulator >"$work/site-port" &
pids+=($!)
read -r port <"$work/site-port"
./build/cli/ryd-cli read --port "$port" --output "$work/device.ryd" >/dev/null
./build/cli/ryd-cli write --port "$port" "$work/device.ryd" --set "Power=3" --set "Delay Tx-Rx=5" >/dev/null
./build/cli/ryd-cli read --port "$port" --output "$work/site.ryd" >/dev/null
kill "${pids[-1]}"
mkfifo "$work/changed-port"
./build/emulator/ryd-emulator >"$work/changed-port" &
pids+=($!)
read -r port <"$work/changed-port"
(cd "$work" && XDG_CONFIG_HOME=$work/config exec "$root/build/app/ryd-configurator" --port "$port" \
    "$work/site.ryd") &
pids+=($!)
sleep 3
window=$(xdotool search --name 'v\.1\.1\.14' | tail -1)
xdotool windowactivate --sync "$window"
keys Tab Return
sleep 3
keys Return
sleep 1
xdotool mousemove --window "$window" 470 424
shot changed 2.5
