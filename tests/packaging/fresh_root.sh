#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The README's run command on a machine that has nothing yet: a minimal
# Debian 12 root (debootstrap's minbase), this tree copied into it as a clone
# would have it, and `scripts/run` started there as root. The test passes
# once the main window shows on the test's own X server.
#
# Everything happens in a private mount and process namespace whose root
# lives in a tmpfs of the namespace, so the root, its mounts and every
# process in it end with the test, however it ends. The minimal root is made
# once and kept as a tarball in ~/.cache/kelvora, beside the packages it
# downloaded, so later runs only install and build. Needs root
# (CAP_SYS_ADMIN) on a Debian system with network access to Debian's
# archive; anywhere else the test reports itself skipped.
# Usage: fresh_root.sh
set -uo pipefail
self=$(readlink -f "$0")
here=$(dirname "$self")
repo=$(cd "$here/../.." && pwd)
skip() { echo "SKIP: $*"; exit 77; }

suite=bookworm
mirror=http://deb.debian.org/debian
cache="${XDG_CACHE_HOME:-$HOME/.cache}/kelvora"
tarball="$cache/debian12-minbase.tar.gz"
archives="$cache/debian12-minbase-packages"
title="System resources monitor"
# The first build in the root, with the packages still to download, takes a
# few minutes on two cores.
window_wait_s=1500

# In the namespace: the minimal root made once into its tmpfs and kept.
make_tarball() { # work
    local root=$1/root
    mkdir -p "$1"
    mount -t tmpfs -o mode=0755 kelvora-test "$1" || exit 77
    mkdir "$root"
    debootstrap --variant=minbase "$suite" "$root" "$mirror" >"$1/debootstrap.log" 2>&1 || {
        tail -n 20 "$1/debootstrap.log"
        exit 1
    }
    # What debootstrap downloaded serves the installs later on.
    mkdir -p "$archives"
    mv "$root"/var/cache/apt/archives/*.deb "$archives/" 2>/dev/null
    tar -C "$root" --numeric-owner -czf "$tarball.part" . && mv "$tarball.part" "$tarball"
}

# In the namespace: the root unpacked into its tmpfs, the tree copied in,
# and the README's command run there.
run_in_root() { # work display
    local work=$1 root=$1/root display=$2 pid id=""
    mkdir -p "$work"
    mount -t tmpfs -o mode=0755 kelvora-test "$work" || exit 77
    mkdir "$root" && tar -C "$root" -xzf "$tarball" || exit 1
    mount -t proc proc "$root/proc" || exit 77
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    mkdir -p "$archives" && mount --bind "$archives" "$root/var/cache/apt/archives" || exit 77
    # The files a clone has: those git tracks, as they are in the work tree.
    mkdir "$root/root/kelvora"
    git -C "$repo" ls-files -z --cached --others --exclude-standard |
        (cd "$repo" && tar --null --no-recursion -T - -cf -) | tar -C "$root/root/kelvora" -xf - ||
        exit 1

    # The X server listens on the abstract socket only, which the root
    # shares with this machine's network namespace.
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb DISPLAY="$display" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /root/kelvora/scripts/run >"$work/run.log" 2>&1 &
    pid=$!
    for _ in $(seq $((window_wait_s * 2))); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    if [ -z "$id" ]; then
        echo "FAIL: no window \"$title\" from scripts/run in a fresh Debian 12 root"
        tail -n 30 "$work/run.log"
        exit 1
    fi
    grep -E '^(Installing|\[[0-9]+/[0-9]+\] Linking)' "$work/run.log"
    echo "ok: scripts/run showed \"$title\" in a fresh Debian 12 root after ${SECONDS}s"
}

case ${1:-} in
--make-tarball) make_tarball "$2"; exit ;;
--run) run_in_root "$2" "$3"; exit ;;
esac

[ "$(id -u)" -eq 0 ] || skip "needs root"
command -v debootstrap >/dev/null || skip "debootstrap is not installed"
unshare --mount --propagation private --pid --fork true 2>/dev/null ||
    skip "no private mount namespace here (needs CAP_SYS_ADMIN)"

source "$here/../e2e/lib.sh"
begin_run
namespace=""
# The namespace ends with its first process (--kill-child), and its mounts
# and the root in its tmpfs with it.
end_namespace() {
    if [ -n "$namespace" ]; then
        kill -KILL "$namespace" 2>/dev/null
        wait "$namespace" 2>/dev/null
        namespace=""
    fi
}
trap 'end_namespace; end_run' EXIT

in_namespace() { # what...
    # In the background, so that an interrupt reaches the trap at once.
    unshare --mount --propagation private --pid --fork --kill-child "$self" "$@" &
    namespace=$!
    wait "$namespace"
    status=$?
    namespace=""
    [ "$status" -eq 77 ] && skip "cannot mount in a private namespace here"
    return "$status"
}

if [ ! -f "$tarball" ]; then
    mkdir -p "$cache"
    in_namespace --make-tarball "$run_dir/bootstrap" || exit 1
fi
start_display none
in_namespace --run "$run_dir/root" "$DISPLAY"
