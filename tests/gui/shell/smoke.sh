#!/usr/bin/env bash
# Starts the built program under its own Xvfb on a fresh copy of a delivered database, presses
# "Entrar" and checks that the registration screen opens; leaves screenshots behind.
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
kill \$pid 2>/dev/null
exit \$found
SESSION
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/session.sh"
