#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# "cmake --install" into a fresh prefix lays out both programs, their menu
# entries and manual pages, the icon in the hicolor theme and the copyright
# file and changelog, and nothing else.
# Usage: install_layout.sh <build folder>
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
build=$1
source "$here/layout.sh"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
if cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
    check_layout "$prefix"
else
    fail "cmake --install failed: $(cat "$prefix.log")"
fi
rm -f "$prefix.log"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
