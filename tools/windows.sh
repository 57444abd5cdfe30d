#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows in build-windows/ and makes its
# two forms there:
#   ryd-configurator-<version>-win64-setup.exe   the NSIS installer
#   ryd-configurator-<version>-win64.zip         the portable folder
# Installs what is missing (MinGW-w64, Wine, NSIS) and provides the Windows
# Qt in a cache outside the build folders (tools/windows-qt.sh).
#
#   bash tools/windows.sh           builds both
#   bash tools/windows.sh --check   also installs the setup silently in a
#                                   fresh Wine prefix, checks the files, the
#                                   Start-menu entry, the .ryd type and the
#                                   uninstaller's registration, and
#                                   uninstalls it silently again
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
case "${1:-}" in
"") ;;
--check) check=1 ;;
*)
    echo "usage: bash tools/windows.sh [--check]" >&2
    exit 2
    ;;
esac
source tools/windows-qt.sh
ryd_windows_prepare

build=build-windows
cmake -S . -B "$build" "${ryd_cmake_windows[@]}" -DBUILD_TESTING=OFF
cmake --build "$build" -j"$(nproc)" --target ryd-configurator ryd-cli

version=$(sed -n 's/^project(RydConfigurator VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=ryd-configurator-$version-win64
stage=$build/$name
rm -rf "$stage" "$build/$name.zip" "$build/$name-setup.exe"
mkdir -p "$stage/platforms" "$stage/styles"

# The programs, the Qt they link and the plugins Qt loads: the Windows
# platform, and the Vista style for the file dialogs' native look when the
# operator asks for it with -style windowsvista (the program draws Fusion).
cp "$build/app/ryd-configurator.exe" "$build/cli/ryd-cli.exe" "$stage/"
for dll in Qt5Core Qt5Gui Qt5Widgets Qt5SerialPort; do
    cp "$ryd_qt/bin/$dll.dll" "$stage/"
done
cp "$ryd_qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$ryd_qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
mingw_runtime=(/usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll
               /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libgcc_s_seh-1.dll
               /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)
cp "${mingw_runtime[@]}" "$stage/"
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll

# Qt's own texts (the Yes and No keys, the file dialog) in Russian; the
# program's own catalogue is embedded in it, as on Linux.
mkdir -p "$stage/translations"
for qm in qtbase_ru.qm; do
    if [ -f "/usr/share/qt5/translations/$qm" ]; then
        cp "/usr/share/qt5/translations/$qm" "$stage/translations/"
    fi
done
cp packaging/windows/ryd-configurator.ico "$stage/"
cp packaging/windows/README.txt "$stage/README.txt"
cp packaging/windows/LICENSE.txt "$stage/LICENSE.txt"
mkdir -p "$stage/licenses"
cp /usr/share/common-licenses/LGPL-3 "$stage/licenses/Qt-LGPL-3.txt"
cp /usr/share/common-licenses/GPL-3 "$stage/licenses/Qt-GPL-3.txt"
cp packaging/windows/qtserialport-wine.patch "$stage/licenses/"
sed -i 's/$/\r/' "$stage/README.txt" "$stage/LICENSE.txt" "$stage"/licenses/*.txt

# Every DLL an executable or plugin imports is a Windows system DLL or is
# in the folder: read from the PE import tables.
declare -A system_dll
for dll in advapi32 authz comctl32 comdlg32 crypt32 d2d1 d3d11 d3d9 dwmapi dwrite dxgi gdi32 imm32 kernel32 \
    mpr msvcrt netapi32 ntdll ole32 oleaut32 setupapi shell32 shlwapi user32 userenv uxtheme version winmm \
    winspool ws2_32 wtsapi32; do
    system_dll[$dll]=1
done
missing=0
while IFS= read -r file; do
    while IFS= read -r dll; do
        lower=$(echo "$dll" | tr 'A-Z' 'a-z')
        case "$lower" in api-ms-win-*) continue ;; esac
        base=${lower%.dll}
        [ -n "${system_dll[${base%.drv}]:-}" ] && continue
        if ! find "$stage" -maxdepth 1 -iname "$dll" | grep -q .; then
            echo "windows: ${file#"$stage"/} imports $dll, which is neither in the package nor a system DLL" >&2
            missing=1
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$stage" -iname '*.exe' -o -iname '*.dll')
[ "$missing" = 0 ] || exit 1
echo "windows: every imported DLL is a Windows system DLL or in the package"

# ryd-configurator.exe a GUI program, ryd-cli.exe a console one.
subsystem() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^Subsystem\s*[0-9a-f]*\s*//p'; }
[[ "$(subsystem "$stage/ryd-configurator.exe")" == *"Windows GUI"* ]] || { echo "windows: the program is not a GUI program" >&2; exit 1; }
[[ "$(subsystem "$stage/ryd-cli.exe")" == *"Windows CUI"* ]] || { echo "windows: ryd-cli is not a console program" >&2; exit 1; }

(cd "$build" && zip -qr9 "$name.zip" "$name")

# The installer's file lists, from the folder itself.
{
    (cd "$stage" && find . -type d ! -name . | sort) | while IFS= read -r dir; do
        echo "CreateDirectory \"\$INSTDIR\\${dir#./}\""
    done | sed 's#/#\\#g'
    (cd "$stage" && find . -type f | sort) | while IFS= read -r file; do
        win=${file#./}
        win=${win//\//\\}
        echo "File \"/oname=$win\" \"$PWD/$stage/${file#./}\""
    done
} >"$build/installer-files.nsh"
{
    (cd "$stage" && find . -type f | sort) | while IFS= read -r file; do
        win=${file#./}
        echo "Delete \"\$INSTDIR\\${win//\//\\}\""
    done
    (cd "$stage" && find . -type d ! -name . | sort -r) | while IFS= read -r dir; do
        echo "RMDir \"\$INSTDIR\\${dir#./}\"" | sed 's#/#\\#g'
    done
} >"$build/uninstaller-files.nsh"
size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DSIZE_KB="$size_kb" \
    -DOUTFILE="$PWD/$build/$name-setup.exe" packaging/windows/installer.nsi

echo "windows: $build/$name-setup.exe ($(du -k "$build/$name-setup.exe" | cut -f1) KiB)"
echo "windows: $build/$name.zip ($(du -k "$build/$name.zip" | cut -f1) KiB)"
[ "$check" = 1 ] || exit 0
exec bash tools/windows-check.sh "$build" "$name" "$version"
