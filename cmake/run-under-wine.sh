#!/usr/bin/env bash
# run-under-wine.sh <wine64> <prefix> <program.exe> [arguments...]
# Runs a Windows console program under wine64 in the given prefix, creating the prefix on
# first use without looking for Mono or Gecko (no network is needed), and waits for the
# prefix's wineserver to end so that nothing outlives the run.
set -euo pipefail

wine="$1"
export WINEPREFIX="$2"
shift 2
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY

wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver || true)"

status=0
"$wine" "$@" || status=$?
[ -n "$wineserver" ] && "$wineserver" -w || true
exit "$status"
