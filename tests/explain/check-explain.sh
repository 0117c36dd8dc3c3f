#!/usr/bin/env bash
# check-explain.sh <golden dir> <command>...
# Runs varnak-explain, given as a command (the program, or "wine64 varnak-explain.exe"), on
# the worked examples in the golden directory: each output must be its golden file byte for
# byte, from standard input and from a FILE argument alike; the JSON must parse and the SVG
# must render without a complaint. The golden files say which formats there are (the
# extension is the flag; txt is the default's); explain_golden_tests holds them to the
# program's table. Bytes that are not a ticket must give status 1 with the
# reason on standard error only, a usage error and an unreadable file status 2.
set -uo pipefail
golden=$(cd "$1" && pwd)
shift
explain=()
for word in "$@"; do
    # Paths stay valid after the change into the golden directory.
    [ -e "$word" ] && word=$(cd "$(dirname "$word")" && pwd)/$(basename "$word")
    explain+=("$word")
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "check-explain: $*" >&2
    failures=$((failures + 1))
}

# status <expected> <what> <command>...: runs the command, standard output and error kept.
status() {
    local expected=$1 what=$2
    shift 2
    "$@" >"$work/out" 2>"$work/err"
    local actual=$?
    [ "$actual" -eq "$expected" ] || fail "$what: status $actual, expected $expected"
}

cd "$golden"
for ticket in *.prn; do
    name=${ticket%.prn}
    for expected in "$name".*; do
        format=${expected##*.}
        [ "$format" = prn ] && continue
        option=()
        [ "$format" = txt ] || option=("--$format")
        status 0 "$name $format" "${explain[@]}" "${option[@]}" <"$ticket"
        cmp -s "$work/out" "$name.$format" || { fail "$name.$format differs:"; diff "$name.$format" "$work/out" | head -20 >&2; }
        cp "$work/out" "$work/$name.$format"
        status 0 "$name $format from FILE" "${explain[@]}" "${option[@]}" "$ticket"
        cmp -s "$work/out" "$name.$format" || fail "$name.$format from FILE differs"
    done
    python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$work/$name.json" \
        || fail "$name.json is not JSON"
    rsvg-convert -o "$work/$name.png" "$work/$name.svg" 2>"$work/render" && [ ! -s "$work/render" ] \
        || fail "$name.svg does not render: $(cat "$work/render")"
done

head -c 70 document-example.prn >"$work/truncated.prn"
status 1 "a truncated ticket" "${explain[@]}" "$work/truncated.prn"
[ ! -s "$work/out" ] || fail "a truncated ticket printed on standard output"
grep -q "offset 69: expected .*, found \"F\" then end of file" "$work/err" || fail "a truncated ticket: $(cat "$work/err")"
status 2 "an unknown option" "${explain[@]}" --xml
status 2 "two formats" "${explain[@]}" --json --svg
status 2 "a missing file" "${explain[@]}" "$work/missing.prn"
status 0 "--help" "${explain[@]}" --help
[ "$(wc -l <"$work/out")" -le 24 ] || fail "--help does not fit on a screen"

[ "$failures" -eq 0 ] || { echo "check-explain: $failures failed" >&2; exit 1; }
echo "check-explain: all outputs as expected"
