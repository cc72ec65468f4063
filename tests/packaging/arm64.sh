#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The programs on arm64: cross-built with Debian's own cross compilers and
# arm64 libraries, their tests run under qemu-user, the end-to-end and
# accessibility runs made with the arm64 programs, and the arm64 Debian
# package built and checked with lintian.
#
# Installing arm64 libraries on this machine would upgrade its own packages
# to the versions of the mirror (a library and its arm64 twin must be of one
# version), so all of it happens in the minimal Debian 12 root fresh_root
# keeps in ~/.cache/kelvora, unpacked into a tmpfs of a private mount and
# process namespace that ends with the test. The packages installed there
# are kept beside the root, so later runs download nothing. The programs run
# from here through the root's static qemu, which finds their libraries in
# the root: a path the root has is the root's to them (its / and /proc), any
# other this machine's, so the scenario that binds files over /proc does not
# reach them. Needs root (CAP_SYS_ADMIN) and the root fresh_root made, which
# scripts/test runs first; anywhere else the test is skipped.
# Usage: arm64.sh
set -uo pipefail
self=$(readlink -f "$0")
here=$(dirname "$self")
repo=$(cd "$here/../.." && pwd)
skip() { echo "SKIP: $*"; exit 77; }

cache="${XDG_CACHE_HOME:-$HOME/.cache}/kelvora"
tarball="$cache/debian12-minbase.tar.gz"
archives="$cache/debian12-arm64-packages"
packages=(
    cmake ninja-build g++ crossbuild-essential-arm64 qemu-user-static file dpkg-dev lintian
    desktop-file-utils appstream
    qt6-base-dev:arm64 libgl-dev:arm64 libgtest-dev:arm64 libgmock-dev:arm64
    qt6-qpa-plugins:arm64 fonts-dejavu-extra
)
# Tests that need this machine's X server and tools, or install packages,
# run from outside the root or not at all.
outside_root='^(e2e|a11y|fresh_root|deb_install)$'

# In the namespace: the root with the cross tools, the tree built and tested
# in it, then the programs end to end from outside it.
run_in_root() { # work
    local work=$1 root=$1/root build=/root/kelvora/build-arm64 status=0
    mkdir -p "$work"
    mount -t tmpfs -o mode=0755 kelvora-test "$work" || exit 77
    # The end-to-end scenarios find the programs' processes, their children
    # and open files in /proc by the ids this namespace gives them.
    mount -t proc proc /proc || exit 77
    mkdir "$root" && tar -C "$root" -xzf "$tarball" || exit 1
    mount -t proc proc "$root/proc" || exit 77
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    mkdir -p "$archives" && mount --bind "$archives" "$root/var/cache/apt/archives" || exit 77
    mkdir "$root/root/kelvora"
    git -C "$repo" ls-files -z --cached --others --exclude-standard |
        (cd "$repo" && tar --null --no-recursion -T - -cf -) | tar -C "$root/root/kelvora" -xf - ||
        exit 1
    in_root() {
        chroot "$root" /usr/bin/env -i HOME=/root LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
    }

    local start=$SECONDS
    in_root dpkg --add-architecture arm64 &&
        in_root apt-get -q update >"$work/apt.log" 2>&1 &&
        in_root apt-get install -y -q --no-install-recommends "${packages[@]}" >>"$work/apt.log" 2>&1 || {
        tail -n 30 "$work/apt.log"
        echo "FAIL: the arm64 cross tools do not install in the root"
        exit 1
    }
    echo "cross tools installed in $((SECONDS - start)) s"

    start=$SECONDS
    in_root cmake -S /root/kelvora -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE=/root/kelvora/cmake/aarch64-linux-gnu.cmake \
        -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/build.log" 2>&1 &&
        in_root cmake --build "$build" -j "${KELVORA_JOBS:-2}" >>"$work/build.log" 2>&1 || {
        tail -n 30 "$work/build.log"
        echo "FAIL: the arm64 build failed"
        exit 1
    }
    echo "built for arm64 in $((SECONDS - start)) s"

    # dpkg-shlibdeps reads the programs with the arm64 objdump when told the
    # package's architecture.
    start=$SECONDS
    in_root env DEB_HOST_ARCH=arm64 ctest --test-dir "$build" --output-on-failure \
        -E "$outside_root" || status=1
    echo "arm64 tests under qemu in $((SECONDS - start)) s"

    local wrappers=$work/programs program
    mkdir "$wrappers"
    # qemu finds a path in the root first when it opens a file, but not when
    # Qt looks for its plugin folder with statx, which it passes through:
    # Qt is told where the folder lies as seen from here.
    for program in Kelvora_EN Kelvora_PL; do
        printf '#!/bin/sh\nQT_PLUGIN_PATH=%s exec %s -L %s %s "$@"\n' \
            "$root/usr/lib/aarch64-linux-gnu/qt6/plugins" "$root/usr/bin/qemu-aarch64-static" "$root" \
            "$root$build/bin/$program" >"$wrappers/$program"
        chmod +x "$wrappers/$program"
    done
    # The runs' folders lie in the namespace's tmpfs, so a killed namespace
    # leaves none behind.
    mkdir "$work/tmp" && export TMPDIR=$work/tmp
    start=$SECONDS
    "$repo/tests/e2e/run" "$wrappers/Kelvora_EN" "$wrappers/Kelvora_PL" || status=1
    echo "arm64 end to end under qemu in $((SECONDS - start)) s"
    start=$SECONDS
    "$repo/tests/e2e/a11y" "$wrappers/Kelvora_EN" "$wrappers/Kelvora_PL" || status=1
    echo "arm64 accessibility under qemu in $((SECONDS - start)) s"
    if [ -n "${KELVORA_ARM64_DEB_OUT:-}" ]; then
        cp "$root$build/tests/deb"/kelvora_*_arm64.deb "$KELVORA_ARM64_DEB_OUT/" || status=1
    fi
    exit "$status"
}

case ${1:-} in
--run) run_in_root "$2"; exit ;;
esac

[ "$(id -u)" -eq 0 ] || skip "needs root"
unshare --mount --propagation private --pid --fork true 2>/dev/null ||
    skip "no private mount namespace here (needs CAP_SYS_ADMIN)"
[ -f "$tarball" ] || skip "no minimal Debian 12 root in $cache yet (fresh_root makes it)"

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvora-arm64.XXXXXX") || exit 1
namespace=""
# The namespace ends with its first process (--kill-child), and its mounts
# and the root in its tmpfs with it.
end_namespace() {
    if [ -n "$namespace" ]; then
        kill -KILL "$namespace" 2>/dev/null
        wait "$namespace" 2>/dev/null
        namespace=""
    fi
    rm -rf "$work"
}
trap end_namespace EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

start=$SECONDS
# In the background, so that an interrupt reaches the trap at once.
unshare --mount --propagation private --pid --fork --kill-child "$self" --run "$work/ns" &
namespace=$!
wait "$namespace"
status=$?
namespace=""
[ "$status" -eq 77 ] && skip "cannot mount in a private namespace here"
echo "arm64 run: $((SECONDS - start)) s"
exit "$status"
