#!/usr/bin/env bash
# deb-package-test.sh <build directory> <version>
# Builds the Debian package and checks it without installing it: lintian finds no error and
# no warning; every program has its manual page, which renders without a warning; the user
# manual, copyright and changelog are there; no program links test code, and the package
# depends on no development package.
set -euo pipefail

build="$1"
version="$2"
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "deb-package-test: $*" >&2
    failures=$((failures + 1))
}

package="$("$scripts/make-deb.sh" "$build" "$work" "$version")"
lintian --fail-on error,warning "$package" || fail "lintian reports errors or warnings"

dpkg-deb -x "$package" "$work/root"
root="$work/root"
for file in usr/share/doc/varnak/manual.html usr/share/doc/varnak/copyright \
    usr/share/doc/varnak/changelog.gz usr/bin/varnak usr/bin/varnak-drive; do
    [ -f "$root/$file" ] || fail "$file is missing"
done
for program in "$root"/usr/bin/*; do
    name="$(basename "$program")"
    page="$root/usr/share/man/man1/$name.1.gz"
    if [ ! -f "$page" ]; then
        fail "$name has no manual page"
    elif ! warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)" ||
        [ -n "$warnings" ]; then
        fail "the manual page of $name does not render cleanly: $warnings"
    fi
    if readelf -d "$program" | grep -E 'NEEDED.*libQt6Test'; then
        fail "$name links Qt Test"
    fi
done
depends="$(dpkg-deb -f "$package" Depends)"
if grep -Eq -- '-dev\b|libqt6test' <<<"$depends"; then
    fail "the package depends on test or development packages: $depends"
fi

[ "$failures" -eq 0 ] || exit 1
echo "deb-package-test: $(basename "$package") is lintian-clean and complete"
