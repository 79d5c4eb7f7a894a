#!/usr/bin/env bash
# Starts the built program under its own Xvfb, with a window manager, on a fresh copy of a delivered
# database, presses "Entrar" and checks that the registration screen opens; then, with the keyboard only,
# that the main menu opens centred and inside the screen with the keyboard on its first button, which Enter
# presses, and that the backup screen opens from it and gives the keyboard back. Leaves screenshots behind.
set -euo pipefail
program=$1
tool=$2
shots=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$shots"
cp "$program" "$work/tolbrane"
"$tool" --desde 200201 --hasta 200212 "$work/ferlon.mdb" >/dev/null

cat > "$work/session.sh" <<SESSION
set -u
# A fresh system's language: the program speaks Spanish all the same.
export LANG=C.UTF-8
cd "$work"
./tolbrane &
pid=\$!
for i in \$(seq 50); do xdotool search --name "^\$" >/dev/null 2>&1 && break; sleep 0.2; done
sleep 1
import -window root "$shots/bienvenida.png"
xdotool key Return
found=1
for i in \$(seq 50); do
    if xdotool search --name "Registración" >/dev/null 2>&1; then found=0; break; fi
    sleep 0.2
done
sleep 1
import -window root "$shots/registracion.png"
# Waits up to ten seconds for the named window to be the active one.
active() {
    for i in \$(seq 50); do
        name=\$(xdotool getactivewindow getwindowname 2>/dev/null)
        [ "\$name" = "\$1" ] && return 0
        sleep 0.2
    done
    echo "se esperaba la ventana '\$1', activa: '\$name'" >&2
    return 1
}
menu=" TOLBRANE - Sistemas de Agentes de Recaudacion"
[ \$found = 0 ] && xdotool key alt+c && active "\$menu" || found=1
eval \$(xdotool getactivewindow getwindowgeometry --shell)
[ \$X -ge 0 ] && [ \$Y -ge 0 ] && [ \$((X + WIDTH)) -le 1024 ] && [ \$((Y + HEIGHT)) -le 768 ] ||
    { echo "el menú queda fuera de la pantalla: \$X,\$Y \${WIDTH}x\$HEIGHT" >&2; found=1; }
import -window root "$shots/menu.png"
[ \$found = 0 ] && xdotool key Return && active "Registración" && xdotool key alt+c && active "\$menu" || found=1
[ \$found = 0 ] && xdotool key alt+s && active "Copia de Seguridad" || found=1
import -window root "$shots/copia.png"
[ \$found = 0 ] && xdotool key alt+v && active "\$menu" || found=1
kill \$pid 2>/dev/null
exit \$found
SESSION
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "openbox >/dev/null 2>&1 & sleep 1; bash '$work/session.sh'"
