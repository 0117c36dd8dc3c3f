#!/usr/bin/env bash
# no-test-code.sh linux <varnak> | windows <objdump> <varnak.exe>
# Fails when a shipped program carries test code. The Linux program must not load Qt's test
# module nor hold the user drivers; the Windows one must not import what only the Win32
# driver uses (input senders, the message-box hook) nor hold the hook's text.
set -euo pipefail

fail() {
    echo "no-test-code: $1" >&2
    exit 1
}

case "$1" in
linux)
    program="$2"
    libraries="$(ldd "$program")" || fail "ldd can't read $program"
    if grep -q 'libQt6Test' <<<"$libraries"; then
        fail "$program links Qt Test"
    fi
    symbols="$(nm -C "$program")" || fail "nm can't read $program"
    for name in 'toolkit::DialogDriver' 'toolkit::ScriptedBackend' 'QTest::'; do
        if grep -qF "$name" <<<"$symbols"; then
            fail "$program holds $name"
        fi
    done
    ;;
windows)
    objdump="$2"
    program="$3"
    imports="$("$objdump" -p "$program")" || fail "$objdump can't read $program"
    grep -q 'DLL Name: USER32.dll' <<<"$imports" || fail "no imports read from $program"
    for name in SendInput MapVirtualKeyW GetKeyboardState SetKeyboardState \
        SetWindowsHookExW UnhookWindowsHookEx CallNextHookEx; do
        if grep -qw "$name" <<<"$imports"; then
            fail "$program imports $name"
        fi
    done
    if grep -qaF '(no message box appeared)' "$program"; then
        fail "$program holds the message-box capture"
    fi
    ;;
*)
    fail "usage: no-test-code.sh linux <program> | windows <objdump> <program.exe>"
    ;;
esac
