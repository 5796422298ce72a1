# Helpers for driving the real viewer on a real X server as a person would:
# pointer and keys from xdotool, pixels read back from the screen. Sourced by
# the window tests; each sets `work` first and calls end_session on exit.

skip=77

# Window managers are installed with the rest (scripts/install-dependencies),
# and some of the checks run under one only: a missing one fails.
require_wm() {
    command -v "$1" >/dev/null || fail "window manager $1 is not installed (see scripts/install-dependencies)"
}

require_tools() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed (see scripts/install-dependencies)"
            exit $skip
        fi
    done
}

xvfb_pid="" wm_pid="" viewer_pid="" window=""

end_session() {
    [[ -z $viewer_pid ]] || kill "$viewer_pid" 2>/dev/null || true
    [[ -z $wm_pid ]] || kill "$wm_pid" 2>/dev/null || true
    [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
}

fail() {
    echo "FAIL: $*"
    [[ ! -f $work/viewer.log ]] || sed 's/^/viewer: /' "$work/viewer.log"
    exit 1
}

# Waits up to five seconds for a command to succeed.
wait_until() {
    local _
    for _ in $(seq "${wait_steps:-100}"); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

# Waits up to thirty seconds: for what a slow start (a sanitizer build, a
# window manager on a loaded machine) may take.
wait_long() { wait_steps=600 wait_until "$@"; }

# A server of its own, kept alive between clients (-noreset); Xvfb picks a
# free display and writes its number to descriptor 3.
start_xvfb() {
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -nolisten tcp -noreset \
        3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_until grep -q '[0-9]' "$work/display" || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    export DISPLAY=":$(tr -dc 0-9 <"$work/display")" QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME
    # No session bus, whatever the desktop running the tests has: with none set,
    # D-Bus would launch one for the X server (dbus-x11), writing it into the
    # test's home and leaving its daemon behind; the user's own bus would let the
    # viewer and KWin reach services of the real desktop. An address of a kind
    # nobody serves is refused at once.
    export DBUS_SESSION_BUS_ADDRESS=disabled:
    # A sanitizer build's leak suppressions come with LSAN_OPTIONS from the
    # test run (tests/leak-suppressions.txt).
}

wm_manages() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# A window manager with a home of its own (fluxbox and KWin write their
# settings there); KWin without compositing.
start_wm() {
    local command
    case $1 in
    openbox) command=(openbox --sm-disable) ;;
    fluxbox) command=(fluxbox) ;;
    kwin) command=(env KWIN_COMPOSE=N kwin_x11) ;;
    *) fail "unknown window manager $1" ;;
    esac
    mkdir -p "$work/wm-home"
    HOME="$work/wm-home" XDG_CONFIG_HOME="$work/wm-home/.config" "${command[@]}" \
        >"$work/$1.log" 2>&1 &
    wm_pid=$!
    wait_long wm_manages || { cat "$work/$1.log"; fail "$1 did not take the screen"; }
}

start_openbox() { start_wm openbox; }

title_window() {
    window=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [[ -n $window ]]
}

# Starts the viewer with the given arguments and waits for its window and the
# first picture: the white centre node shows in the client area.
start_viewer() {
    "$viewer" "$@" >"$work/viewer.log" 2>&1 &
    viewer_pid=$!
    wait_long title_window "QORN-V Struktur: Ikosaeder" || fail "no viewer window"
    wait_long picture_shown || fail "no picture in the window"
}

picture_shown() {
    local id=$window
    xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || return 1
    xwd -id "$id" -silent 2>/dev/null | convert xwd:- -format %c histogram:info:- |
        grep -qi '#FFFFFF'
}

# The client area's top-left on the screen: left, top.
client_origin() {
    xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        END { print x, y }'
}

# The drawing area starts one menu-bar line below the client's top: that line
# (in device pixels) is found from node 13, the one white disc, at (270, 270)
# of the drawing area. Needs a shot of the screen and the client's left, top.
find_menu_line() {
    local whites
    whites=$(convert "$work/screen.png" -crop "1x$(device 120)+$((left + $(device 270)))+$((top + $(device 230)))" \
        +repage txt:- | awk -F'[ ,:]+' '/#FFFFFF/ { print $2 }')
    [[ -n $whites ]] || fail "no white centre node below ($((left + $(device 270))), $((top + $(device 230))))"
    menu_line=$(($(device 230) + ($(head -n 1 <<<"$whites") + $(tail -n 1 <<<"$whites")) / 2 - $(device 270)))
}

# xwd reads the screen in one request; import walks every window first, which
# takes seconds under fluxbox. Shots are taken while no menu is open.
shot() { xwd -root -silent | convert xwd:- "$work/screen.png"; }

pixel() { convert "$work/screen.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }

# How many pixels of colour #RRGGBB the screen shows in W x H from (X, Y).
count_colour() {
    convert "$work/screen.png" -crop "$3x$4+$1+$2" +repage -format %c histogram:info:- |
        awk -v c="#$5" 'toupper($0) ~ toupper(c) { n += $1 } END { print n + 0 }'
}

# The frame's four edges each as wide as the diagram's lines at this scale:
# COUNT X Y W H ARGS... (count_colour, say) counted across each edge halfway
# along. Needs a shot and the client's left, top and menu line.
expect_frame_edges() {
    local strip width area_top=$((top + menu_line))
    width=$(awk -v s="${scale:-1}" 'BEGIN { w = int(s + 0.5); print w < 1 ? 1 : w }')
    for strip in "left $left $((area_top + $(device 260))) $(device 30) 1" \
        "right $((left + $(device 510))) $((area_top + $(device 260))) $(device 30) 1" \
        "top $((left + $(device 300))) $area_top 1 $(device 35)" \
        "bottom $((left + $(device 300))) $((area_top + $(device 490))) 1 $(device 30)"; do
        # shellcheck disable=SC2086 # the strip's five words
        set -- $strip "$@"
        local counted
        counted=$("$6" "$2" "$3" "$4" "$5" "${@:7}")
        [[ $counted == "$width" ]] || fail "the frame's $1 edge is $counted pixels wide, not $width"
        shift 5
    done
}

# The viewer's popup menu that is open, as "left top window" on the screen.
# Wine names its windows' class after the program: viewer_class says which.
open_popup() {
    local id
    for id in $(xdotool search --onlyvisible --classname "${viewer_class:-qornv-viewer}" 2>/dev/null); do
        if xwininfo -id "$id" | grep -q 'Override Redirect State: yes'; then
            xwininfo -id "$id" | awk -v id="$id" '/Absolute upper-left X/ { x = $NF }
                /Absolute upper-left Y/ { y = $NF } END { print x, y, id }'
            return 0
        fi
    done
    return 1
}

# Clicks the menu title at X until its popup opens. A window manager on a
# loaded machine may still be busy with the window and drop the click; the
# title is clicked again only while no popup is open (a second click would
# close it), at most three times, and the popup may take as long as a slow start.
open_menu() {
    local attempt
    for attempt in 1 2 3; do
        open_popup >/dev/null && return 0
        xdotool mousemove --window "$window" "$(device "$1")" "$(device 9)" click 1
        wait_steps=200 wait_until open_popup >/dev/null && return 0
    done
    return 1
}

# Chooses item ROW (1-3, a separator counted as none) of the menu whose title
# lies at X in the menu bar, with the pointer.
choose() {
    local title_x=$1 row=$2 popup="" rows=(0 11 33 57)
    open_menu "$title_x" || fail "menu at $title_x did not open"
    read -r px py popup < <(open_popup)
    # The item is taken once the menu is drawn under the pointer.
    wait_until popup_drawn "$popup" || fail "menu at $title_x is not drawn"
    xdotool mousemove "$((px + $(device 30)))" "$((py + $(device "${rows[row]}")))" click 1
    wait_until eval '! open_popup >/dev/null' || fail "menu at $title_x stayed open"
    popup_left=$px popup_top=$py
}

# Types NAME into the open requester and confirms it, then waits for the rest
# of the arguments (a command) to succeed. A requester that has just appeared
# may lose the first keys, or its completer may take the Return, on a slow
# start (a sanitizer build); while it is still open with no "Fehler!" box, the
# name is typed again over what its line holds, at most three times.
request_file() {
    local name=$1 attempt
    shift
    for attempt in 1 2 3; do
        xdotool key ctrl+a
        xdotool type --delay 20 "$name"
        xdotool key Return
        wait_until "$@" && return 0
        title_window "Photonensequenz-Datei öffnen:" && ! title_window "Fehler!" || return 1
    done
    return 1
}

# Cancels the open requester with Escape, again while it stays open (a key
# lost on a slow start, as above), at most three times.
cancel_requester() {
    local attempt
    for attempt in 1 2 3; do
        xdotool key Escape
        wait_until eval '! title_window "Photonensequenz-Datei öffnen:"' && return 0
    done
    return 1
}

# Confirms the "Fehler!" box with Return, again while it stays open: a window
# manager may hand a new box the focus only after the key has gone elsewhere
# (KWin under a sanitizer build), at most three times.
confirm_error_box() {
    local attempt
    for attempt in 1 2 3; do
        xdotool key Return
        wait_until eval '! title_window "Fehler!"' && return 0
        echo "the error box is still open after Return $attempt" >&2
    done
    return 1
}

# The menu's first item shows its text: dark pixels on the menu's light face.
# The menu is read on its own: it may have a depth other than the screen's,
# and the screen's picture of such a window is undefined.
popup_drawn() {
    local colours
    colours=$(xwd -id "$1" -silent | convert xwd:- -crop "$(device 100)x$(device 14)+0+$(device 4)" \
        +repage -threshold 50% -format %c histogram:info:-)
    grep -q '#000000' <<<"$colours" && grep -q '#FFFFFF' <<<"$colours"
}

# Waits for the viewer to end after WHAT, which must leave exit status 0.
# WAIT is the waiting to use: wait_until, or wait_long for a slow start.
expect_exit() {
    local what=$1 wait=${2:-wait_until} status=0
    "$wait" eval '! kill -0 $viewer_pid 2>/dev/null' || fail "still running after $what"
    wait "$viewer_pid" || status=$?
    viewer_pid=""
    [[ $status == 0 ]] || fail "exit status $status after $what"
}

# Logical pixels to the screen's device pixels, at the scale the test runs.
device() { awk -v v="$1" -v s="${scale:-1}" 'BEGIN { printf "%d", v * s + 0.5 }'; }

sequenz=30 ansicht=97
