# Minimal Debian root filesystems for building and checking the release
# (sourced by tools/make-release.sh and tools/check-release.sh; needs root and
# debootstrap).
#
#   debian_root DIR SUITE PACKAGE...   makes DIR a minbase root of SUITE with
#                                      PACKAGE... installed (no recommends);
#                                      kept and reused while the stamp inside
#                                      names the same suite and packages
#   root_run DIR COMMAND...            runs COMMAND in DIR with a clean
#                                      environment (VAR=VALUE words first
#                                      add to it)
#   root_mount DIR                     mounts /proc and /dev into DIR
#   root_bind SRC DIR/PATH [ro]        binds SRC there (read-only with ro)
#   root_unmount_all                   undoes every mount made here, newest first
#
# Every mount is recorded, so an EXIT trap calling root_unmount_all leaves the
# host as it was even when a step fails halfway.

debian_mirror=${VANTOR_DEBIAN_MIRROR:-http://deb.debian.org/debian}
root_mounts=()

debian_root() {
    local dir=$1 suite=$2
    shift 2
    local want="$suite $*"
    if [ -f "$dir/.vantor-root" ] && [ "$(cat "$dir/.vantor-root")" = "$want" ]; then
        return 0
    fi
    root_clear "$dir"
    mkdir -p "$(dirname "$dir")"
    local log=$dir.log
    if ! debootstrap --variant=minbase "$suite" "$dir" "$debian_mirror" >"$log" 2>&1; then
        echo "debootstrap of $suite failed; the end of $log:" >&2
        tail -n 20 "$log" >&2
        return 1
    fi
    if [ $# -gt 0 ]; then
        root_mount "$dir"
        if ! root_run "$dir" DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -q --no-install-recommends "$@" >>"$log" 2>&1; then
            echo "installing into the $suite root failed; the end of $log:" >&2
            tail -n 20 "$log" >&2
            return 1
        fi
        root_run "$dir" apt-get clean
    fi
    echo "$want" >"$dir/.vantor-root"
}

# Removes DIR after unmounting whatever is still mounted below it (a root left
# by an interrupted run); never crosses into another file system, so a bind
# mount that could not be undone is left standing rather than emptied.
root_clear() {
    local dir=$1 m
    [ -e "$dir" ] || return 0
    for m in $(awk -v d="$(readlink -f "$dir")/" 'index($2 "/", d) == 1 {print $2}' /proc/mounts | sort -r); do
        umount "$m" 2>/dev/null || umount -l "$m"
    done
    rm -rf --one-file-system "$dir"
}

# Nothing of the caller's environment goes in: compiler launchers, flags or
# library paths of this system would reach the root's compilers and loader
# and name programs and files the root does not have.
root_run() {
    local dir=$1
    shift
    chroot "$dir" env -i HOME=/root LANG=C PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

root_bind() {
    local src=$1 dst=$2
    mkdir -p "$dst"
    mount --bind "$src" "$dst"
    root_mounts+=("$dst")
    if [ "${3:-}" = ro ]; then
        mount -o remount,ro,bind "$dst"
    fi
}

root_mount() {
    local dir=$1
    if ! mountpoint -q "$dir/proc"; then
        mount -t proc proc "$dir/proc"
        root_mounts+=("$dir/proc")
    fi
    if ! mountpoint -q "$dir/dev"; then
        root_bind /dev "$dir/dev"
    fi
}

root_unmount_all() {
    local i
    for ((i = ${#root_mounts[@]} - 1; i >= 0; i--)); do
        umount "${root_mounts[$i]}" 2>/dev/null || umount -l "${root_mounts[$i]}" 2>/dev/null || true
    done
    root_mounts=()
}
