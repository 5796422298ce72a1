#!/usr/bin/env bash
# The real viewer on a real X server without compositing, as a person uses it:
# with no window manager or under openbox, fluxbox or KWin, at a scale of 1 or
# a fractional one. The frame's four edges are whole. "Löschen" must stay
# visible (closing the viewer's own menu is no loss of content) while another
# program's window that uncovers the view brings the path back, also right after a menu closed at that place; under a
# window manager the outer frame is centred. The run writes no file into an
# empty home. The view shows, device pixel for device pixel, the picture
# qornv-render draws at the screen's scale. At a scale other than 1 the test
# stops after those checks.
# Usage: DesktopTest.sh VIEWER RENDER WORK-DIR nowm|openbox|fluxbox|kwin [SCALE]
#   SCALE: a Qt scale factor (1.25, 1.5, 2, ...) or dpi144 (Xft.dpi: 144)
set -euo pipefail
viewer=$1 render=$2 work=$3 mode=$4 scaling=${5:-1}
source "$(dirname "$0")/XSession.sh"
require_tools Xvfb xdotool xwininfo xprop xwd convert compare xlogo
case $mode in
nowm) ;;
kwin) require_wm kwin_x11 ;;
*) require_wm "$mode" ;;
esac

rm -rf "$work"
mkdir -p "$work/home" "$work/config" "$work/cache"
trap end_session EXIT
# At twice the scale the window is taller than 1024 pixels.
screen_height=1024
[[ $scaling != 2 ]] || screen_height=1280
start_xvfb "1280x${screen_height}x24"
[[ $mode == nowm ]] || start_wm "$mode"
scale=$scaling
if [[ $scaling == dpi* ]]; then
    require_tools xrdb
    echo "Xft.dpi: ${scaling#dpi}" | xrdb -merge
    scale=$(awk -v d="${scaling#dpi}" 'BEGIN { print d / 96 }')
elif [[ $scaling != 1 ]]; then
    export QT_SCALE_FACTOR=$scaling
fi

# Corner and neighbour by turns: red lines on either structure.
for _ in $(seq 30); do printf ";;;;;%s\n" 1 2 5 6 9 10; done >"$work/corners.kzt"
HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
    start_viewer "$work/corners"
read -r left top < <(client_origin)
echo "client area at $left,$top, scale $scale"

# Lengths below are in the screen's device pixels.
shot
find_menu_line
area_left=$((left + $(device 30))) area_top=$((top + menu_line + $(device 30)))
red_in_view() { shot; count_colour "$area_left" "$area_top" "$(device 480)" "$(device 440)" FF0000; }
centre_pixel() { shot; pixel $((left + 270 + $1)) $((top + menu_line + 270)); }
# A path shows thousands of red pixels; bare nodes only node 2's red disc.
path_floor=$(awk -v s="$scale" 'BEGIN { printf "%d", 300 * s * s }')
bare_ceiling=$(awk -v s="$scale" 'BEGIN { printf "%d", 150 * s * s }')
path_shown() { (($(red_in_view) > path_floor)); }
bare_shown() { (($(red_in_view) < bare_ceiling)); }
expect_path() { wait_until path_shown || fail "$1: no path ($(red_in_view) red pixels)"; }
# The view must turn bare and stay so: an expose that counted as a loss would
# draw the path again within a few milliseconds of the menu closing.
expect_bare() {
    local _
    wait_until bare_shown || fail "$1: path still shown ($(red_in_view) red pixels)"
    for _ in 1 2 3 4; do bare_shown || fail "$1: the path came back ($(red_in_view) red pixels)"; done
}

expect_path "the file given on the command line"
if [[ $mode != nowm ]]; then
    read -r fl fr ft fb < <(xprop -id "$window" _NET_FRAME_EXTENTS | awk -F' = ' '{ gsub(",", ""); print $2 }')
    read -r sw sh < <(xwininfo -root | awk '/Width:/ { w = $NF } /Height:/ { h = $NF } END { print w, h }')
    read -r cw ch < <(xwininfo -id "$window" | awk '/Width:/ { w = $NF } /Height:/ { h = $NF } END { print w, h }')
    outer_w=$((cw + ${fl:-0} + ${fr:-0})) outer_h=$((ch + ${ft:-0} + ${fb:-0}))
    frame_left=$((left - ${fl:-0})) frame_top=$((top - ${ft:-0}))
    echo "$mode: frame ${outer_w}x$outer_h at $frame_left,$frame_top on ${sw}x$sh"
    for axis in "$frame_left $(((sw - outer_w) / 2))" "$frame_top $(((sh - outer_h) / 2))"; do
        read -r at centred <<<"$axis"
        ((at - centred <= 1 && centred - at <= 1)) || fail "frame at $at, centred is $centred"
    done
fi
# Inside SequenceFrame's border and below its caption, where the picture alone
# shows. Where the scale leaves fractions of a device pixel, the drawing area's
# top found from node 13 may be one off, so a shift by one is also tried.
"$render" -o "$work/expected-full.png" --scale "$scale" "$work/corners.kzt" ||
    fail "qornv-render could not draw the file"
inner="$(device 450)x$(device 380)+$(device 45)+$(device 50)"
convert "$work/expected-full.png" -crop "$inner" +repage "$work/expected.png"
shot
least=""
for dy in 0 -1 1; do
    for dx in 0 -1 1; do
        convert "$work/screen.png" -crop "$(device 540)x$(device 500)+$((left + dx))+$((top + menu_line + dy))" \
            +repage -crop "$inner" +repage "$work/view.png"
        # Newer ImageMagick prints the count as a fraction with its normalised value, "N.F (F)".
        differing=$(compare -metric AE "$work/view.png" "$work/expected.png" null: 2>&1 |
            awk '{ printf "%d\n", $1 + 0.5; exit }' || true)
        [[ -n $least && $least -le $differing ]] || least=$differing
    done
done
[[ $least == 0 ]] || fail "the view differs from qornv-render --scale $scale in $least pixels"

# The frame's four edges, in Fusion's mid grey.
expect_frame_edges count_colour B8B8B8

choose $ansicht 3 # Löschen
expect_bare "Löschen on the icosahedron"
# Another program's window over the place where the menu just was, gone again
# at once: the menu's own expose is spent, so this one brings the path back.
xlogo -geometry "$(device 120)x$(device 60)+$popup_left+$popup_top" &
logo=$!
wait_until title_window xlogo || fail "xlogo did not appear"
wait_until eval 'xwininfo -id "$window" | grep -q IsViewable' || fail "xlogo is not shown"
title_window "QORN-V Struktur: Ikosaeder"
kill $logo
wait $logo 2>/dev/null || true
expect_path "uncovered by another program's window where the menu was"
choose $ansicht 3 # Löschen
expect_bare "Löschen again"

if [[ $scale != 1 ]]; then
    choose $sequenz 3 # Schliesen
    expect_exit Schliesen wait_long
    echo "$mode at scale $scaling: Löschen stays, uncovering redraws"
    exit 0
fi

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
cancel_requester || fail "requester stays open after Escape"
title_window "QORN-V Struktur: Oktaeder"
choose $sequenz 1
wait_until title_window "Photonensequenz-Datei öffnen:" || fail "no requester"
request_file "$work/missing" title_window "Fehler!" || fail "no error box for a missing file"
confirm_error_box || fail "error box stays open"
title_window "QORN-V Struktur: Oktaeder"
choose $ansicht 1 # Ikosaedrisch
wait_until title_window "QORN-V Struktur: Ikosaeder" || fail "no icosahedron title"
choose $ansicht 3 # Löschen
choose $sequenz 1
wait_until title_window "Photonensequenz-Datei öffnen:" || fail "no requester"
request_file "$work/corners" eval '! title_window "Photonensequenz-Datei öffnen:"' ||
    fail "requester stays open"
title_window "QORN-V Struktur: Ikosaeder"
expect_path "the file chosen in the requester"
choose $sequenz 3 # Schliesen
expect_exit Schliesen

# fontconfig keeps its own cache of the system's fonts under XDG_CACHE_HOME
# when the system's cache is stale; only its files, known by their signature,
# are not the viewer's.
fontconfig_file() {
    case $1 in
    "$work/cache/fontconfig") return 0 ;;
    "$work/cache/fontconfig/CACHEDIR.TAG") grep -q '^Signature: 8a477f597d28d172789f06886806bc55' "$1" ;;
    "$work/cache/fontconfig/"*.cache-*) [[ $(head -c 4 "$1" | od -An -tx1 | tr -d ' \n') == 04fc02fc ]] ;;
    *) return 1 ;;
    esac
}
written=$(find "$work/home" "$work/config" "$work/cache" -mindepth 1 |
    while read -r name; do fontconfig_file "$name" || echo "$name"; done)
[[ -z $written ]] || fail "the run wrote: $written"
echo "$mode: Löschen stays, uncovering redraws, nothing written"
