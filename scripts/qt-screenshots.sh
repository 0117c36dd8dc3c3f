#!/usr/bin/env bash
# qt-screenshots.sh <varnak-screenshots> <directory>: the Qt dialog under Xvfb on the screens
# operators have, each with a 40-pixel task bar at the bottom (the work area the window
# manager would announce), into <directory>/<width>x<height>@<scale>/.
# VARNAK_REGISTRY names the demo setup's registry file. Without a window manager Qt reads the
# work area only when told to rely on it (QT_RELY_ON_NET_WORKAREA_ATOM), and Xvfb keeps the
# root window's properties past xprop only without resetting (-noreset).
set -euo pipefail
program=$1
out=$2
TaskBar=40
status=0
for screen in 1366x768@1 1366x768@1.25 1366x768@1.5 1366x768@2 1920x1080@1; do
    size=${screen%@*}
    scale=${screen#*@}
    width=${size%x*}
    height=${size#*x}
    mkdir -p "$out/$screen"
    echo "== $screen"
    QT_QPA_PLATFORM=xcb QT_RELY_ON_NET_WORKAREA_ATOM=1 QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 ${size}x24 -noreset" \
        sh -c 'xprop -root -f _NET_WORKAREA 32cccc -set _NET_WORKAREA "0, 0, $1, $2" && exec "$3" "$4"' \
        sh "$width" "$((height - TaskBar))" "$program" "$out/$screen" || status=1
done
exit $status
