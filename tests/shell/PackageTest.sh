#!/usr/bin/env bash
# `cpack -G DEB` builds a Debian package that installs the viewer with its
# desktop files, manual pages, copyright file and changelog, depends on the Qt
# libraries it links, and passes lintian without an error or a warning.
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
# Built under a umask that gives group write (Debian 13's login default): the
# package must come out the same whoever builds it.
(umask 0002 && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log") ||
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

doc=./usr/share/doc/qornv-viewer
contents=$(dpkg-deb -c "$package" | awk '{ print $NF }')
for file in ./usr/bin/qornv-viewer ./usr/bin/qornv-render ./usr/libexec/qornv/qornv-render-picture \
    ./usr/share/applications/de.qornv.viewer.desktop \
    ./usr/share/mime/packages/de.qornv.viewer.xml \
    ./usr/share/metainfo/de.qornv.viewer.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/de.qornv.viewer.png \
    ./usr/share/icons/hicolor/256x256/apps/de.qornv.viewer.png \
    ./usr/share/man/man1/qornv-viewer.1.gz ./usr/share/man/man1/qornv-render.1.gz \
    $doc/copyright $doc/changelog.gz; do
    grep -qx -- "$file" <<<"$contents" || fail "package lacks $file"
done

# Folders 0755, files 0644, programs 0755, owned by root.
while read -r mode owner path; do
    expected=-rw-r--r--
    case $path in
    */) expected=drwxr-xr-x ;;
    ./usr/bin/* | ./usr/libexec/qornv/*) expected=-rwxr-xr-x ;;
    esac
    [[ $mode == "$expected" && $owner == root/root ]] || fail "$path is $mode $owner, not $expected root/root"
done < <(dpkg-deb -c "$package" | awk '{ print $1, $2, $NF }')

# The unpacked files, checked by the tools of the desktop and of Debian.
root="$work/root"
dpkg-deb -x "$package" "$root"
metainfo="$root/usr/share/metainfo/de.qornv.viewer.metainfo.xml"
if [[ -f $root/$doc/copyright && -f $metainfo ]]; then
    license=$(sed -n 's:.*<project_license>\(.*\)</project_license>.*:\1:p' "$metainfo")
    grep -qx "License: $license" "$root/$doc/copyright" ||
        fail "copyright does not state the metainfo's licence $license"
fi
if [[ -f $root/$doc/changelog.gz ]]; then
    version=$(dpkg-deb -f "$package" Version)
    heading=$(zcat "$root/$doc/changelog.gz" | sed -n 1p)
    [[ $heading == "qornv-viewer ($version) "* ]] || fail "changelog starts: $heading (version $version)"
fi
# The manual pages carry the release date the metainfo names for this version.
release_date=$(sed -n 's:.*<release version="[^"]*" date="\([^"]*\)".*:\1:p' "$metainfo" 2>/dev/null || true)
for page in "$root"/usr/share/man/man1/*.1.gz; do
    page_date=$(zcat "$page" | sed -n 's/^\.TH [^ ]* [0-9] "\([^"]*\)".*/\1/p')
    [[ -n $release_date && $page_date == "$release_date" ]] ||
        fail "${page##*/} is dated '$page_date', the release '$release_date'"
done
if command -v man >/dev/null; then
    for page in "$root"/usr/share/man/man1/*.1.gz; do
        # As lintian reads manual pages.
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) ||
            fail "man cannot format ${page##*/}"
        [[ -z $warnings ]] || fail "man warns on ${page##*/}: $warnings"
    done
else
    echo "SKIP: man is not installed (Debian: man-db); manual pages are not checked"
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/de.qornv.viewer.desktop" ||
        fail "desktop-file-validate"
else
    echo "SKIP: desktop-file-validate not installed (Debian: desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
    # The project has no homepage and names none rather than invent one.
    # AppStream 1.0 warns of that (url-homepage-missing); 0.16 has no such
    # check and refuses to hear of it. Everything else must pass.
    homepage=(--override=url-homepage-missing=info)
    probe=$(appstreamcli validate --no-net "${homepage[@]}" "$metainfo" 2>&1 || true)
    [[ $probe != *"'url-homepage-missing' is not recognized"* ]] || homepage=()
    appstreamcli validate --no-net "${homepage[@]}" "$metainfo" || fail "appstreamcli validate"
else
    echo "SKIP: appstreamcli not installed (Debian: appstream)"
fi

if command -v lintian >/dev/null; then
    # Informational tags may stay (docs/building.md says which and why); errors and
    # warnings may not.
    if ! report=$(lintian --fail-on error,warning --display-info "$package" 2>&1) ||
        grep -q '^[EW]: ' <<<"$report"; then
        fail "lintian reports errors or warnings:"
    fi
    echo "$report"
else
    echo "SKIP: lintian is not installed (Debian: lintian); the package is not linted"
fi

[[ $failures == 0 ]] || exit 1
echo "package complete"
