#!/usr/bin/env bash
# make-deb.sh <build directory> <output directory> <version>
# Builds varnak_<version>_<architecture>.deb from what `cmake --install` installs from the
# build directory under /usr: every program in bin/, every manual page, the user manual.
# The run-time dependencies come from the programs' libraries (dpkg-shlibdeps). A version
# other than the changelog's latest gets a changelog entry of its own, for test packages.
set -euo pipefail

build="$(realpath "$1")"
out="$2"
version="$3"
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
debian="$source_dir/packaging/deb"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Laid out as in a source tree, as dpkg-shlibdeps expects a package's files.
root="$work/debian/varnak"
umask 022

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root"/usr/bin/*

doc="$root/usr/share/doc/varnak"
install -d "$doc"
install -m 0644 "$debian/copyright" "$doc/copyright"
latest="$(dpkg-parsechangelog -l "$debian/changelog" -S Version)"
maintainer="$(dpkg-parsechangelog -l "$debian/changelog" -S Maintainer)"
{
    if [ "$version" != "$latest" ]; then
        printf 'varnak (%s) stable; urgency=medium\n\n' "$version"
        printf '  * Built as version %s from the sources of %s.\n\n' "$version" "$latest"
        printf ' -- %s  %s\n\n' "$maintainer" "$(date -R)"
    fi
    cat "$debian/changelog"
} | gzip -9n >"$doc/changelog.gz"
gzip -9n "$root"/usr/share/man/man*/*
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root"/usr/bin/*

install -d "$root/DEBIAN"
printf 'Source: varnak\n\nPackage: varnak\nArchitecture: any\n' >"$work/debian/control"
shlibs="$(cd "$work" && dpkg-shlibdeps -O debian/varnak/usr/bin/*)"
depends="${shlibs#shlibs:Depends=}, adduser"
architecture="$(dpkg --print-architecture)"

sed -e "s|@VERSION@|$version|" -e "s|@ARCHITECTURE@|$architecture|" \
    -e "s|@MAINTAINER@|$maintainer|" -e "s|@DEPENDS@|$depends|" \
    -e "s|@INSTALLED_SIZE@|$(du -sk --exclude=DEBIAN "$root" | cut -f1)|" \
    "$debian/control" >"$root/DEBIAN/control"
install -m 0755 "$debian/postinst" "$debian/postrm" "$root/DEBIAN/"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

# Every file dated as the latest changelog entry, so that the same sources give the same
# package.
find "$root" -exec touch --no-dereference --date="@$(zcat "$doc/changelog.gz" |
    dpkg-parsechangelog -l - -S Timestamp)" {} +

mkdir -p "$out"
package="$out/varnak_${version}_${architecture}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$package" >/dev/null
echo "$package"
