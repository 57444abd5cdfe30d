# Sourced by the run and test scripts: installs the Debian packages the build
# needs, only when one of them is missing.
ryd_packages=(cmake make g++ qtbase5-dev libqt5serialport5-dev fonts-dejavu-core)

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
