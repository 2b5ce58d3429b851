#!/bin/bash
# Checks the Debian package CPack built: its control data (name, version, architecture, the
# dependencies, each a Debian package this system knows, and every shared library the program
# needs provided by one of them) and its file list (the program, its read-only data, the desktop
# entry and its icon), that the desktop entry starts the packaged program with its icon, and that
# its post-installation script makes the department's folder (group velmarok, mode 2775).
# Usage: check_package.sh PACKAGE_DIR VERSION
set -u
dir=$1
version=$2
fail=0
no() { echo "FAIL: $*"; fail=1; }

deb=$(ls "$dir"/velmarok_*_amd64.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || { echo "FAIL: no package in $dir"; exit 1; }
echo "package: $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmarok ] || no "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || no "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = amd64 ] || no "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] || no "no Maintainer"
[ -n "$(field Description)" ] || no "no Description"

# The dependency names, without versions and alternatives.
depends=$(field Depends | tr ',' '\n' | sed 's/(.*)//; s/|.*//; s/ //g' | grep -v '^$')
echo "depends: $(echo $depends)"
for p in $depends; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        no "dependency $p is not a package of this system"
done
for p in qt6-qpa-plugins libqt6webenginecore6-bin fonts-dejavu-core; do
    echo "$depends" | grep -qx "$p" || no "dependency $p missing (the program cannot start without it)"
done
for p in qt6-translations-l10n adduser; do
    echo "$depends" | grep -qx "$p" || no "dependency $p missing (Polish dialogs, the department's group)"
done

# The files.
listing=$(dpkg-deb -c "$deb")
list=$(echo "$listing" | awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }')
for f in ./usr/bin/velmarok ./usr/share/applications/velmarok.desktop \
         ./usr/share/icons/hicolor/scalable/apps/velmarok.svg ./usr/share/velmarok/help/tyrvenhold.html \
         "./usr/share/velmarok/Importuj/CZYTAJ TO !!!.htm"; do
    echo "$list" | grep -qxF "$f" || no "file $f missing"
done
echo "$listing" | grep -q '^-rwxr-xr-x .* \./usr/bin/velmarok$' || no "the program is not executable"

# The files themselves.
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
desktop=$tree/usr/share/applications/velmarok.desktop
entry() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
[ "$(sed -n 1p "$desktop")" = "[Desktop Entry]" ] || no "desktop entry lacks its group"
[ "$(entry Type)" = Application ] || no "desktop entry Type is '$(entry Type)'"
[ "$(entry Name)" = "Velmarok Polskich Norm" ] || no "desktop entry Name is '$(entry Name)'"
exec=$(entry Exec)
[ -x "$tree/usr/bin/${exec%% *}" ] || no "desktop entry Exec '$exec' is not the packaged program"
icon=$(entry Icon)
ls "$tree"/usr/share/icons/hicolor/*/apps/"$icon".* >/dev/null 2>&1 || no "desktop entry Icon '$icon' not packaged"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || no "desktop-file-validate refuses the entry"
fi

# The post-installation script, run on a scratch copy of the folder with the commands that would
# change the system replaced by ones that write down how they were called.
dpkg-deb -e "$deb" "$tree/DEBIAN"
postinst=$tree/DEBIAN/postinst
if [ ! -x "$postinst" ]; then
    no "no executable postinst"
else
    mkdir -p "$tree/stubs"
    for c in getent addgroup install; do
        printf '#!/bin/sh\necho "%s $*" >> "%s/calls"\n[ %s != getent ]\n' "$c" "$tree" "$c" > "$tree/stubs/$c"
        chmod +x "$tree/stubs/$c"
    done
    sed "s|/var/lib/velmarok|$tree/var/lib/velmarok|g" "$postinst" > "$tree/postinst"
    PATH="$tree/stubs:$PATH" sh "$tree/postinst" configure || no "postinst configure fails"
    expected="getent group velmarok
addgroup --system velmarok
install -d -o root -g velmarok -m 2775 $tree/var/lib/velmarok"
    [ "$(cat "$tree/calls" 2>/dev/null)" = "$expected" ] ||
        no "postinst does not make the department's folder: $(cat "$tree/calls" 2>/dev/null)"
fi

# Every library the program needs comes from a declared dependency (libc6 brings the C library).
for lib in $(readelf -d "$tree/usr/bin/velmarok" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
    # The library of this architecture, as the dynamic linker finds it.
    path=$(ldconfig -p | sed -n "s|^[[:space:]]*$lib (libc6,x86-64[^)]*) => ||p" | head -n1)
    owner=
    for p in "$path" "$(readlink -f "$path")"; do
        [ -n "$p" ] && [ -z "$owner" ] && owner=$(dpkg -S "$p" 2>/dev/null | grep -v '^diversion' | head -n1 | cut -d: -f1)
    done
    [ -n "$owner" ] || { no "no package of this system provides $lib"; continue; }
    echo "$depends" | grep -qx "$owner" || no "$lib comes from $owner, which is not a dependency"
done

[ $fail = 0 ] && echo "package checked"
exit $fail
