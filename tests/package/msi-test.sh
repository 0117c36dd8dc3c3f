#!/usr/bin/env bash
# msi-test.sh <wine64> <prefix> <varnak_package_tests.exe> <version> <next version>
#             (<packaging directory> <x64|x86>)...
# Checks each Windows Installer package from its own tables, since Wine enforces no rights on
# registry keys: the settings key it creates and the rights it grants there, row for row, and
# nothing of the companion program's. Then installs, uses, upgrades and uninstalls them under
# Wine in a fresh prefix of this test's own (varnak_package_tests.exe).
set -euo pipefail

wine="$1"
prefix="$2"
tests="$3"
version="$4"
next="$5"
shift 5
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"

failures=0
fail() {
    echo "msi-test: $*" >&2
    failures=$((failures + 1))
}

# A table's rows, without the three lines of column names, types and keys.
rows() {
    msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'
}

tab=$'\t'
key_row="SettingsKey${tab}2${tab}SOFTWARE\\quet\\sorb-userinterface${tab}+${tab}${tab}Program"
downgrade_row="NOT WIX_DOWNGRADE_DETECTED${tab}A newer version of Varnak is already installed."
rights_row="SettingsKey${tab}SettingsKey${tab}Registry${tab}D:(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;;0x2001f;;;BU)${tab}"

while [ $# -gt 0 ]; do
    directory="$1"
    arch="$2"
    shift 2
    package="$directory/varnak-$version-$arch.msi"
    export "VARNAK_MSI_${arch^^}=$package" "VARNAK_MSI_NEXT_${arch^^}=$directory/varnak-$next-$arch.msi"

    [ "$(rows "$package" Registry)" = "$key_row" ] ||
        fail "$arch: the Registry table is not the settings key alone: $(rows "$package" Registry)"
    [ "$(rows "$package" MsiLockPermissionsEx)" = "$rights_row" ] ||
        fail "$arch: the rights are not the expected ones: $(rows "$package" MsiLockPermissionsEx)"
    [ "$(rows "$package" LaunchCondition)" = "$downgrade_row" ] ||
        fail "$arch: downgrades are not refused: $(rows "$package" LaunchCondition)"
    # The classic table would replace the key's whole list of rights.
    if msiinfo tables "$package" | grep -qx LockPermissions; then
        fail "$arch: the package has a LockPermissions table"
    fi
    # msidbComponentAttributes64bit: the key goes to the 64-bit view.
    attributes="$(rows "$package" Component | awk -F '\t' '$1 == "Program" { print $4 }')"
    [ $((attributes & 256)) -eq "$([ "$arch" = x64 ] && echo 256 || echo 0)" ] ||
        fail "$arch: the component is not in the package's registry view ($attributes)"
done

export VARNAK_NEXT_VERSION="$next"
rm -rf "$prefix"
"$scripts/wine-display.sh" "$wine" "$prefix" "$tests" || fail "the packages under Wine failed"

[ "$failures" -eq 0 ] || exit 1
