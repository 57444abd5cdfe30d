# Sourced by tools/windows.sh and tools/test.sh --windows: installs the
# cross-compiler, Wine and NSIS when missing, and provides the Windows Qt
# (qtbase and Qt Serial Port 5.15.8, as DLLs) in a cache outside the build
# folders, made once and reused:
#   - qtbase from ../shared/third-party/qt-5.15.8-win64-qtbase.tar.xz when it
#     is there (checked against its SHA256SUMS), otherwise built from
#     Debian's source package qtbase-opensource-src (about 20 minutes on two
#     cores);
#   - Qt Serial Port from qtserialport-everywhere-src-5.15.8.tar.xz beside
#     it, with packaging/windows/qtserialport-wine.patch applied.
# Sets ryd_qt to the Qt folder and ryd_cmake_windows to the CMake options of a
# cross-build against it.
source tools/deps.sh

ryd_qt_version=5.15.8
ryd_third_party=${RYD_THIRD_PARTY:-$(cd .. && pwd)/shared/third-party}
ryd_windows_cache=${RYD_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ryd-windows}
ryd_qt=$ryd_windows_cache/qt-$ryd_qt_version-win64
ryd_serialport_patch=$PWD/packaging/windows/qtserialport-wine.patch
ryd_windows_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 nsis xvfb zip unzip)

ryd_windows_log() { echo "windows: $*" >&2; }

# qtbase from Debian's source package, configured as the archive was.
ryd_build_qtbase_from_source() {
    local work=$ryd_windows_cache/qtbase-src
    if ! grep -rqs '^Types:.*deb-src\|^deb-src .*bookworm' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        ryd_windows_log "adding a deb-src entry for bookworm"
        cat >/etc/apt/sources.list.d/ryd-bookworm-src.sources <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
        apt-get update
    fi
    ryd_install_missing dpkg-dev perl python3
    rm -rf "$work"
    mkdir -p "$work"
    (cd "$work" && apt-get source --download-only qtbase-opensource-src \
        && dpkg-source --no-check -x qtbase-opensource-src_*.dsc qtbase)
    ryd_windows_log "building qtbase $ryd_qt_version for Windows from Debian's source (about 20 minutes)"
    (
        cd "$work/qtbase"
        ./configure -opensource -confirm-license -xplatform win32-g++ \
            -device-option CROSS_COMPILE=x86_64-w64-mingw32- -prefix "$ryd_qt.partial" -release -shared \
            -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -no-feature-tabletevent \
            -no-sql-sqlite -no-sql-odbc -no-sql-psql -no-sql-mysql -qt-zlib -qt-pcre -qt-libpng \
            -qt-libjpeg -qt-freetype -qt-harfbuzz -no-openssl -no-pch -no-feature-network
        make -j"$(nproc)"
        make install
    )
    # Relocatable as the archive is: the tools find the rest relative to bin/.
    printf '[Paths]\nPrefix=..\n' >"$ryd_qt.partial/bin/qt.conf"
    cp "$work/qtbase/bin/syncqt.pl" "$ryd_qt.partial/bin/" 2>/dev/null || true
    rm -rf "$ryd_qt.partial/doc" "$work"
}

ryd_unpack_qtbase() {
    local archive=$ryd_third_party/qt-$ryd_qt_version-win64-qtbase.tar.xz
    (cd "$ryd_third_party" && grep " qt-$ryd_qt_version-win64-qtbase.tar.xz\$" SHA256SUMS | sha256sum -c --quiet -) \
        || { ryd_windows_log "$archive does not match its checksum"; return 1; }
    ryd_windows_log "unpacking $archive"
    local tmp
    tmp=$(mktemp -d "$ryd_windows_cache/unpack.XXXXXX")
    tar -xJf "$archive" -C "$tmp"
    mv "$tmp/qt-$ryd_qt_version-win64" "$ryd_qt.partial"
    rmdir "$tmp"
}

# Qt Serial Port into the Qt folder; again whenever the patch changes.
ryd_build_serialport() {
    local archive=$ryd_third_party/qtserialport-everywhere-src-$ryd_qt_version.tar.xz
    local stamp=$ryd_qt/.serialport-$(sha256sum "$ryd_serialport_patch" | cut -c1-16)
    [ -f "$stamp" ] && return 0
    (cd "$ryd_third_party" && grep " ${archive##*/}\$" SHA256SUMS | sha256sum -c --quiet -) \
        || { ryd_windows_log "$archive is missing or does not match its checksum"; return 1; }
    ryd_windows_log "building Qt Serial Port $ryd_qt_version with ${ryd_serialport_patch##*/}"
    local work=$ryd_windows_cache/serialport-src
    rm -rf "$work" "$ryd_qt"/.serialport-*
    mkdir -p "$work"
    tar -xJf "$archive" -C "$work" --strip-components=1
    (
        cd "$work"
        patch -p1 --forward <"$ryd_serialport_patch"
        # A git export lacks the forwarding headers a release tarball has.
        perl "$ryd_qt/bin/syncqt.pl" -module QtSerialPort -version "$ryd_qt_version" -outdir "$PWD" "$PWD"
        "$ryd_qt/bin/qmake"
        make -j"$(nproc)"
        make install
    ) >"$ryd_windows_cache/serialport-build.log" 2>&1 \
        || { tail -30 "$ryd_windows_cache/serialport-build.log"; return 1; }
    rm -rf "$work"
    touch "$stamp"
}

ryd_windows_prepare() {
    ryd_install_missing "${ryd_windows_packages[@]}" patch "$@"
    mkdir -p "$ryd_windows_cache"
    if [ ! -f "$ryd_qt/bin/Qt5Core.dll" ]; then
        rm -rf "$ryd_qt.partial"
        if [ -f "$ryd_third_party/qt-$ryd_qt_version-win64-qtbase.tar.xz" ] && [ -z "${RYD_QT_FROM_SOURCE:-}" ]; then
            ryd_unpack_qtbase
        else
            ryd_build_qtbase_from_source
        fi
        mv "$ryd_qt.partial" "$ryd_qt"
    fi
    ryd_build_serialport
    ryd_cmake_windows=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$ryd_qt"
                       -DCMAKE_BUILD_TYPE=Release
                       # lrelease and lupdate are the build machine's own.
                       -DQt5LinguistTools_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools)
}
