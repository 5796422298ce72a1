#!/usr/bin/env bash
# Runs TEST_BINARY against a folder mounted with bindfs, which like sshfs and
# network mounts keeps file attributes in the kernel and reports no changes.
# Exit 77 (skipped) without bindfs, /dev/fuse or the right to mount.
#   MountTest.sh TEST_BINARY WORK_DIR
set -euo pipefail
binary=$1 work=$2
command -v bindfs >/dev/null || { echo "skipped: no bindfs"; exit 77; }
[[ -c /dev/fuse ]] || { echo "skipped: no /dev/fuse"; exit 77; }
# Mounting takes the superuser: a user with sudo mounts as root, open to all
# users, as an administrator mounts a share.
as_root=()
if ((EUID != 0)); then
    sudo -n true 2>/dev/null || { echo "skipped: no right to mount"; exit 77; }
    as_root=(sudo -n)
fi
rm -rf "$work"
mkdir -p "$work/source" "$work/mounted"
"${as_root[@]}" bindfs -o allow_other "$work/source" "$work/mounted" 2>"$work/bindfs.log" ||
    { echo "skipped: cannot mount: $(cat "$work/bindfs.log")"; exit 77; }
trap '"${as_root[@]}" umount "$work/mounted"' EXIT
QORNV_MOUNT_SOURCE="$work/source" QORNV_MOUNTED="$work/mounted" "$binary"
