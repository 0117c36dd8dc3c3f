#!/usr/bin/env bash
# Sets up the demo in a directory of its own, so that runs never change the checkout:
#   examples/install-demo.sh <target directory>
# copies the overlay directory to <target>/overlays and writes <target>/registry.reg, whose
# companion key points WorkingDirectory at that copy. Start the program with
# VARNAK_REGISTRY=<target>/registry.reg. An existing registry.reg is kept (it holds the
# settings of earlier demo runs) unless --fresh is given.
set -euo pipefail

fresh=0
if [ "${1:-}" = "--fresh" ]; then
    fresh=1
    shift
fi
[ $# -eq 1 ] || { echo "usage: $0 [--fresh] <target directory>" >&2; exit 2; }

here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$1"
target="$(cd "$1" && pwd)"

rm -rf "$target/overlays"
cp -R "$here/overlays" "$target/overlays"

registry="$target/registry.reg"
if [ "$fresh" -eq 1 ] || [ ! -e "$registry" ]; then
    # A .reg string escapes backslashes and double quotes.
    escaped="$(printf '%s' "$target/overlays" | sed -e 's/[\\"]/\\&/g' | sed -e 's/[\\&|]/\\&/g')"
    sed "s|@OVERLAY_DIRECTORY@|$escaped|" "$here/registry.reg.in" >"$registry"
fi
echo "$registry"
