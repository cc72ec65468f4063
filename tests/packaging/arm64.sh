#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The programs on arm64: cross-built with Debian's own cross compilers and
# arm64 libraries in the root of scripts/arm64-root, their tests run there
# under qemu-user, the end-to-end and accessibility runs made with the arm64
# programs, and the arm64 Debian package built and checked with lintian.
#
# The end-to-end and accessibility runs use this machine's X server and
# tools: the programs run from here through the root's static qemu, which
# finds their libraries in the root. A path the root has is the root's to
# them (its / and /proc), any other this machine's, so the scenario that
# binds files over /proc does not reach them. Skipped where scripts/arm64-root
# cannot run.
# Usage: arm64.sh
set -uo pipefail
self=$(readlink -f "$0")
here=$(dirname "$self")
repo=$(cd "$here/../.." && pwd)
skip() { echo "SKIP: $*"; exit 77; }

# Tests that need this machine's X server and tools, or install packages,
# run from outside the root or not at all.
outside_root='^(a11y|fresh_root|deb_install)$'

# Beside the root: the tree built and tested in it, then the programs end to
# end from outside it.
build_and_test() {
    local root=$KELVORA_ARM64_ROOT in_root=$KELVORA_IN_ARM64_ROOT
    local build=/root/kelvora/build-arm64 status=0 start=$SECONDS
    mkdir "$root/root/kelvora"
    git -C "$repo" ls-files -z --cached --others --exclude-standard |
        (cd "$repo" && tar --null --no-recursion -T - -cf -) | tar -C "$root/root/kelvora" -xf - ||
        exit 1
    "$in_root" cmake -S /root/kelvora -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE=/root/kelvora/cmake/aarch64-linux-gnu.cmake \
        -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$root/build.log" 2>&1 &&
        "$in_root" cmake --build "$build" -j "${KELVORA_JOBS:-2}" >>"$root/build.log" 2>&1 || {
        tail -n 30 "$root/build.log"
        echo "FAIL: the arm64 build failed"
        exit 1
    }
    echo "built for arm64 in $((SECONDS - start)) s"

    # dpkg-shlibdeps reads the programs with the arm64 objdump when told the
    # package's architecture.
    start=$SECONDS
    "$in_root" env DEB_HOST_ARCH=arm64 ctest --test-dir "$build" --output-on-failure \
        -E "$outside_root" || status=1
    echo "arm64 tests under qemu in $((SECONDS - start)) s"

    # The runs' folders lie in the namespace's tmpfs, so a killed namespace
    # leaves none behind.
    local wrappers program
    wrappers=$(mktemp -d "$root/tmp/programs.XXXXXX") && export TMPDIR=$root/tmp || exit 1
    # qemu finds a path in the root first when it opens a file, but not when
    # Qt looks for its plugin folder with statx, which it passes through:
    # Qt is told where the folder lies as seen from here.
    for program in Kelvora_EN Kelvora_PL; do
        printf '#!/bin/sh\nQT_PLUGIN_PATH=%q exec %q -L %q %q "$@"\n' \
            "$root/usr/lib/aarch64-linux-gnu/qt6/plugins" "$root/usr/bin/qemu-aarch64-static" "$root" \
            "$root$build/bin/$program" >"$wrappers/$program"
        chmod +x "$wrappers/$program"
    done
    # The scenarios ask the same folder which plugins the programs have.
    export QT_PLUGIN_PATH=$root/usr/lib/aarch64-linux-gnu/qt6/plugins
    start=$SECONDS
    "$repo/tests/e2e/run" "$wrappers/Kelvora_EN" "$wrappers/Kelvora_PL" || status=1
    echo "arm64 end to end under qemu in $((SECONDS - start)) s"
    start=$SECONDS
    "$repo/tests/e2e/a11y" "$wrappers/Kelvora_EN" "$wrappers/Kelvora_PL" || status=1
    echo "arm64 accessibility under qemu in $((SECONDS - start)) s"
    exit "$status"
}

case ${1:-} in
--beside-root) build_and_test ;;
esac

start=$SECONDS
"$repo/scripts/arm64-root" "$self" --beside-root
status=$?
[ "$status" -eq 77 ] && skip "no arm64 root here (scripts/arm64-root)"
echo "arm64 run: $((SECONDS - start)) s"
exit "$status"
