# Helpers for driving the real viewer on a real X server as a person would:
# pointer and keys from xdotool, pixels read back from the screen. Sourced by
# the window tests; each sets `work` first and calls end_session on exit.

skip=77

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
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

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
    # A sanitizer build's leak suppressions come with LSAN_OPTIONS from the
    # test run (tests/leak-suppressions.txt).
}

wm_manages() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

start_openbox() {
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    wait_until wm_manages || fail "openbox did not take the screen"
}

title_window() {
    window=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [[ -n $window ]]
}

# Starts the viewer with the given arguments and waits for its window and the
# first picture.
start_viewer() {
    "$viewer" "$@" >"$work/viewer.log" 2>&1 &
    viewer_pid=$!
    wait_until title_window "QORN-V Struktur: Ikosaeder" || fail "no viewer window"
    sleep 0.5
}

# The client area's top-left on the screen: left, top.
client_origin() {
    xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        END { print x, y }'
}

shot() { import -window root "$work/screen.png"; }

pixel() { convert "$work/screen.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }

# How many pixels of colour #RRGGBB the screen shows in W x H from (X, Y).
count_colour() {
    convert "$work/screen.png" -crop "$3x$4+$1+$2" +repage -format %c histogram:info:- |
        awk -v c="#$5" 'toupper($0) ~ toupper(c) { n += $1 } END { print n + 0 }'
}

# The viewer's popup menu that is open, as "left top" on the screen.
open_popup() {
    local id
    for id in $(xdotool search --onlyvisible --classname qornv-viewer 2>/dev/null); do
        if xwininfo -id "$id" | grep -q 'Override Redirect State: yes'; then
            xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
                END { print x, y }'
            return 0
        fi
    done
    return 1
}

# Chooses item ROW (1-3, a separator counted as none) of the menu whose title
# lies at X in the menu bar, with the pointer.
choose() {
    local title_x=$1 row=$2 popup="" rows=(0 11 33 57)
    xdotool mousemove --window "$window" "$title_x" 9 click 1
    wait_until open_popup >/dev/null || fail "menu at $title_x did not open"
    sleep 0.2
    read -r px py < <(open_popup)
    xdotool mousemove "$((px + 30))" "$((py + rows[row]))" click 1
    wait_until eval '! open_popup >/dev/null' || fail "menu at $title_x stayed open"
    sleep 0.5
}

sequenz=30 ansicht=97
