#!/usr/bin/env bash
# The real viewer on a real X server without compositing, as a person uses it:
# with no window manager or under openbox. "Löschen" must stay visible (closing
# the viewer's own menu is no loss of content) while another program's window
# that uncovers the view brings the path back; under a window manager the outer
# frame is centred. The run writes no file into an empty home.
# Usage: DesktopTest.sh VIEWER WORK-DIR nowm|openbox
set -euo pipefail
viewer=$1 work=$2 mode=$3
source "$(dirname "$0")/XSession.sh"
require_tools Xvfb xdotool xwininfo xprop import convert xlogo
[[ $mode != openbox ]] || require_tools openbox

rm -rf "$work"
mkdir -p "$work/home" "$work/config"
trap end_session EXIT
start_xvfb 1280x1024x24
[[ $mode != openbox ]] || start_openbox

# Corner and neighbour by turns: red lines on either structure.
for _ in $(seq 30); do printf ";;;;;%s\n" 1 2 5 6 9 10; done >"$work/corners.kzt"
HOME="$work/home" XDG_CONFIG_HOME="$work/config" start_viewer "$work/corners"
read -r left top < <(client_origin)
echo "client area at $left,$top"

# The drawing area starts one menu-bar line below the client's top: find that
# line from the white centre node at (270, 270) of the drawing area.
shot
whites=$(convert "$work/screen.png" -crop "1x120+$((left + 270))+$((top + 230))" +repage txt:- |
    awk -F'[ ,:]+' '/#FFFFFF/ { print $2 }')
[[ -n $whites ]] || fail "no white centre node"
menu_line=$((230 + ($(head -n 1 <<<"$whites") + $(tail -n 1 <<<"$whites")) / 2 - 270))
area_left=$((left + 30)) area_top=$((top + menu_line + 30))
red_in_view() { shot; count_colour "$area_left" "$area_top" 480 440 FF0000; }
centre_pixel() { shot; pixel $((left + 270 + $1)) $((top + menu_line + 270)); }
# A path shows hundreds of red pixels; bare nodes only node 2's red disc.
expect_path() { local n; n=$(red_in_view); ((n > 300)) || fail "$1: no path ($n red pixels)"; }
expect_bare() { local n; n=$(red_in_view); ((n < 150)) || fail "$1: path still shown ($n red pixels)"; }

expect_path "the file given on the command line"
if [[ $mode == openbox ]]; then
    read -r fl fr ft fb < <(xprop -id "$window" _NET_FRAME_EXTENTS | awk -F' = ' '{ gsub(",", ""); print $2 }')
    read -r sw sh < <(xwininfo -root | awk '/Width:/ { w = $NF } /Height:/ { h = $NF } END { print w, h }')
    outer_w=$((540 + fl + fr)) outer_h=$((540 + ft + fb))
    frame_left=$((left - fl)) frame_top=$((top - ft))
    echo "frame ${outer_w}x$outer_h at $frame_left,$frame_top on ${sw}x$sh"
    for axis in "$frame_left $(((sw - outer_w) / 2))" "$frame_top $(((sh - outer_h) / 2))"; do
        read -r at centred <<<"$axis"
        ((at - centred <= 1 && centred - at <= 1)) || fail "frame at $at, centred is $centred"
    done
fi

choose $ansicht 3 # Löschen
expect_bare "Löschen on the icosahedron"
sleep 1.6 # past the time in which the menu's own expose may still come
# Another program's window over the view, then gone again.
xlogo -geometry 200x200+$((area_left + 100))+$((area_top + 100)) &
logo=$!
wait_until title_window xlogo || fail "xlogo did not appear"
title_window "QORN-V Struktur: Ikosaeder"
kill $logo
wait $logo 2>/dev/null || true
sleep 0.7
expect_path "uncovered by another program's window"

choose $ansicht 2 # Oktaaedrisch
wait_until title_window "QORN-V Struktur: Oktaeder" || fail "no octahedron title"
expect_path "the octahedron view"
[[ $(centre_pixel 7) == FFFFFF ]] || fail "the octahedron's white centre disc is not 10 pixels wide"
choose $ansicht 3 # Löschen
expect_bare "Löschen on the octahedron"
# The icosahedron's drawing of nodes 1 to 7: node 7, türkis, small at the centre.
[[ $(centre_pixel 0) == 00FFE6 && $(centre_pixel 7) != FFFFFF ]] ||
    fail "Löschen on the octahedron leaves no small türkis centre disc"

# The requester cancelled, then used; a missing file; quit. Nothing is written.
choose $sequenz 1
wait_until title_window "Photonensequenz-Datei öffnen:" || fail "no requester"
xdotool key Escape
wait_until eval '! title_window "Photonensequenz-Datei öffnen:"' || fail "requester stays open"
title_window "QORN-V Struktur: Oktaeder"
choose $sequenz 1
wait_until title_window "Photonensequenz-Datei öffnen:" || fail "no requester"
xdotool type --delay 20 "$work/missing"
xdotool key Return
wait_until title_window "Fehler!" || fail "no error box for a missing file"
xdotool key Return
wait_until eval '! title_window "Fehler!"' || fail "error box stays open"
title_window "QORN-V Struktur: Oktaeder"
choose $ansicht 1 # Ikosaedrisch
wait_until title_window "QORN-V Struktur: Ikosaeder" || fail "no icosahedron title"
choose $ansicht 3 # Löschen
choose $sequenz 1
wait_until title_window "Photonensequenz-Datei öffnen:" || fail "no requester"
xdotool type --delay 20 "$work/corners"
xdotool key Return
wait_until eval '! title_window "Photonensequenz-Datei öffnen:"' || fail "requester stays open"
title_window "QORN-V Struktur: Ikosaeder"
expect_path "the file chosen in the requester"
choose $sequenz 3 # Schliesen
wait_until eval '! kill -0 $viewer_pid 2>/dev/null' || fail "still running after Schliesen"
status=0
wait "$viewer_pid" || status=$?
viewer_pid=""
[[ $status == 0 ]] || fail "exit status $status"

written=$(find "$work/home" "$work/config" -mindepth 1)
[[ -z $written ]] || fail "the run wrote: $written"
echo "$mode: Löschen stays, uncovering redraws, nothing written"
