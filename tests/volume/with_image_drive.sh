#!/bin/sh
# Runs a command with a fresh loop-mounted ext4 image mapped as a drive letter of the Wine
# prefix, so that free-space and whole-volume erases have a drive of their own that no
# host data shares. Always unmounts and removes the image afterwards, also when
# interrupted. Fails (never skips) when the image cannot be mounted.
# Usage: with_image_drive.sh PREFIX WORK SIZE_MIB LETTER COMMAND [ARGS...]
#   WORK    a folder of this run, inside the folder the prefix maps as D:; it holds the
#           image, its mount folder, the channel to image_watcher.py and link targets
#   LETTER  the drive the image becomes (never one the prefix already maps)
# The command sees QMZ_IMAGE_DRIVE ("E:"), QMZ_IMAGE_TOKEN (the text of the token file
# in the image's root), QMZ_IMAGE_MIB, QMZ_IMAGE_MOUNT (the host's mount folder),
# QMZ_VOLUME_WORK and QMZ_VOLUME_CHANNEL (D: paths) and XDG_DATA_HOME, so that Wine's
# Recycle Bin lies in WORK too, not in the host's home.
set -u
if [ $# -lt 5 ]; then
    echo "usage: with_image_drive.sh PREFIX WORK SIZE_MIB LETTER COMMAND [ARGS...]" >&2
    exit 2
fi
prefix="$1"
work="$2"
mib="$3"
letter=$(echo "$4" | tr 'A-Z' 'a-z')
shift 4
here="$(cd "$(dirname "$0")" && pwd)"
image="$work/image.ext4"
mnt="$work/mnt"
channel="$work/channel"
device="$prefix/dosdevices/$letter:"
watcher=""
child=""

fail() {
    echo "with_image_drive: FAIL: $*" >&2
    exit 1
}

interrupted() {
    [ -n "$child" ] && kill -TERM "$child" 2>/dev/null
    exit 130
}

mounted() { findmnt -n --mountpoint "$mnt" >/dev/null 2>&1; }

cleanup() {
    trap - EXIT INT TERM HUP
    if [ -n "$watcher" ]; then
        touch "$channel/quit" 2>/dev/null
        for _ in $(seq 50); do
            kill -0 "$watcher" 2>/dev/null || break
            sleep 0.1
        done
        kill "$watcher" 2>/dev/null
        wait "$watcher" 2>/dev/null
    fi
    # Wine's session ends a few seconds after its last process; until then its helpers
    # (the menu builder writes into XDG_DATA_HOME) may still hold or write files here.
    WINEPREFIX="$prefix" timeout 60 wineserver -w 2>/dev/null
    # The drive goes first: nothing may reach the mount folder once the image is gone.
    if [ -L "$device" ] && [ "$(readlink "$device")" = "$mnt" ]; then
        rm -f "$device"
    fi
    # A Wine process may still hold a file of the image for a moment after a test ends.
    for _ in $(seq 100); do
        mounted || break
        umount "$mnt" 2>/dev/null && break
        sleep 0.2
    done
    if mounted; then
        echo "with_image_drive: $mnt stays busy; detaching it lazily" >&2
        umount -l "$mnt"
    fi
    chattr -i "$mnt" 2>/dev/null
    if mounted; then
        echo "with_image_drive: FAIL: $mnt is still mounted" >&2
    else
        rm -rf "$work"
    fi
}

[ "$(id -u)" = 0 ] || fail "loop-mounting the test image needs root"
for tool in truncate mkfs.ext4 mount umount findmnt losetup chattr python3 wineserver timeout; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing"
done
[ -e /dev/loop-control ] || fail "no loop devices here (/dev/loop-control is missing)"
"$here/../../cmake/wine_prefix_check.sh" "$prefix" || exit 1
case "$letter" in
    [e-y]) ;;
    *) fail "drive $letter: is not a letter for a test image (only E: to Y:)" ;;
esac
case "$mib" in
    '' | *[!0-9]*) fail "size '$mib' is not a number of MiB" ;;
esac

# The work folder must lie inside D:, which is how the test reaches the channel.
scratch="$(readlink -f "$prefix/dosdevices/d:")" || fail "the prefix has no drive D:"
mkdir -p "$work" || fail "cannot create $work"
work="$(cd "$work" && pwd -P)"
image="$work/image.ext4"
mnt="$work/mnt"
channel="$work/channel"
case "$work/" in
    "$scratch"/*) ;;
    *) fail "$work is not inside drive D: ($scratch)" ;;
esac
work_in_d="D:$(echo "${work#"$scratch"}" | tr '/' '\\')"

# What an earlier, killed run left behind; the drive only when it is this run's.
if [ -e "$device" ] || [ -L "$device" ]; then
    [ "$(readlink "$device")" = "$mnt" ] || fail "drive $letter: already maps $(readlink "$device")"
    rm -f "$device"
fi
for _ in $(seq 20); do
    mounted || break
    umount "$mnt" 2>/dev/null || sleep 0.5
done
mounted && fail "an earlier image is still mounted at $mnt"
chattr -i "$mnt" 2>/dev/null
rm -rf "$work"

trap cleanup EXIT
trap 'interrupted' INT TERM HUP
mkdir -p "$channel" "$mnt" "$work/xdg" || fail "cannot create the folders in $work"
# Unmounted, the mount folder refuses every write, so that nothing meant for the image
# can land on the host's disk.
chattr +i "$mnt" || fail "cannot mark $mnt immutable"
truncate -s "${mib}M" "$image" || fail "cannot create $image"
# Blocks of 4 KiB, the cluster size Wine reports for every drive: with smaller blocks the
# last few blocks of free space could not be reached by writes of whole clusters. No
# journal: with one, the extent block of a fragmented fill file reaches only the journal
# and is freed with the file, keeping what its block held before, where no file data
# can reach.
mkfs.ext4 -q -m 0 -b 4096 -O ^has_journal -F "$image" || fail "mkfs.ext4 failed on $image"
mount -o loop "$image" "$mnt" || fail "cannot loop-mount $image (no loop device free?)"
# Drive and space free to the caller only once the mount is proven to be the image.
python3 "$here/image_watcher.py" prepare "$prefix" "$letter" "$image" "$mnt" ||
    fail "$mnt is not the loop mount of $image"
token="$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
printf '%s' "$token" >"$mnt/qmz-image-token.txt" || fail "cannot write the token"
ln -s "$mnt" "$device" || fail "cannot map $letter:"

python3 "$here/image_watcher.py" serve "$prefix" "$letter" "$image" "$mnt" "$channel" &
watcher=$!
for _ in $(seq 100); do
    [ -e "$channel/ready" ] && break
    kill -0 "$watcher" 2>/dev/null || fail "the image watcher did not start"
    sleep 0.05
done
[ -e "$channel/ready" ] || fail "the image watcher did not answer"

QMZ_IMAGE_DRIVE="$(echo "$letter" | tr 'a-z' 'A-Z'):"
export QMZ_IMAGE_DRIVE
export QMZ_IMAGE_TOKEN="$token"
export QMZ_IMAGE_MIB="$mib"
export QMZ_IMAGE_MOUNT="$mnt"
export QMZ_VOLUME_WORK="$work_in_d"
export QMZ_VOLUME_CHANNEL="$work_in_d\\channel"
export XDG_DATA_HOME="$work/xdg"
# In the background, so that a signal reaches the trap at once, not after the command.
"$@" &
child=$!
wait "$child"
status=$?
child=""
cleanup
exit $status
