#!/usr/bin/env bash
# deb-install-test.sh <build directory> <version> <next version>
# Installs the Debian package on this machine as an administrator does and proves what it
# promises: the shared registry it creates, a member of the group varnak who keeps the
# choices of a whole job through the installed varnak-drive while the file keeps its group
# and mode, another user who starts from the built-in values and saves nothing, the manual
# pages where man finds them, an upgrade that keeps every stored value, and a purge that
# leaves the machine as it was. Needs root; restores the machine also when it fails.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: the Debian package's install test: installing a package and creating users" \
        "needs root (CI runs as root)"
    exit 77
fi

build="$1"
version="$2"
next="$3"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
example="$source_dir/tests/acceptance/document-page-example"
state=/var/lib/varnak
registry="$state/registry.reg"
member="varnakpkg-member-$$"
other="varnakpkg-other-$$"

# The package, its group and its directory belong to the machine: one run at a time.
mkdir -p /run/lock
exec 9>/run/lock/varnak-deb-install-test.lock
flock --timeout 900 9

installed() {
    case "$(dpkg-query -W -f='${db:Status-Status}' varnak 2>/dev/null)" in
    "" | not-installed) return 1 ;;
    *) return 0 ;;
    esac
}
if installed || getent group varnak >/dev/null || [ -e "$state" ]; then
    echo "deb-install-test: this machine already has the package varnak, its group or" \
        "$state, which the test would remove" >&2
    exit 1
fi

work="$(mktemp -d)"
cleanup() {
    for user in "$member" "$other"; do
        if id "$user" >/dev/null 2>&1; then
            userdel "$user"
        fi
    done
    if installed; then
        dpkg --purge varnak >/dev/null || true
    fi
    if getent group varnak >/dev/null; then
        groupdel varnak
    fi
    rm -rf "$state" "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

failures=0
fail() {
    echo "deb-install-test: $*" >&2
    failures=$((failures + 1))
}
expect() {
    local what="$1" actual="$2" expected="$3"
    [ "$actual" = "$expected" ] || fail "$what: '$actual', expected '$expected'"
}

scripts="$source_dir/scripts"
"$scripts/make-deb.sh" "$build" "$work/packages" "$version" >/dev/null
"$scripts/make-deb.sh" "$build" "$work/packages" "$next" >/dev/null
arch="$(dpkg --print-architecture)"

dpkg -i "$work/packages/varnak_${version}_${arch}.deb" >/dev/null
expect "the registry directory" "$(stat -c '%U:%G %a' "$state")" "root:varnak 2775"
expect "the registry file" "$(stat -c '%U:%G %a %s' "$registry")" "root:varnak 664 0"
expect "the lock file" "$(stat -c '%U:%G %a' "$registry.lock")" "root:varnak 660"

# The administrator points Varnak at the companion program's overlays and adds an operator.
chmod 0755 "$work"
cp -r "$example/overlays" "$example/script" "$work/"
chmod -R a+rX "$work/overlays" "$work/script"
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\quet\\quetprint]\r\n"WorkingDirectory"="%s"\r\n' \
    "$work/overlays" >"$registry"
for user in "$member" "$other"; do
    useradd --no-create-home --no-user-group --gid nogroup --shell /usr/sbin/nologin "$user"
    install -d -o "$user" -g nogroup "$work/$user"
done
adduser --quiet "$member" varnak

# The acceptance run of the document-page example, as the user, in a directory of the user's.
run_job() {
    (cd "$work/$1" && setpriv --reuid="$1" --regid=nogroup --init-groups -- \
        env -i PATH=/usr/bin:/bin /usr/bin/varnak-drive "$work/script")
}

before="$(cat "$registry")"
other_output="$(run_job "$other")"
cmp -s "$work/$other/job.prn" "$example/expected-files/job.prn" ||
    fail "the other user's ticket is not the worked example's"
expect "the registry after the other user's job" "$(cat "$registry")" "$before"
# The second run starts from the built-in values again: on Chapter Printing, with one copy.
expect "the other user's runs" "$other_output" "$(sed '/^end ok$/q' "$example/expected-output")
1037 edit enabled=0 text=\"1\"
refused 22: no control 1047 is shown
refused 23: no control 1043 is shown
refused 24: no control 1046 is shown
refused 25: no control 1039 is shown
1 button enabled=0 checked=0
end cancel"

member_output="$(run_job "$member")"
expect "the member's runs" "$member_output" "$(cat "$example/expected-output")"
cmp -s "$work/$member/job.prn" "$example/expected-files/job.prn" ||
    fail "the member's ticket is not the worked example's"
grep -q '"NumberOfCopies"=dword:00000002' "$registry" || fail "the member's choices were not saved"
expect "the registry file after the member's save" "$(stat -c '%G %a' "$registry")" "varnak 664"
saved="$(cat "$registry")"

for page in varnak varnak-drive; do
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$(man -w "$page")" 2>&1 >/dev/null)" || fail "man can't render $page(1)"
    expect "warnings of $page(1)" "$warnings" ""
done

dpkg -i "$work/packages/varnak_${next}_${arch}.deb" >/dev/null
expect "the version after the upgrade" "$(dpkg-query -W -f='${Version}' varnak)" "$next"
expect "the registry after the upgrade" "$(cat "$registry")" "$saved"
expect "the registry directory after the upgrade" "$(stat -c '%U:%G %a' "$state")" \
    "root:varnak 2775"

dpkg --remove varnak >/dev/null
expect "the registry after removing the package" "$(cat "$registry")" "$saved"

for user in "$member" "$other"; do
    userdel "$user"
done
dpkg --purge varnak >/dev/null
installed && fail "the package is still known after the purge"
getent group varnak >/dev/null && fail "the group varnak is still there after the purge"
[ -e "$state" ] && fail "$state is still there after the purge"
for user in "$member" "$other"; do
    id "$user" >/dev/null 2>&1 && fail "the user $user is still there"
done

[ "$failures" -eq 0 ] || exit 1
echo "deb-install-test: installed, used by two users, upgraded, removed and purged"
