# Sourced by the run and test scripts: installs the Debian packages the build
# needs, only when one of them is missing.
ryd_packages=(cmake make g++ qtbase5-dev libqt5serialport5-dev fonts-dejavu-core)
# For a build against Qt 6 (-DRYD_QT_VERSION=6). On Debian 12 qt6-base-dev
# brings the GL headers and the platform plugins that Qt6Gui needs with it.
ryd_qt6_packages=(qt6-base-dev qt6-serialport-dev)

ryd_install_missing() {
    local missing=()
    for package in "${ryd_packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
    fi
}
