# Helpers for driving the real viewer on a Wayland compositor without a screen,
# as XSession.sh does on X11 (whose helpers for pixels and waiting it reuses):
# sway's and weston's headless backends, the pointer through sway's seat
# commands, keys from wtype, pixels from grim. Sourced by the Wayland tests;
# each sets `work` first and calls end_wayland_session on exit.

source "$(dirname "${BASH_SOURCE[0]}")/XSession.sh"

compositor_pid="" pointer_pid="" runtime="" compositor_user=()

end_wayland_session() {
    end_session
    [[ -z $pointer_pid ]] || kill "$pointer_pid" 2>/dev/null || true
    [[ -z $compositor_pid ]] || kill "$compositor_pid" 2>/dev/null || true
    [[ -z $runtime ]] || rm -rf "$runtime"
}

# sway refuses to run as root (it could not give the rights up for good), so
# as root both compositors run as nobody, in a runtime folder of theirs below
# /tmp that nobody can reach. The viewer and the tools keep a runtime folder
# of their own and name the compositor's socket by its path.
prepare_runtime() {
    runtime=$(mktemp -d /tmp/qornv-wayland.XXXXXX)
    if ((EUID == 0)); then
        require_tools setpriv
        chown nobody "$runtime"
        compositor_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups --)
    fi
    mkdir -p -m 700 "$work/runtime"
    unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR
    export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=wayland DBUS_SESSION_BUS_ADDRESS=disabled:
}

# A compositor that ends at start cannot run here: the test is skipped with
# what it said last. One that runs but opens no socket is a failure.
compositor_socket() {
    local socket
    for socket in "$runtime"/wayland-*; do
        [[ $socket == *.lock || ! -S $socket ]] || { echo "$socket"; return 0; }
    done
    return 1
}
wait_for_compositor() {
    local name=$1
    wait_long eval 'compositor_socket >/dev/null || ! kill -0 $compositor_pid 2>/dev/null'
    if ! kill -0 "$compositor_pid" 2>/dev/null; then
        echo "SKIP: $name cannot start here: $(grep -v '^\s*$' "$work/$name.log" | tail -n 1)"
        exit $skip
    fi
    WAYLAND_DISPLAY=$(compositor_socket) || fail "$name opened no socket"
    export WAYLAND_DISPLAY
}

# sway on one headless output of SIZE (device pixels) at SCALE, with a
# virtual pointer: without an input device its seat offers clients no
# pointer. The cursor hides when still, so that it never shows in a shot.
# Windows have no border or title bar of sway's: the client area starts where
# the window does as soon as it is mapped.
start_sway() {
    local size=$1 scale_factor=$2 pointer_helper=$3
    require_tools sway swaymsg grim wtype jq
    prepare_runtime
    cat >"$runtime/config" <<EOF
xwayland disable
output HEADLESS-1 mode $size scale $scale_factor
seat * hide_cursor 100
default_border none
EOF
    env XDG_RUNTIME_DIR="$runtime" HOME="$runtime" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_RENDERER=pixman "${compositor_user[@]}" sway -c "$runtime/config" >"$work/sway.log" 2>&1 &
    compositor_pid=$!
    wait_for_compositor sway
    SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n 1)
    export SWAYSOCK
    [[ -n $SWAYSOCK ]] || fail "sway opened no IPC socket"
    "$pointer_helper" </dev/null >"$work/pointer.log" 2>&1 &
    pointer_pid=$!
    wait_long eval '[[ $(swaymsg -t get_seats | jq "[.[].capabilities % 2] | max") == 1 ]]' ||
        { cat "$work/pointer.log"; fail "sway's seat has no pointer"; }
}

# weston's desktop shell on one headless output, drawn by pixman; --debug lets
# weston-screenshooter take shots.
# weston 11 and later name the renderer with --renderer.
start_weston() {
    local size=$1 renderer=--use-pixman
    require_tools weston weston-screenshooter
    prepare_runtime
    ! weston --help 2>&1 | grep -q -- --renderer || renderer=--renderer=pixman
    env XDG_RUNTIME_DIR="$runtime" HOME="$runtime" "${compositor_user[@]}" weston \
        --backend=headless-backend.so "$renderer" --debug --width="${size%x*}" \
        --height="${size#*x}" --socket=wayland-qornv --idle-time=0 >"$work/weston.log" 2>&1 &
    compositor_pid=$!
    wait_for_compositor weston
}

# The window titled TITLE in sway's tree: its client area's left, top, width
# and height in logical pixels, and the pid of its program.
sway_window() {
    swaymsg -t get_tree | jq -r --arg title "$1" 'first(recurse(.nodes[]?, .floating_nodes[]?) |
        select(.name == $title and .pid != null) | "\(.rect.x + .window_rect.x) \(.rect.y +
        .window_rect.y) \(.window_rect.width) \(.window_rect.height) \(.pid)")'
}
title_window() {
    window=$(sway_window "$1")
    [[ -n $window ]]
}
# Whether the window titled TITLE is shown and has the keyboard.
window_focused() {
    [[ $(swaymsg -t get_tree | jq --arg title "$1" '[recurse(.nodes[]?, .floating_nodes[]?) |
        select(.name == $title and .focused and .visible)] | length') -gt 0 ]]
}
windows_of() { swaymsg -t get_tree | jq --argjson pid "$1" '[recurse(.nodes[]?, .floating_nodes[]?) | select(.pid == $pid)] | length'; }

shot() { grim "$work/screen.png"; }

# Keys from a virtual keyboard of wtype's own, made anew for every call: Qt
# takes its keymap only a moment after it arrives, and keys sent at once are
# lost, so they wait 200 ms.
keys() { wtype -s 200 "$@"; }

# The pointer clicks at X, Y: layout coordinates in logical pixels.
click() {
    swaymsg -q "seat seat0 cursor set $1 $2"
    swaymsg -q "seat seat0 cursor press button1"
    swaymsg -q "seat seat0 cursor release button1"
}
