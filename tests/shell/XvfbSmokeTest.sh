#!/usr/bin/env bash
# The real binary on a real X server: the window appears with its title, shows
# the start-up picture, and a close request ends it with status 0.
# Usage: XvfbSmokeTest.sh VIEWER CLOSE-HELPER WORK-DIR
set -euo pipefail
viewer=$1 close_helper=$2 work=$3
skip=77

for tool in Xvfb xwininfo xprop import convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (Debian: xvfb, x11-utils, imagemagick)"
        exit $skip
    fi
done

mkdir -p "$work"
xvfb_pid="" viewer_pid=""
cleanup() {
    [[ -z $viewer_pid ]] || kill "$viewer_pid" 2>/dev/null || true
    [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to descriptor 3.
rm -f "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
number=""
for _ in $(seq 100); do
    number=$(tr -dc 0-9 <"$work/display")
    [[ -n $number ]] && break
    sleep 0.1
done
[[ -n $number ]] || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME

# A sanitizer build reports what the session bus library keeps until exit; that
# is the system's, not the viewer's.
echo "leak:libdbus-1.so" >"$work/leaks.supp"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$work/leaks.supp"

"$viewer" >"$work/viewer.log" 2>&1 &
viewer_pid=$!

title="QORN-V Struktur: Ikosaeder"
window=""
for _ in $(seq 100); do
    window=$(xwininfo -root -tree | awk -v t="\"$title\":" 'index($0, t) { print $1; exit }')
    [[ -n $window ]] && break
    sleep 0.1
done
[[ -n $window ]] || { echo "FAIL: no window titled '$title'"; cat "$work/viewer.log"; exit 1; }
xprop -id "$window" _NET_WM_NAME | grep -qF "\"$title\"" || { echo "FAIL: _NET_WM_NAME"; exit 1; }

geometry=$(xwininfo -id "$window")
left=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$geometry")
top=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$geometry")
sleep 0.5
import -window root "$work/screen.png"

# Node 13 is the one white disc, at (270, 270) of the drawing area, which starts
# one menu-bar line below the window's top: look down that column for it.
probe_top=$((top + 262))
whites=$(convert "$work/screen.png" -crop "1x80+$((left + 270))+$probe_top" +repage txt:- |
    awk -F'[ ,:]+' '/#FFFFFF/ { print $2 }')
[[ -n $whites ]] || { echo "FAIL: no white node 13 below ($((left + 270)), $probe_top)"; exit 1; }
centre=$(( (probe_top * 2 + $(head -n 1 <<<"$whites") + $(tail -n 1 <<<"$whites")) / 2 ))
menu_line=$((centre - top - 270))
pixel() { convert "$work/screen.png" -format "%[hex:p{$1,$2}]" info:; }
node1=$(pixel $((left + 400)) $((top + menu_line + 195)))
[[ $node1 == E6009B* ]] || { echo "FAIL: node 1 is #$node1, not scharlach #E6009B"; exit 1; }
echo "window $window at $left,$top, menu-bar line $menu_line, node 1 #$node1"

"$close_helper" "$window"
status=""
for _ in $(seq 100); do
    if ! kill -0 "$viewer_pid" 2>/dev/null; then
        wait "$viewer_pid" && status=0 || status=$?
        break
    fi
    sleep 0.1
done
[[ -n $status ]] || { echo "FAIL: still running after the close request"; exit 1; }
viewer_pid=""
[[ $status == 0 ]] || { echo "FAIL: exit status $status"; cat "$work/viewer.log"; exit 1; }
echo "closed with exit status 0"
