#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the screenshots need, and those named as
# arguments. Does nothing when they are already installed.
# SQLCipher must be 4 or later: Debian 13 has it in main; on Debian 12 it comes from bookworm-backports,
# which is enabled here when missing, on the address of the system's own configured Debian archive.
set -euo pipefail

packages=(
    build-essential cmake pkg-config ninja-build clang-format clang-tidy
    qt6-base-dev qt6-base-dev-tools libqt6printsupport6 qt6-translations-l10n qt6-qpa-plugins
    libgl-dev libxkbcommon-dev
    libssl-dev
    libkainjow-mustache-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth x11-apps x11-utils xdotool openbox imagemagick poppler-utils fonts-dejavu-core fonts-dejavu-extra
)
packages+=("$@")
sqlcipher_packages=(libsqlcipher-dev sqlcipher)

installed_version() {
    { dpkg-query -W -f='${Status} ${Version}' "$1" 2>/dev/null || true; } | sed -n 's/^install ok installed //p'
}

missing=()
for p in "${packages[@]}"; do
    [ -n "$(installed_version "$p")" ] || missing+=("$p")
done
missing_sqlcipher=()
for p in "${sqlcipher_packages[@]}"; do
    version=$(installed_version "$p")
    if [ -z "$version" ] || dpkg --compare-versions "$version" lt 4; then missing_sqlcipher+=("$p"); fi
done

if [ ${#missing[@]} -eq 0 ] && [ ${#missing_sqlcipher[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
apt_install() { $SUDO apt-get install -y -qq --no-install-recommends "$@"; }

source "$(dirname "${BASH_SOURCE[0]}")/apt_sources.sh"

if [ ${#missing_sqlcipher[@]} -gt 0 ] && grep -qs '^VERSION_CODENAME=bookworm$' /etc/os-release; then
    if ! apt_entries | awk '{ for (i = 2; i <= NF; i++) if ($i == "bookworm-backports") found = 1 } END { exit !found }'; then
        # The entry of the system's archive that serves bookworm itself: its address (and key) serve backports too.
        entry=$(apt_entries | awk '{ for (i = 2; i <= NF; i++) if ($i == "bookworm") { print; exit } }')
        address=$(awk '{ print ($1 ~ /^signed-by=/) ? $2 : $1 }' <<<"$entry")
        if [ -z "$address" ]; then
            echo "No se encontró en las fuentes de apt la dirección del archivo de Debian para bookworm." >&2
            exit 1
        fi
        signed=$(awk '$1 ~ /^signed-by=/ { sub(/^signed-by=/, "", $1); print $1 }' <<<"$entry")
        echo "Habilitando bookworm-backports en $address"
        {
            echo "Types: deb"
            echo "URIs: $address"
            echo "Suites: bookworm-backports"
            echo "Components: main"
            [ -z "$signed" ] || echo "Signed-By: $signed"
        } | $SUDO tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
    fi
    for i in "${!missing_sqlcipher[@]}"; do missing_sqlcipher[i]+=/bookworm-backports; done
fi

echo "Instalando: ${missing[*]} ${missing_sqlcipher[*]}"
$SUDO apt-get update -qq
[ ${#missing[@]} -eq 0 ] || apt_install "${missing[@]}"
[ ${#missing_sqlcipher[@]} -eq 0 ] || apt_install "${missing_sqlcipher[@]}"
