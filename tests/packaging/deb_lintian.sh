#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lintian, Debian's package checker, finds nothing in the Debian package, not
# even at its informational and pedantic levels (hardening, stripping,
# spelling). Its temporary files go to a folder of the test's own.
# Usage: deb_lintian.sh <folder holding the one kelvora_*.deb>
set -uo pipefail

deb=$(find "$1" -maxdepth 1 -name 'kelvora_*.deb' 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no package in $1"; exit 1; }
command -v lintian >/dev/null || { echo "FAIL: lintian missing (scripts/install-deps installs it)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Lintian warns on stderr when run as root; only its findings count.
TMPDIR=$work lintian -I --pedantic --fail-on error,warning,info,pedantic "$deb" \
    >"$work/findings" 2>"$work/stderr"
status=$?
cat "$work/findings"
if [ "$status" -ne 0 ] || grep -q '^[EWIP]: ' "$work/findings"; then
    cat "$work/stderr"
    echo "FAIL: lintian reports findings (status $status)"
    exit 1
fi
echo "lintian -I --pedantic: nothing found"
