#!/usr/bin/env bash
# `cmake --install` lays out a desktop application: binary, desktop entry,
# MIME type for *.kzt in any case, hicolor icons, AppStream metainfo, manual
# pages, copyright file and changelog, the desktop files naming each other
# consistently.
# Usage: InstallTest.sh BUILD-DIR MIME-PROBE WORK-DIR
set -euo pipefail
build=$1 mime_probe=$2 work=$3
prefix="$work/prefix"
id=de.qornv.viewer
type=application/x-qornv-sequence
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$prefix"
mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"

share="$prefix/share"
desktop="$share/applications/$id.desktop"
mime="$share/mime/packages/$id.xml"
metainfo="$share/metainfo/$id.metainfo.xml"
for file in "$prefix/bin/qornv-viewer" "$desktop" "$mime" "$metainfo" \
    "$share/man/man1/qornv-viewer.1.gz" "$share/man/man1/qornv-render.1.gz" \
    "$share/doc/qornv-viewer/copyright" "$share/doc/qornv-viewer/changelog.gz"; do
    [[ -f $file ]] || fail "not installed: ${file#"$prefix"/}"
done
[[ -x $prefix/bin/qornv-viewer ]] || fail "qornv-viewer is not executable"
rm -f "$work/installed.png"
"$prefix/bin/qornv-render" -o "$work/installed.png" >"$work/render.log" 2>&1 && [[ -s $work/installed.png ]] ||
    fail "the installed qornv-render draws no picture: $(cat "$work/render.log")"

png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }
for size in 48 256; do
    icon="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    if [[ -f $icon ]]; then
        [[ $(png_size "$icon") == "${size}x${size}" ]] || fail "$icon is $(png_size "$icon")"
    else
        fail "no ${size}x${size} icon"
    fi
done

grep -qx "Icon=$id" "$desktop" || fail "desktop entry names another icon"
grep -qx "Exec=qornv-viewer %f" "$desktop" || fail "desktop entry runs something else"
grep -qx "MimeType=$type;" "$desktop" || fail "desktop entry lacks $type"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo launches another desktop entry"

# The desktop's own validators run on the package's copies (PackageTest.sh).

# The desktop's MIME database with the installed package added: every case of
# the extension maps to the type, other names do not.
types=$(XDG_DATA_DIRS="$share:/usr/share" "$mime_probe" run.kzt RUN.KZT Lauf.Kzt run.txt run.kz)
echo "$types"
for name in run.kzt RUN.KZT Lauf.Kzt; do
    grep -qx "$name $type" <<<"$types" || fail "$name is not $type"
done
for name in run.txt run.kz; do
    grep -q "^$name $type\$" <<<"$types" && fail "$name is taken for $type"
done

[[ $failures == 0 ]] || exit 1
echo "installed layout complete"
