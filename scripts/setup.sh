#!/usr/bin/env bash
# scripts/setup.sh run|test [<state directory>]
# Installs from Debian's archive what a command needs and this machine lacks, as root directly
# or through sudo; does nothing when all is there.
#   run   what builds the program and shows it (make run)
#   test  everything the tests use (make test, and the packaging and Windows targets)
# A required package that can't be installed stops setup with the package and apt's reason.
# An optional one (only some suites need it) never stops anything: its reason is written to
# <state directory>/<package>.skipped, which the suites that need it report when they are
# skipped, and removed again once the package is installed.
set -euo pipefail

run_packages=(cmake ninja-build g++ make qt6-base-dev libcups2-dev)
test_packages=("${run_packages[@]}"
               libgtest-dev libbenchmark-dev
               clang libclang-rt-14-dev clang-tidy cppcheck
               dpkg-dev lintian man-db wixl msitools
               g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 xvfb
               xauth x11-utils librsvg2-bin python3
               cups-daemon cups-client cups
               at-spi2-core python3-pyatspi dbus-x11)
# package:suites that are skipped without it
test_optional=("wine32:i386:the 32-bit Windows suites")

# How often `apt-get update` is tried, and the seconds between tries.
update_tries="${VARNAK_SETUP_UPDATE_TRIES:-3}"
retry_delay="${VARNAK_SETUP_RETRY_DELAY:-10}"

case "${1:-}" in
    run)  required=("${run_packages[@]}"); optional=() ;;
    test) required=("${test_packages[@]}"); optional=("${test_optional[@]}") ;;
    *)    echo "usage: $0 run|test [<state directory>]" >&2; exit 2 ;;
esac
state="${2:-build}/setup"

say() { echo "setup: $*"; }

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# wine32:i386 -> wine32
plain_name() { echo "${1%%:*}"; }

# apt's reason for not installing one package, on one line, as a dry run shows it (no root
# needed): its error, the first unmet dependencies and how many more there are.
apt_reason() {
    local out errors unmet count
    if out="$(LC_ALL=C apt-get install -s -q --no-install-recommends "$1" 2>&1)"; then
        return 1
    fi
    errors="$(printf '%s\n' "$out" | sed -n 's/^E: \(.*[^.]\)\.*$/\1/p' | paste -sd '|' | sed 's/|/; /g')"
    unmet="$(printf '%s\n' "$out" | grep -E '^ +[^ ]+ : ' | sed -E 's/^ +//; s/ +/ /g')" || true
    count="$(printf '%s' "$unmet" | grep -c . || true)"
    if [ "$count" -gt 0 ]; then
        unmet="unmet dependencies: $(printf '%s\n' "$unmet" | head -2 | paste -sd '|' \
                | sed 's/|/; /g')"
        [ "$count" -gt 2 ] && unmet+=" (and $((count - 2)) more)"
        errors="$unmet${errors:+; $errors}"
    fi
    echo "${errors:-apt-get install failed}"
}

missing_required=()
for package in "${required[@]}"; do
    installed "$package" || missing_required+=("$package")
done
# An optional package that could not be installed within the last hour is not tried again
# before then, so that a broken archive doesn't slow every command (delete its .skipped file
# to try at once).
missing_optional=()
for entry in ${optional[@]+"${optional[@]}"}; do
    package="${entry%:*}"
    skipped="$state/$(plain_name "$package").skipped"
    if installed "$package"; then
        rm -f "$skipped"
    elif [ -n "$(find "$skipped" -mmin -60 2>/dev/null)" ]; then
        say "$(plain_name "$package") could not be installed lately, not retried: $skipped"
    else
        missing_optional+=("$entry")
    fi
done
[ ${#missing_required[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && exit 0

# Records why an optional package is missing, for the suites that need it.
skip_optional() {
    local package="$1" suites="$2" reason="$3"
    mkdir -p "$state"
    printf '%s\n' "$reason" >"$state/$(plain_name "$package").skipped"
    say "$(plain_name "$package") could not be installed: $reason"
    say "  $suites will be skipped"
}

if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
elif [ ${#missing_required[@]} -gt 0 ]; then
    echo "setup: need root or sudo to install: ${missing_required[*]}" >&2
    exit 1
else
    for entry in "${missing_optional[@]}"; do
        skip_optional "${entry%:*}" "${entry##*:}" "installing needs root or sudo"
    done
    exit 0
fi
export DEBIAN_FRONTEND=noninteractive
apt=("${as_root[@]}" apt-get -q -o DPkg::Lock::Timeout=300)

# wine32 comes from Debian's i386 architecture.
for entry in ${missing_optional[@]+"${missing_optional[@]}"}; do
    if [[ "${entry%:*}" == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${as_root[@]}" dpkg --add-architecture i386
    fi
done

# The archive may serve a broken index for a while (a mirror being synced). Try again, then go
# on: an index of an architecture or component that nothing here needs is no reason to stop,
# and a package that needs it fails below with apt's own reason.
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
stale_lists=""
for ((try = 1; ; try++)); do
    say "updating the package lists (try $try of $update_tries)"
    if LC_ALL=C "${apt[@]}" update >"$log" 2>&1; then
        break
    fi
    if [ "$try" -ge "$update_tries" ]; then
        say "some package lists could not be updated; going on with what there is:"
        grep -E '^(E|W): ' "$log" | sed 's/^/setup:   /' || true
        stale_lists="$(sed -nE 's/^E: Failed to fetch ([^ ]+) +(.*)$/\1 (\2)/p' "$log" \
                       | paste -sd '|' | sed 's/|/; /g')"
        break
    fi
    sleep "$retry_delay"
done

if [ ${#missing_required[@]} -gt 0 ]; then
    say "installing ${missing_required[*]}"
    if ! LC_ALL=C "${apt[@]}" install -y --no-install-recommends "${missing_required[@]}" \
            2>&1 | tee "$log"; then
        failed=0
        for package in "${missing_required[@]}"; do
            installed "$package" && continue
            if reason="$(apt_reason "$package")"; then
                echo "setup: $package could not be installed: $reason" >&2
                failed=1
            fi
        done
        if [ "$failed" -eq 0 ]; then
            echo "setup: the installation failed: $(grep -E '^E: ' "$log" | sed 's/^E: //' \
                  | paste -sd '|' | sed 's/|/; /g')" >&2
        fi
        exit 1
    fi
fi

for entry in ${missing_optional[@]+"${missing_optional[@]}"}; do
    package="${entry%:*}"
    suites="${entry##*:}"
    say "installing $package (optional: $suites)"
    if LC_ALL=C "${apt[@]}" install -y --no-install-recommends "$package" >"$log" 2>&1; then
        rm -f "$state/$(plain_name "$package").skipped"
        continue
    fi
    reason="$(apt_reason "$package")" ||
        reason="$(grep -E '^E: ' "$log" | sed 's/^E: //' | paste -sd '|' | sed 's/|/; /g')"
    # A list that could not be fetched is the likely cause: say which.
    [ -n "$stale_lists" ] && reason+="; the package lists were incomplete: $stale_lists"
    skip_optional "$package" "$suites" "${reason:-apt-get install failed}"
done
