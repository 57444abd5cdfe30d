#!/usr/bin/env bash
# Installs what is missing, builds the program and the device emulator in
# build/ and makes the Debian package build/ryd-configurator_<version>_<arch>.deb.
# Its dependencies are read from the binaries, so it installs on a system
# with the Qt the build used.
#
#   bash tools/package.sh           builds the package
#   bash tools/package.sh --check   also installs into a temporary prefix and
#                                   checks what lands there (the files, the
#                                   desktop entry, the AppStream data, the
#                                   *.ryd file type, the program itself), then
#                                   lists the package's control data and files
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/deps.sh

check=0
case "${1:-}" in
"") ;;
--check) check=1 ;;
*)
    echo "usage: bash tools/package.sh [--check]" >&2
    exit 2
    ;;
esac

tools=(dpkg-dev)
if [ "$check" = 1 ]; then
    tools+=(desktop-file-utils appstream shared-mime-info)
fi
ryd_install_missing "${tools[@]}"

cmake -S . -B build -DBUILD_TESTING=OFF
cmake --build build -j"$(nproc)"
rm -f build/ryd-configurator_*.deb
(cd build && cpack -G DEB)
deb="$(ls build/ryd-configurator_*.deb)"
echo "Package: $deb"
[ "$check" = 1 ] || exit 0

fail() {
    echo "package check failed: $*" >&2
    exit 1
}

id=com.morvell.RydConfigurator
version="$(sed -n 's/^project(RydConfigurator VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

echo "== cmake --install build --prefix $prefix"
cmake --install build --prefix "$prefix" >/dev/null
expected=(
    bin/ryd-cli
    bin/ryd-configurator
    bin/ryd-emulator
    share/applications/$id.desktop
    share/icons/hicolor/scalable/apps/$id.svg
    share/metainfo/$id.metainfo.xml
    share/mime/packages/$id.xml
    share/man/man1/ryd-cli.1.gz
    share/man/man1/ryd-configurator.1.gz
)
installed="$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)"
echo "$installed"
diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$installed") \
    || fail "the installed files differ from the expected ones (< expected, > installed)"
for program in ryd-cli ryd-configurator ryd-emulator; do
    [ -x "$prefix/bin/$program" ] || fail "$program is not executable"
done

echo "== desktop-file-validate"
desktop="$prefix/share/applications/$id.desktop"
report="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
echo "ok"

echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" \
    || fail "appstreamcli validate"

# The validators look at one file each; what ties the files together is
# checked here: the entry shows the installed icon, opens the type that the
# MIME package defines and passes the file on; the type covers *.ryd.
echo "== the files agree"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -qx 'Exec=ryd-configurator %f' "$desktop" || fail "the desktop entry does not pass the file on"
mime_type="$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$prefix/share/mime/packages/$id.xml")"
[ -n "$mime_type" ] || fail "no type in the MIME package"
grep -qx "MimeType=$mime_type;" "$desktop" || fail "the desktop entry does not open $mime_type"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" \
    || fail "the AppStream data does not launch $id.desktop"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" \
    || fail "the AppStream data does not name release $version"
update-mime-database "$prefix/share/mime" 2>/dev/null
grep -qx "50:$mime_type:\*.ryd" "$prefix/share/mime/globs2" || fail "*.ryd is not $mime_type"
echo "ok: $mime_type for *.ryd, icon $id, release $version"

echo "== the installed program"
answer="$(cd "$prefix" && QT_QPA_PLATFORM=offscreen "$prefix/bin/ryd-configurator" --version)"
[ "$answer" = "ryd-configurator $version" ] || fail "--version answered: $answer"
echo "ok: $answer"
answer="$("$prefix/bin/ryd-cli" --version)"
[ "$answer" = "ryd-cli $version" ] || fail "ryd-cli --version answered: $answer"
# The script's program runs on a box without a display.
if ldd "$prefix/bin/ryd-cli" | grep -Eq 'libQt[0-9]*(Gui|Widgets)'; then
    fail "ryd-cli links Qt Gui or Widgets"
fi
echo "ok: $answer, without Qt Gui or Widgets"
for page in ryd-cli ryd-configurator; do
    zcat "$prefix/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} 1 " || fail "the manual page of $page has no title"
done
echo "ok: manual pages of ryd-cli and ryd-configurator"

echo "== dpkg-deb -I $deb"
dpkg-deb -I "$deb"
depends="$(dpkg-deb -f "$deb" Depends)"
[[ "$depends" == *libqt*serialport* && "$depends" == *libc6* ]] \
    || fail "the dependencies were not read from the binaries: $depends"
echo "== dpkg-deb -c $deb"
dpkg-deb -c "$deb"
listed="$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\/usr\//, "", $6); print $6 }' | sort)"
diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$listed") \
    || fail "the package's files differ from the installed ones (< expected, > packaged)"
echo "package check passed"
