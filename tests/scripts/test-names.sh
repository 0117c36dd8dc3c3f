#!/usr/bin/env bash
# test-names.sh <build directory>
# Every CTest name can be given to `ctest -R` as it stands and says what the case is: letters,
# digits, underscores, dots and slashes only, and no case known only by its number.
set -euo pipefail
names="$(ctest --test-dir "$1" -N | sed -n 's/^ *Test *#[0-9]*: //p')"
[ -n "$names" ] || { echo "no tests listed" >&2; exit 1; }
status=0
if bad="$(grep -vE '^[A-Za-z0-9_./]+$' <<<"$names")"; then
    echo "names with other characters:" >&2
    printf '%s\n' "$bad" >&2
    status=1
fi
if bad="$(grep -E '/(case)?[0-9]+(/|$)' <<<"$names")"; then
    echo "cases known only by their number:" >&2
    printf '%s\n' "$bad" >&2
    status=1
fi
exit "$status"
