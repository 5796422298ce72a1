#!/usr/bin/env bash
# The viewer's command line, and a display that is missing or does not answer:
# each says so and exits with its status instead of letting Qt abort.
# Usage: CommandLineTest.sh VIEWER WORK-DIR
set -uo pipefail
viewer=$1 work=$2
rm -rf "$work"
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
failures=0

# expect STATUS STREAM TEXT ENV... -- ARGS...: STREAM (out or err) holds TEXT.
expect() {
    local status=$1 stream=$2 text=$3 environment=()
    shift 3
    while [[ $1 != -- ]]; do environment+=("$1"); shift; done
    shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work/runtime" \
        DBUS_SESSION_BUS_ADDRESS=disabled: \
        "${environment[@]}" "$viewer" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    if [[ $got != "$status" ]] || ! grep -qF -- "$text" "$work/$stream"; then
        echo "FAIL: ${environment[*]} qornv-viewer $*: status $got (want $status), $stream lacks '$text'"
        sed 's/^/  out: /' "$work/out"
        sed 's/^/  err: /' "$work/err"
        failures=$((failures + 1))
    fi
    if grep -q "core dumped\|Reinstalling" "$work/err"; then
        echo "FAIL: $* aborts like Qt"
        failures=$((failures + 1))
    fi
}

expect 0 out "Aufruf: qornv-viewer [DATEI]" -- --help
expect 0 out "qornv-viewer 1.0.0" -- --version
expect 2 err "unbekannte Option »--bunt«" -- --bunt
expect 2 err "nur eine DATEI" -- a.kzt b.kzt
expect 2 err "Aufruf:" -- -x
# After "--" a name may start with "-": it is taken, and the display is next.
expect 1 err "weder DISPLAY noch WAYLAND_DISPLAY" -- -- -x.kzt
expect 1 err "weder DISPLAY noch WAYLAND_DISPLAY" -- run.kzt
expect 1 err "DISPLAY=»:4711«" DISPLAY=:4711 -- run.kzt
expect 1 err "WAYLAND_DISPLAY=»wayland-4711«" WAYLAND_DISPLAY=wayland-4711 --
expect 1 err "DISPLAY=»:4711«, WAYLAND_DISPLAY=»wayland-4711«" \
    DISPLAY=:4711 WAYLAND_DISPLAY=wayland-4711 --

# Wayland sockets that accept: one never answers (a hung compositor), which the
# viewer must not wait for; one answers the viewer's probe, a wl_display.sync,
# but Qt is asked for a platform plugin it does not have. Each says why.
if command -v python3 >/dev/null; then
    python3 -c 'import socket, struct, sys, time
silent = socket.socket(socket.AF_UNIX); silent.bind(sys.argv[1] + "/wayland-silent"); silent.listen(4)
answers = socket.socket(socket.AF_UNIX); answers.bind(sys.argv[1] + "/wayland-answers"); answers.listen(4)
while True:
    peer, _ = answers.accept()
    request = peer.recv(12)
    if len(request) == 12:
        peer.send(struct.pack("=III", struct.unpack("=III", request)[2], 12 << 16, 1))
    time.sleep(0.2)
    peer.close()' "$work/runtime" &
    listener=$!
    for _ in $(seq 50); do [[ -S $work/runtime/wayland-answers ]] && break; sleep 0.1; done
    # The viewer gives up on it after 2 s; far above that, a start would seem to hang.
    started=$(date +%s%N)
    expect 1 err "antwortet nicht (WAYLAND_DISPLAY=»wayland-silent«)" WAYLAND_DISPLAY=wayland-silent --
    waited=$((($(date +%s%N) - started) / 1000000))
    if ((waited > 10000)); then
        echo "FAIL: waited $waited ms for a Wayland compositor that never answers"
        failures=$((failures + 1))
    fi
    expect 1 err "Qt kann die grafische Anzeige nicht nutzen (WAYLAND_DISPLAY=»wayland-answers«)" \
        WAYLAND_DISPLAY=wayland-answers QT_QPA_PLATFORM=wayland-missing --
    kill $listener
else
    echo "SKIP: no python3 for Wayland sockets that accept"
fi

[[ $failures == 0 ]] || exit 1
echo "command line and display checks hold"
