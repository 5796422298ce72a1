#!/usr/bin/env bash
# `cpack -G DEB` builds a Debian package that installs the viewer with its
# desktop files and depends on the Qt libraries it links.
# Usage: PackageTest.sh BUILD-DIR WORK-DIR
set -euo pipefail
build=$1 work=$2
for tool in dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (Debian: dpkg-dev)"
        exit 77
    fi
done

rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/*.deb)
echo "built $(basename "$package")"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libqt6gui6 libqt6core6 libc6 qt6-translations-l10n; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library"
done
[[ -n $(dpkg-deb -f "$package" Maintainer) ]] || fail "no maintainer"
[[ $(dpkg-deb -f "$package" Package) == qornv-viewer ]] || fail "package name"

contents=$(dpkg-deb -c "$package" | awk '{ print $NF }')
for file in ./usr/bin/qornv-viewer ./usr/bin/qornv-render ./usr/libexec/qornv/qornv-render-picture \
    ./usr/share/applications/de.qornv.viewer.desktop \
    ./usr/share/mime/packages/de.qornv.viewer.xml \
    ./usr/share/metainfo/de.qornv.viewer.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/de.qornv.viewer.png \
    ./usr/share/icons/hicolor/256x256/apps/de.qornv.viewer.png; do
    grep -qx -- "$file" <<<"$contents" || fail "package lacks $file"
done

[[ $failures == 0 ]] || exit 1
echo "package complete"
