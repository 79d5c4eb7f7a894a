#!/usr/bin/env bash
# Builds the Debian package and checks it as an operator meets it: lintian and desktop-file-validate,
# then the package unpacked into a read-only root and its program started there by an ordinary user
# under Xvfb with a window manager: the welcome window opens, "Entrar" connects (the main menu
# appears), and the delivered database has been copied into that user's data folder.
# Then the same on Debian 13: a root made with debootstrap from the system's configured Debian archive, the
# package installed there with apt-get, the program started from /usr/bin by an ordinary user.
# Run as root: it installs what it needs and creates the user tolbrane-check when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh lintian desktop-file-utils dpkg-dev file x11-utils appstream debootstrap
source scripts/apt_sources.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel 2 --target package
deb=$(ls -t build/tolbrane_*_amd64.deb | head -1)
echo "== Paquete: $deb"
dpkg-deb --field "$deb" Package Version Section Maintainer Depends

echo "== lintian --pedantic"
lintian --pedantic --info --fail-on error,warning,info,pedantic "$deb" || { echo "lintian informó problemas"; exit 1; }
echo "== desktop-file-validate, appstreamcli validate"
desktop-file-validate packaging/tolbrane.desktop && echo "tolbrane.desktop: válido"
appstreamcli validate --pedantic --no-net packaging/tolbrane.metainfo.xml

root=$(mktemp -d /tmp/tolbrane-root.XXXXXX)
work=$(mktemp -d /tmp/tolbrane-check.XXXXXX)
trap 'chmod -R u+w "$root"; rm -rf "$root" "$work"; [ -z "${trixie:-}" ] || remove_trixie' EXIT
dpkg -x "$deb" "$root"
chmod 755 "$root" "$work"
chmod -R a-w "$root"

user=tolbrane-check
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/bash "$user"
home=$(getent passwd "$user" | cut -d: -f6)
data="$home/.local/share/TOLBRANE"
rm -rf "$data"

# Run by the user inside the virtual display: the program, then its windows as xdotool sees them.
cat >"$work/drive.sh" <<'DRIVE'
#!/usr/bin/env bash
set -u
program=$1
wait_for() { for _ in $(seq 150); do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done; return 1; }
visible() { xdotool search --onlyvisible "$@" | head -1 | grep -q .; }
# The main menu exists once connected; on a fresh database the registration box covers it at first.
exists() { xdotool search "$@" | head -1 | grep -q .; }
openbox >/dev/null 2>&1 &
sleep 1
"$program" >"$HOME/tolbrane-check.log" 2>&1 &
pid=$!
status=0
if wait_for visible --pid "$pid"; then
    echo "Ventana de bienvenida abierta"
else
    echo "FALLA: no se abrió la ventana de bienvenida"; status=1
fi
if [ $status -eq 0 ] && exists --name "Sistemas de Agentes"; then
    echo "FALLA: el menú principal apareció antes de Entrar"; status=1
fi
if [ $status -eq 0 ]; then
    window=$(xdotool search --onlyvisible --pid "$pid" | head -1)
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    xdotool key --window "$window" Return   # "Entrar" is the welcome window's default button
    if wait_for exists --name "Sistemas de Agentes de Recaudacion"; then
        echo "Entrar conectó: menú principal «$(xdotool getwindowname "$(xdotool search --name 'Sistemas de Agentes' | head -1)")»"
        xwininfo -root -tree | grep '("tolbrane"' || true
    else
        echo "FALLA: después de Entrar no apareció el menú principal"; status=1
        xwininfo -root -tree | grep -i tolbrane || true
    fi
fi
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
exit $status
DRIVE
chmod 755 "$work/drive.sh"

echo "== El programa desempaquetado en $root (solo lectura), como $user"
status=0
runuser -u "$user" -- env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$work/drive.sh" "$root/opt/tolbrane/tolbrane" || status=1

if [ -s "$data/ferlon.mdb" ] && [ ! -e "$root/opt/tolbrane/Errores.txt" ]; then
    echo "Base de datos copiada a la carpeta de datos del usuario: $(ls -l "$data/ferlon.mdb")"
else
    echo "FALLA: no está $data/ferlon.mdb"; status=1
fi

echo "== Debian 13"
archive=$(debian_archive)
[ -n "$archive" ] || { echo "FALLA: las fuentes de apt no dicen la dirección del archivo de Debian"; exit 1; }
trixie=$(mktemp -d /var/tmp/tolbrane-trixie.XXXXXX)
chmod 755 "$trixie" # the root of the system its ordinary user starts the program in
remove_trixie() {
    for mount in dev/pts dev proc; do umount "$trixie/$mount" 2>/dev/null || true; done
    rm -rf --one-file-system "$trixie"
}
echo "debootstrap trixie desde $archive"
debootstrap --variant=minbase trixie "$trixie" "$archive" >"$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log"; echo "FALLA: debootstrap"; exit 1; }
mount -t proc proc "$trixie/proc"
mount --bind /dev "$trixie/dev"
mount --bind /dev/pts "$trixie/dev/pts"
cp /etc/resolv.conf "$trixie/etc/resolv.conf"
cp "$deb" "$work/drive.sh" "$trixie/tmp/"
in_trixie() { chroot "$trixie" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"; }
in_trixie apt-get update -qq
in_trixie apt-get install -y -qq "./tmp/$(basename "$deb")" >"$work/apt.log" 2>&1 ||
    { tail -20 "$work/apt.log"; echo "FALLA: apt-get install del paquete"; exit 1; }
in_trixie apt-get install -y -qq --no-install-recommends xvfb xauth xdotool openbox x11-utils >>"$work/apt.log" 2>&1
echo "Instalado: $(in_trixie dpkg-query -W -f='${Package} ${Version}' tolbrane) en $(cat "$trixie/etc/debian_version")," \
    "con $(in_trixie dpkg-query -W -f='${Package} ${Version}' libsqlcipher1)"
in_trixie useradd --create-home --shell /bin/bash "$user"
in_trixie runuser -u "$user" -- env -i HOME="/home/$user" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    xvfb-run -a -s "-screen 0 1280x1024x24" /tmp/drive.sh /usr/bin/tolbrane || status=1
if [ -s "$trixie/home/$user/.local/share/TOLBRANE/ferlon.mdb" ]; then
    echo "Base de datos copiada a la carpeta de datos del usuario:" \
        "$(in_trixie ls -l "/home/$user/.local/share/TOLBRANE/ferlon.mdb")"
else
    echo "FALLA: no está la base de datos en la carpeta de datos del usuario"; status=1
fi

[ $status -eq 0 ] && echo "== El paquete pasó la revisión." || echo "== El paquete NO pasó la revisión."
exit $status
