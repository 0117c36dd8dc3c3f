#!/usr/bin/env bash
# wine-display.sh <wine64> <prefix> <program.exe>... [-- <command>...]
# Runs Windows programs, one after the other and without arguments, under wine64 on a
# virtual display of their own: starts Xvfb on a free display number (Xvfb reports it once it
# accepts clients), runs the programs in the given Wine prefix, then the command after "--"
# (a script that starts Windows programs with arguments of its own) in the same prefix and on
# the same display, then ends the prefix's wineserver and the Xvfb it started. Fails when any
# program or the command fails.
# The screen is VARNAK_SCREEN pixels (1280x1024 unless set) at VARNAK_DPI (Wine's LogPixels,
# 96 unless set); the DPI is written into the prefix each time, so that a run never inherits
# the last one's.
set -euo pipefail
screen="${VARNAK_SCREEN:-1280x1024}"
dpi="${VARNAK_DPI:-96}"

wine="$1"
prefix="$2"
shift 2
programs=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    programs+=("$1")
    shift
done
[ $# -gt 0 ] && shift
command=("$@")

fifo="$(mktemp -u)"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -f "$fifo"' EXIT
# -displayfd writes the display number once the server accepts clients; the read blocks
# until then, and ends empty if Xvfb exits first.
display=""
read -r display <"$fifo" || true
[ -n "$display" ] || { echo "wine-display: Xvfb did not start" >&2; exit 1; }

export DISPLAY=":$display"
export WINEPREFIX="$prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export WINEARCH=win64

wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver || true)"

# Without a window manager, Wine waits a second for one on every window it hides, unless
# its windows are unmanaged.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1

status=0
for program in "${programs[@]}"; do
    "$wine" "$program" || status=1
done
if [ ${#command[@]} -gt 0 ]; then
    "${command[@]}" || status=1
fi
[ -n "$wineserver" ] && "$wineserver" -w || true
exit "$status"
