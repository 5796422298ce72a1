#!/usr/bin/env bash
# Runs TEST_BINARY against a folder mounted with bindfs, which like sshfs and
# network mounts keeps file attributes in the kernel and reports no changes.
# Exit 77 (skipped) without bindfs, /dev/fuse or the right to mount.
#   MountTest.sh TEST_BINARY WORK_DIR
set -euo pipefail
binary=$1 work=$2
command -v bindfs >/dev/null || { echo "skipped: no bindfs"; exit 77; }
[[ -c /dev/fuse ]] || { echo "skipped: no /dev/fuse"; exit 77; }
rm -rf "$work"
mkdir -p "$work/source" "$work/mounted"
bindfs "$work/source" "$work/mounted" 2>/dev/null || { echo "skipped: cannot mount"; exit 77; }
trap 'fusermount -u "$work/mounted"' EXIT
QORNV_MOUNT_SOURCE="$work/source" QORNV_MOUNTED="$work/mounted" "$binary"
