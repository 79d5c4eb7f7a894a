#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the screenshots need, and those named as
# arguments. Does nothing when they are already installed.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ninja-build clang-format
    qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-translations-l10n qt6-qpa-plugins
    libgl-dev libxkbcommon-dev
    libsqlcipher-dev sqlcipher libssl-dev
    libkainjow-mustache-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth x11-apps xdotool openbox imagemagick poppler-utils fonts-dejavu-core
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Instalando: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
