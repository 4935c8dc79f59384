#!/bin/sh
# Builds the Debian package and checks its name, control fields and file list (exactly what a
# Debian system needs, the program executable), then has lintian fail it on any error or warning.
# Usage: check-deb.sh CPACK CPACK_CONFIG WORK_DIR VERSION APP_ID "ICON_SIZES"
set -eu
cpack=$1 config=$2 work=$3 version=$4 id=$5 sizes=$6
rm -rf "$work"
"$cpack" -G DEB --config "$config" -B "$work" >"$work.log" 2>&1 || { cat "$work.log"; exit 1; }
deb="$work/quorrin_${version}_$(dpkg --print-architecture).deb"
test "$(dpkg-deb -f "$deb" Package Version)" = "Package: quorrin
Version: $version"
dpkg-deb -f "$deb" Depends | grep -E '(^|, )libc6( |,|$)' | grep -qE '(^|, )libqt6widgets6' ||
  { echo "Depends lacks libc6 or libqt6widgets6"; exit 1; }
expected=$(for f in bin/quorrin share/doc/quorrin/changelog.gz share/doc/quorrin/copyright \
  share/man/man1/quorrin.1.gz share/applications/$id.desktop share/metainfo/$id.metainfo.xml; do echo "./usr/$f"; done
  for s in $sizes; do echo "./usr/share/icons/hicolor/${s}x$s/apps/$id.png"; done)
listing=$(dpkg-deb -c "$deb")
test "$(echo "$listing" | grep -v '^d' | awk '{print $6}' | sort)" = "$(echo "$expected" | sort)" ||
  { echo "files differ from the expected list:"; echo "$listing"; exit 1; }
echo "$listing" | grep -q '^-rwxr-xr-x .* \./usr/bin/quorrin$' || { echo "usr/bin/quorrin is not executable"; exit 1; }
# The version is the package's in the newest changelog entry, the manual page and the AppStream release.
packaged() { dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/$1"; }
test "$(packaged doc/quorrin/changelog.gz | gzip -dc | head -n 1)" = "quorrin ($version) unstable; urgency=medium" ||
  { echo "the changelog's newest entry is not $version"; exit 1; }
packaged man/man1/quorrin.1.gz | gzip -dc | head -n 1 | grep -qF "\"Quorrin $version\"" ||
  { echo "the manual page does not name version $version"; exit 1; }
packaged metainfo/$id.metainfo.xml | grep -qF "<release version=\"$version\"" ||
  { echo "the AppStream data has no release $version"; exit 1; }
# The desktop entry names an icon the package installs.
icon=$(packaged applications/$id.desktop | sed -n 's/^Icon=//p')
echo "$listing" | grep -q "/apps/$icon\.png$" || { echo "the desktop entry's icon '$icon' is not installed"; exit 1; }
lintian --fail-on error,warning --pedantic --display-info --tag-display-limit 0 "$deb"
rm -rf "$work" "$work.log"
