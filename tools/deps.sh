# Sourced by the run and test scripts: installs the Debian packages the build
# needs, only when one of them is missing.
# Qt's Linguist tools compile the translations; Qt's own catalogues
# translate its dialogs and message box keys.
ryd_packages=(cmake make g++ qtbase5-dev libqt5serialport5-dev qttools5-dev qttools5-dev-tools
              qttranslations5-l10n fonts-dejavu-core)
# For a build against Qt 6 (-DRYD_QT_VERSION=6). On Debian 12 qt6-base-dev
# brings the GL headers and the platform plugins that Qt6Gui needs with it.
ryd_qt6_packages=(qt6-base-dev qt6-serialport-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
                  qt6-translations-l10n)

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
