#!/usr/bin/env bash
# Run by tools/windows.sh --check: installs the setup silently in a fresh Wine
# prefix, checks what it put there, uninstalls it silently and checks that
# everything is gone again.
#   bash tools/windows-check.sh <build folder> <package name> <version>
set -euo pipefail
build=$1 name=$2 version=$3
export WINEPREFIX=$PWD/$build/wine-setup WINEDEBUG=-all
wine=/usr/lib/wine/wine64
rm -rf "$WINEPREFIX"
Xvfb :97 -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap '"${wine%/*}/wineserver" -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=:97
failures=0
fail() { echo "windows-check: $*" >&2; failures=1; }
query() { "$wine" reg query "$1" 2>/dev/null | tr -d '\r' | grep -v '^reg: ' || true; }
dir="$WINEPREFIX/drive_c/Program Files/Ryd Configurator"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ryd Configurator.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\RydConfigurator'

"$wine" "$build/$name-setup.exe" /S
"${wine%/*}/wineserver" -w
for file in ryd-configurator.exe ryd-cli.exe Qt5Core.dll Qt5SerialPort.dll platforms/qwindows.dll uninstall.exe; do
    [ -f "$dir/$file" ] || fail "not installed: $file"
done
[ -f "$menu" ] || fail "no Start-menu entry"
[ -d "$WINEPREFIX/drive_c/users/Public/Documents/Ryd Configurator" ] || fail "no working folder for the Start-menu entry"
registration=$(query "$uninstall_key")
for value in "DisplayName    REG_SZ    Ryd Configurator" "DisplayVersion    REG_SZ    $version" \
    "Publisher    REG_SZ    Morvell" "DisplayIcon" "EstimatedSize" "UninstallString"; do
    grep -qF "$value" <<<"$registration" || fail "uninstaller registration lacks $value"
done
query 'HKLM\Software\Classes\.ryd' | grep -q 'Morvell.RydConfigurator.Settings' || fail "no .ryd file type"
query 'HKLM\Software\Classes\Morvell.RydConfigurator.Settings\shell\open\command' \
    | grep -qF 'ryd-configurator.exe" "%1"' || fail ".ryd files do not open in the program"
echo "windows-check: installed silently under Program Files, registered, .ryd associated"

"$wine" "$dir/uninstall.exe" /S
"${wine%/*}/wineserver" -w
# The uninstaller runs on from a copy of itself in the temporary folder.
for _ in $(seq 30); do
    [ -z "$(query "$uninstall_key")" ] && [ ! -e "$dir" ] && break
    sleep 1
done
[ ! -e "$dir" ] || fail "left behind: $(cd "$dir" && find . | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the Start-menu entry is left"
[ -z "$(query "$uninstall_key")" ] || fail "the uninstaller registration is left"
[ -z "$(query 'HKLM\Software\Classes\.ryd')" ] || fail "the .ryd file type is left"
[ "$failures" = 0 ] || exit 1
echo "windows-check: uninstalled silently, nothing left"
