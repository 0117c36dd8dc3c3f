#!/usr/bin/env bash
# endless-input.sh <varnak-explain>
# Endless input never hangs varnak-explain or fills memory (it runs with 600 MB of address
# space): bytes that no ticket has are refused at once with the offset, and input that looks
# like a ticket but never ends is refused at the most a ticket can hold. Status 1 each time.
set -uo pipefail
explain="$1"
opening=$'\x1b%-12345X@PJL ENTER LANGUAGE=ZOR\n[GLOBAL]\nZOR_COMMAND='
failures=0
# AddressSanitizer reserves terabytes of address space for itself: its builds run unlimited,
# and their own checks stand in for the limit.
limit=600000
# (Read ldd's whole answer: with pipefail, grep -q leaving early made the test fail at random.)
if [[ "$(ldd "$explain" 2>/dev/null)" == *libasan* ]]; then
    limit=unlimited
fi
check() { # <what> <expected message> <command...>
    local what="$1" expected="$2"
    shift 2
    local said status
    said="$( (ulimit -v "$limit"; "$@") 2>&1 >/dev/null)"
    status=$?
    if [ "$status" -ne 1 ] || [[ "$said" != *"$expected"* ]]; then
        echo "endless-input: $what: status $status, said: $said" >&2
        failures=$((failures + 1))
    fi
}
check "zeros" "/dev/zero is not a ticket: offset 0: expected ESC" "$explain" /dev/zero
check "yes" "standard input is not a ticket: offset 0:" sh -c 'yes | "$0"' "$explain"
check "an endless command string" "it is larger than 256 MiB" \
    sh -c '{ printf "%s" "$1"; yes C1I1; } | "$0"' "$explain" "$opening"
check "an endless envelope" "offset 54" \
    sh -c '{ printf "%s" "$1"; head -c 100000 /dev/zero; } | "$0"' "$explain" "$opening"
exit "$failures"
