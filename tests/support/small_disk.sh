#!/usr/bin/env bash
# Runs a test program with a folder that holds at most 1 MB, named to it as PIXLANCE_SMALL_DISK.
#   small_disk.sh FOLDER PROGRAM [ARGS...]
# Where the test run has a mount namespace of its own (tools/test.sh gives it one when it can),
# the folder is a 1 MB tmpfs mounted there, and writes past it fail as on a full disk
# (PIXLANCE_SMALL_DISK_KIND=full). Otherwise nothing is mounted on the machine: the program may
# write no file larger than 1 MB instead (PIXLANCE_SMALL_DISK_KIND=limit).
set -u
folder=$1
shift
mkdir -p "$folder"
export PIXLANCE_SMALL_DISK=$folder
if [ "${PIXLANCE_OWN_MOUNT_NAMESPACE:-}" = 1 ] && mount -t tmpfs -o size=1m tmpfs "$folder"; then
    export PIXLANCE_SMALL_DISK_KIND=full
    "$@"
    rc=$?
    umount "$folder"
    exit "$rc"
fi
export PIXLANCE_SMALL_DISK_KIND=limit
export PIXLANCE_FILE_SIZE_LIMIT_KB=1024
exec "$@"
