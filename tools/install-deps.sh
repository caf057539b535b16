#!/usr/bin/env bash
# Installs everything needed to build, run and test Vellora on Debian 12.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qtbase5-dev qtbase5-dev-tools libqt5network5
    # The English translation is compiled with Qt's linguist tools; Qt's own dialogs use the
    # translations Debian ships.
    qttools5-dev qttools5-dev-tools qttranslations5-l10n
    libquazip1-qt5-dev zlib1g-dev libpng-dev libsodium-dev zip
    libcpp-httplib-dev libssl-dev libbrotli-dev
    fonts-noto-cjk
    xvfb xauth
    # The accessibility check reads the real window over AT-SPI, as a screen reader does.
    python3-pyatspi at-spi2-core dbus dbus-x11 x11-utils
    dpkg-dev file desktop-file-utils
    clang-format ccache
    # Picture types beyond JPG, PNG and BMP: Qt's image plugins (WebP, TIFF; HEIF, AVIF), libheif
    # for HEIF thumbnails, and the tools the tests and the benchmark make pictures with.
    qt5-image-formats-plugins kimageformat-plugins libheif-dev
    imagemagick libheif-examples heif-thumbnailer
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
