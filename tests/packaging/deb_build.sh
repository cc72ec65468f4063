#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package with CPack into a folder of its own, for the
# package tests that follow.
# Usage: deb_build.sh <build folder> <output folder>
set -uo pipefail
build=$1
out=$2

rm -rf "$out"
mkdir -p "$out"
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    echo "FAIL: cpack did not build the package"
    exit 1
fi
packages=("$out"/kelvora_*.deb)
if [ "${#packages[@]}" -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    cat "$out/cpack.log"
    echo "FAIL: expected one kelvora_*.deb in $out"
    exit 1
fi
echo "built ${packages[0]}"
