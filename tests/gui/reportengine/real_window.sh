#!/usr/bin/env bash
# Runs tests of a test binary in real X windows: their own Xvfb server with a window manager, where
# modality, activation and stacking are the window system's, not the offscreen stand-in's.
set -euo pipefail
binary=$1
filter=$2
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    openbox >/dev/null 2>&1 &
    # The window manager is ready once it names itself on the root window; on a loaded machine that
    # may take several seconds, and a window shown before it would be placed by it afterwards.
    for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    QT_QPA_PLATFORM=xcb "$0" --gtest_filter="$1"' "$binary" "$filter"
