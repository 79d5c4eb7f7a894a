#!/usr/bin/env bash
# Starts the built program under its own Xvfb, with a window manager, on a fresh copy of a delivered
# database, presses "Entrar" and checks that the registration screen opens; then, with the keyboard only,
# that the main menu opens centred and inside the screen with the keyboard on its first button, which Enter
# presses, and that the backup screen opens from it and gives the keyboard back. While another program reads
# the file, saving the registration keeps the window painted and fails within the lock wait. A second start on
# the same data says the program is running and ends; leaving through the menu's question ends with status 0;
# after a kill -9 the next start opens the welcome window. Leaves screenshots behind.
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
# Another program reads the file for 10 s while the registration is saved: the window repaints what a
# window passing over it uncovered, and the failure is told within the 5 s wait.
if [ \$found = 0 ]; then
    xdotool type --delay 30 "20123456786" && xdotool key Return && xdotool type --delay 30 "Banco" &&
        xdotool key Return && xdotool type --delay 30 "1234"
    ( printf "PRAGMA key='ferlon';\nPRAGMA cipher_compatibility = 3;\nBEGIN;\nSELECT count(*) FROM DDJJ;\n.shell sleep 10\nCOMMIT;\n" |
        sqlcipher ferlon.mdb >/dev/null 2>&1 ) &
    sleep 1
    import -window root -crop 150x40+240+262 "$work/antes.png"
    start=\$(date +%s)
    xdotool key alt+a
    sleep 0.5
    xclock -geometry 150x40+240+262 &
    sleep 1
    kill \$! && sleep 1
    import -window root -crop 150x40+240+262 "$work/despues.png"
    compare -metric AE "$work/antes.png" "$work/despues.png" null: 2>/dev/null ||
        { echo "la ventana no se repintó mientras esperaba" >&2; found=1; }
    active "Atención" && [ \$((\$(date +%s) - start)) -le 8 ] || { echo "sin mensaje a tiempo" >&2; found=1; }
    import -window root "$shots/registracion_esperando.png"
    xdotool key Return
    active "Registración" || found=1
fi
[ \$found = 0 ] && xdotool key alt+c && active "\$menu" || found=1
eval \$(xdotool getactivewindow getwindowgeometry --shell)
[ \$X -ge 0 ] && [ \$Y -ge 0 ] && [ \$((X + WIDTH)) -le 1024 ] && [ \$((Y + HEIGHT)) -le 768 ] ||
    { echo "el menú queda fuera de la pantalla: \$X,\$Y \${WIDTH}x\$HEIGHT" >&2; found=1; }
import -window root "$shots/menu.png"
[ \$found = 0 ] && xdotool key Return && active "Registración" && xdotool key alt+c && active "\$menu" || found=1
[ \$found = 0 ] && xdotool key alt+s && active "Copia de Seguridad" || found=1
import -window root "$shots/copia.png"
[ \$found = 0 ] && xdotool key alt+v && active "\$menu" || found=1
# A second start on the same data says so and ends, touching nothing.
./tolbrane &
second=\$!
[ \$found = 0 ] && active "Atención" || found=1
import -window root "$shots/segunda.png"
xdotool key Return
wait \$second || { echo "la segunda copia terminó con error" >&2; found=1; }
[ \$found = 0 ] && active "\$menu" && xdotool key alt+F4 && active "Atención" && xdotool key Return || found=1
wait \$pid || { echo "el programa terminó con el estado \$?" >&2; found=1; }
# A lock left by a killed program does not keep the next start from the welcome window.
shown() {
    for i in \$(seq 50); do xdotool search --onlyvisible --pid \$1 >/dev/null 2>&1 && return 0; sleep 0.2; done
    echo "el programa \$1 no muestra su ventana" >&2
    return 1
}
./tolbrane &
pid=\$!
[ \$found = 0 ] && shown \$pid && kill -9 \$pid || found=1
./tolbrane &
pid=\$!
[ \$found = 0 ] && shown \$pid && sleep 1 && ! xdotool search --name "^Atención\$" >/dev/null || found=1
import -window root "$shots/tras_kill.png"
kill \$pid 2>/dev/null
exit \$found
SESSION
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "openbox >/dev/null 2>&1 & sleep 1; bash '$work/session.sh'"
