#!/usr/bin/env bash
# How the viewer follows a sequence file that another process writes: latency
# from each write to the picture that shows it, the viewer's CPU time, and what
# reopening the file would cost instead. The viewer runs on Qt's offscreen
# platform inside qornv_follow_driver; the writer is a process of its own.
#
#   bench/follow-latency.sh BUILD_DIR [WORK_DIR]
#
# Goals on a local file system: a write is shown within 50 ms (at most 100 ms);
# following a 15-million-step file that grows by 100 lines every 100 ms costs
# under 2 % of one core; 1 million lines a second for 10 s are shown at most
# 200 ms after the last write, with the viewer using at most one core; so are
# bursts of 100,000 lines of 38 bytes every 100 ms for 5 s onto a 3-million-step
# file. Without
# change notifications (network and FUSE mounts) the half-second look at the
# file shows a single write after a quiet spell within a second at the 95th
# percentile, also on a loaded machine: the FUSE case mounts a folder with
# bindfs (installed when missing and run as root; skipped without /dev/fuse),
# writes on the folder's side and has the viewer follow the mounted file while
# busy loops keep both cores loaded.
#
#   FOLLOW_CASES=fuse bench/follow-latency.sh BUILD_DIR   runs the FUSE case alone
set -euo pipefail

build=${1:?usage: follow-latency.sh BUILD_DIR [WORK_DIR]}
driver="$build/bench/qornv_follow_driver"
[[ -x $driver ]] || { echo "no qornv_follow_driver in $build/bench (QORNV_BUILD_BENCHMARKS)" >&2; exit 1; }
work=${2:-$(mktemp -d /tmp/qornv-follow-XXXXXX)}
mkdir -p "$work"
pids=()
cleanup() {
    ((${#pids[@]})) && kill "${pids[@]}" 2>/dev/null
    mountpoint -q "$work/mnt" 2>/dev/null && fusermount -u "$work/mnt"
    rm -f "$work/run.kzt" "$work/src/run.kzt"
}
trap cleanup EXIT
file="$work/run.kzt"
cases=${FOLLOW_CASES:-all}

fuse_case() {
    echo
    echo "== FUSE mount (bindfs), no change notifications: single lines after quiet spells of 1.5-2.5 s, 31 writes, both cores busy"
    if ! command -v bindfs >/dev/null; then
        if ((EUID != 0)); then
            echo "skipped: bindfs is not installed and installing it needs root"
            return
        fi
        { apt-get install -y -qq bindfs || { apt-get update -qq && apt-get install -y -qq bindfs; }; } \
            >/dev/null 2>&1 || { echo "skipped: bindfs could not be installed"; return; }
    fi
    [[ -c /dev/fuse ]] || { echo "skipped: no /dev/fuse"; return; }
    mkdir -p "$work/src" "$work/mnt"
    bindfs -f "$work/src" "$work/mnt" 2>/dev/null &
    local daemon=$!
    pids+=("$daemon")
    for _ in $(seq 50); do mountpoint -q "$work/mnt" && break; sleep 0.1; done
    mountpoint -q "$work/mnt" || { echo "skipped: the bindfs mount failed"; return; }
    # The load: one busy loop a core, as a parallel build would give.
    local loads=()
    for _ in $(seq "$(nproc)"); do
        bash -c 'while :; do :; done' &
        loads+=($!)
    done
    pids+=("${loads[@]}")
    ticks() { awk '{ print $14 + $15 }' "/proc/$daemon/stat"; }
    local before start
    before=$(ticks) start=$(date +%s.%N)
    "$driver" "$work/mnt/run.kzt" 100000 1 2000 62 jitter idle=10 "source=$work/src/run.kzt"
    awk -v t=$(($(ticks) - before)) -v hz="$(getconf CLK_TCK)" -v s="$start" -v e="$(date +%s.%N)" 'BEGIN {
        printf "bindfs daemon CPU: %.2f s in %.1f s\n", t / hz, e - s }'
    kill "${loads[@]}"
    fusermount -u "$work/mnt"
    wait "$daemon" 2>/dev/null || true
    pids=()
}

if [[ $cases == fuse ]]; then
    fuse_case
    exit
fi

echo "== 15 million steps (about 1 GB), 100 lines appended every 100 ms for 10 s"
"$driver" "$file" 15000000 100 100 10
echo
echo "== 1 million lines a second (about 64 MB/s) for 10 s: 10,000 lines every 10 ms"
"$driver" "$file" 0 10000 10 10
echo
echo "== bursts: 100,000 lines of 38 bytes (3.8 MB) every 100 ms for 5 s onto 3 million steps"
"$driver" "$file" 3000000 100000 100 5 short
echo
echo "== no change notifications (as on NFS, SMB, FUSE): 100 lines every 100 ms for 5 s"
"$driver" "$file" 100000 100 100 5 poll
fuse_case

# The installed program as it runs on a desktop: qornv-viewer on an X server
# of its own, its CPU time read from /proc while a shell appends.
viewer="$build/shell/qornv-viewer"
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null && [[ -x $viewer ]]; then
    echo
    echo "== qornv-viewer under Xvfb, 15 million steps, 100 lines appended every 100 ms for 10 s"
    "$driver" "$file" 15000000 0 100 0
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb=$!
    pids+=("$xvfb")
    while ! grep -q '[0-9]' "$work/display" 2>/dev/null; do sleep 0.05; done
    export DISPLAY=":$(tr -dc 0-9 <"$work/display")" QT_QPA_PLATFORM=xcb
    "$viewer" "$file" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --name '^QORN-V Struktur' >/dev/null 2>&1; do sleep 0.1; done
    ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
    # Until the file is loaded and drawn: a second with no more than 20 ms of CPU.
    while :; do
        t=$(ticks)
        sleep 1
        (($(ticks) - t <= 2)) && break
    done
    hz=$(getconf CLK_TCK)
    block=$(awk 'BEGIN { for (i = 0; i < 100; i++) printf "2026-12-08;12:00:00.%06d;PH;%07d;A;%d;0.1\n", i, i, 1 + i % 13 }')
    before=$(ticks) start=$(date +%s.%N)
    for _ in $(seq 100); do printf "%s\n" "$block" >>"$file"; sleep 0.1; done
    after=$(ticks) end=$(date +%s.%N)
    awk -v t=$((after - before)) -v hz="$hz" -v s="$start" -v e="$end" 'BEGIN {
        printf "viewer CPU while following: %.2f s in %.1f s = %.1f %% of one core\n", t / hz, e - s, 100 * t / hz / (e - s) }'
    kill "$pid"
fi
