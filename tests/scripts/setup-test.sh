#!/usr/bin/env bash
# setup-test.sh <source directory>
# Runs scripts/setup.sh against a stub archive: apt-get, dpkg, dpkg-query and sudo on PATH that
# keep the installed packages in a file. The archive's update fails for one index every time and
# it refuses the packages named in REFUSE. Proves that setup carries on past the broken index,
# records why an optional package is missing for the suites that need it, stops with the
# package and apt's reason when a required one is refused, and does nothing when all is there.
set -euo pipefail
source_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
stubs="$work/bin"
mkdir -p "$stubs"
export STUB_STATE="$work/state"
mkdir -p "$STUB_STATE"

cat >"$stubs/dpkg-query" <<'STUB'
#!/usr/bin/env bash
package="${!#}"
grep -qx -- "$package" "$STUB_STATE/installed" 2>/dev/null || exit 1
printf 'install ok installed'
STUB
cat >"$stubs/dpkg" <<'STUB'
#!/usr/bin/env bash
case "$1" in
    --print-foreign-architectures) cat "$STUB_STATE/architectures" 2>/dev/null || true ;;
    --add-architecture) echo "$2" >>"$STUB_STATE/architectures" ;;
esac
STUB
cat >"$stubs/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "$*" >>"$STUB_STATE/apt-calls"
command="" simulate=0 packages=()
while [ $# -gt 0 ]; do
    case "$1" in
        -o) shift ;;
        -s) simulate=1 ;;
        -*) ;;
        update|install) command="$1" ;;
        *) packages+=("$1") ;;
    esac
    shift
done
if [ "$command" = update ]; then
    echo "E: Failed to fetch http://deb.example/dists/stable/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100
fi
for package in "${packages[@]}"; do
    if grep -qx -- "$package" <<<"${REFUSE:-}"; then
        echo "The following packages have unmet dependencies:"
        echo " $package : Depends: libold:i386 (>= 2) but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
    fi
done
[ "$simulate" -eq 1 ] || printf '%s\n' "${packages[@]}" >>"$STUB_STATE/installed"
STUB
printf '#!/usr/bin/env bash\nexec "$@"\n' >"$stubs/sudo"
chmod +x "$stubs"/*

failures=0
check() { # <description> <condition...>
    local description="$1"
    shift
    if ! "$@"; then
        echo "FAIL: $description" >&2
        failures=$((failures + 1))
    fi
}
setup() { # <profile>; output in $work/out, status in $status
    status=0
    PATH="$stubs:$PATH" VARNAK_SETUP_RETRY_DELAY=0 \
        "$source_dir/scripts/setup.sh" "$1" "$work/build" >"$work/out" 2>&1 || status=$?
}
calls() { grep -c "$1" "$STUB_STATE/apt-calls" 2>/dev/null || true; }

# A broken index and a refused optional package: everything required is installed, the reason
# is kept, and the 32-bit suites say why they are skipped.
REFUSE="wine32:i386" setup test
check "setup goes on past a broken index and a refused optional package" test "$status" -eq 0
check "the update is tried three times" test "$(calls '^-q .* update$')" -eq 3
check "every required package is installed" grep -qx wine64 "$STUB_STATE/installed"
check "i386 is added for wine32" grep -qx i386 "$STUB_STATE/architectures"
check "the broken index is named" grep -q 'binary-i386/Packages.xz' "$work/build/setup/wine32.skipped"
line="$("$source_dir/scripts/skip-suites.sh" "the 32-bit Windows suites" wine32 "$work/build/setup")" \
    && skip_status=0 || skip_status=$?
check "the skipped suites end with CTest's skip status" test "$skip_status" -eq 77
check "the skipped line gives apt's reason: $line" grep -q \
    '^skipped: the 32-bit Windows suites: wine32 could not be installed: unmet dependencies: wine32:i386 : Depends: libold:i386 (>= 2) but it is not going to be installed; Unable to correct problems, you have held broken packages; ' \
    <<<"$line"

# All there: nothing is asked of the archive, and a reason that no longer holds is dropped.
echo "wine32:i386" >>"$STUB_STATE/installed"
: >"$STUB_STATE/apt-calls"
setup test
check "nothing to do when all is installed" test "$status" -eq 0 -a "$(calls .)" -eq 0
check "the reason goes once wine32 is installed" test ! -e "$work/build/setup/wine32.skipped"

# A required package refused: setup stops with the package and apt's reason.
grep -vx wixl "$STUB_STATE/installed" >"$work/kept" && mv "$work/kept" "$STUB_STATE/installed"
REFUSE="wixl" setup test
check "a refused required package stops setup" test "$status" -ne 0
check "the message names the package and apt's reason: $(cat "$work/out")" grep -qx \
    'setup: wixl could not be installed: unmet dependencies: wixl : Depends: libold:i386 (>= 2) but it is not going to be installed; Unable to correct problems, you have held broken packages' \
    "$work/out"

# make run installs only what the program needs: no test tools, no i386.
rm -f "$STUB_STATE/installed" "$STUB_STATE/architectures"
setup run
check "the program's packages are installed" grep -qx qt6-base-dev "$STUB_STATE/installed"
check "make run installs no test tools" test "$(grep -c -e wine -e gtest "$STUB_STATE/installed")" -eq 0
check "make run adds no architecture" test ! -e "$STUB_STATE/architectures"

[ "$failures" -eq 0 ] && echo "setup-test: all cases passed"
exit "$failures"
