#!/usr/bin/env bash
# make-msi.sh <x64|x86> <version> <output.msi> <program.exe>...
# Builds the Windows Installer package of the given programs and the user manual with wixl
# (packaging/msi/varnak.wxs), then adds with msibuild what wixl has no element for: the
# settings key, created on install and kept on uninstall, and the rights of the local Users
# group on it.
set -euo pipefail

if [ $# -lt 4 ]; then
    echo "usage: make-msi.sh <x64|x86> <version> <output.msi> <program.exe>..." >&2
    exit 2
fi
arch="$1"
version="$2"
out="$3"
shift 3
source_dir="$(cd "$(dirname "$0")/.." && pwd)"

# Each architecture is a product of its own: a site installs the one its product family needs.
case "$arch" in
x64) upgrade_code=1A654C33-2131-4749-BED4-E7F4F91EACEF folder=ProgramFiles64Folder win64=yes ;;
x86) upgrade_code=B8E2314A-3C58-4F34-9D55-CCEC68FB5C6D folder=ProgramFilesFolder win64=no ;;
*) echo "make-msi: unknown architecture $arch" >&2; exit 2 ;;
esac

# Users may query and set values, with the rest of the mask the program opens the key with
# (0x2001F); Administrators and SYSTEM keep full control. The DACL is not protected, so
# what the key inherits from SOFTWARE stays as it is.
settings_rights='D:(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;;0x2001f;;;BU)'

# A name-based product code: the same version of the same package is the same product, so
# installing it again repairs instead of adding a second entry.
name_uuid() {
    local hash
    hash="$(printf '%s' "$1" | sha1sum)"
    printf '%s-%s-5%s-%x%s-%s' "${hash:0:8}" "${hash:8:4}" "${hash:13:3}" \
        $(((0x${hash:16:1} & 3) | 8)) "${hash:17:3}" "${hash:20:12}" | tr a-f A-F
}

staging="$(mktemp -d)"
trap 'rm -rf "$staging"' EXIT
cp "$source_dir/docs/manual.html" "$staging/"
{
    echo '<Include xmlns="http://schemas.microsoft.com/wix/2006/wi">'
    for program in "$@"; do
        name="$(basename "$program")"
        cp "$program" "$staging/$name"
        printf '  <File Id="%s" Source="%s"/>\n' "${name//-/_}" "$name"
    done
    echo '</Include>'
} >"$staging/programs.wxi"

mkdir -p "$(dirname "$out")"
out="$(realpath "$out")"
# wixl takes the files' names relative to the current directory.
cd "$staging"
wixl --arch "$arch" --output "$out" \
    -D "Version=$version" -D "UpgradeCode={$upgrade_code}" \
    -D "ProductCode={$(name_uuid "$upgrade_code $version")}" \
    -D "ProgramFilesFolder=$folder" -D "Win64=$win64" \
    "$source_dir/packaging/msi/varnak.wxs"

# Name "+": the key is created if absent and left in place on uninstall, with its values.
msibuild "$out" \
    -q "INSERT INTO \`Registry\` (\`Registry\`, \`Root\`, \`Key\`, \`Name\`, \`Component_\`)
        VALUES ('SettingsKey', 2, 'SOFTWARE\\quet\\sorb-userinterface', '+', 'Program')" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`)
        VALUES ('RemoveRegistryValues', 2600)" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`)
        VALUES ('WriteRegistryValues', 5000)" \
    -q "CREATE TABLE \`MsiLockPermissionsEx\` (\`MsiLockPermissionsEx\` CHAR(72) NOT NULL,
        \`LockObject\` CHAR(72) NOT NULL, \`Table\` CHAR(32) NOT NULL,
        \`SDDLText\` LONGCHAR NOT NULL, \`Condition\` CHAR(255)
        PRIMARY KEY \`MsiLockPermissionsEx\`)" \
    -q "INSERT INTO \`MsiLockPermissionsEx\`
        (\`MsiLockPermissionsEx\`, \`LockObject\`, \`Table\`, \`SDDLText\`)
        VALUES ('SettingsKey', 'SettingsKey', 'Registry', '$settings_rights')"
echo "$out"
