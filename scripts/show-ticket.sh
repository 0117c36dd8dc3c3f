#!/usr/bin/env bash
# Shows a ticket file readably: where it is, its size, and its bytes with ESC, CR and LF
# spelled out, one line of the file per line.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 <ticket file>" >&2; exit 2; }
ticket="$1"
if [ ! -e "$ticket" ]; then
    echo "No ticket was written to $ticket (the dialog was cancelled, or OK had no -R)."
    exit 0
fi
echo "Ticket: $ticket ($(wc -c <"$ticket") bytes)"
perl -pe 's/\x1b/<ESC>/g; s/\r/<CR>/g; s/\n/<LF>\n/g' "$ticket"
echo
