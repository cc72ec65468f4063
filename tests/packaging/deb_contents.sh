#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package's control data and files: the layout of an
# installation below /usr, owned by root, with the dependencies a clean
# Debian 12 needs to run the programs.
# Usage: deb_contents.sh <folder holding the one kelvora_*.deb>
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
source "$here/layout.sh"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

deb=$(find "$1" -maxdepth 1 -name 'kelvora_*.deb' 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no package in $1"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kelvora ] || fail "Package $(field Package)"
[ "$(field Version)" = "$kelvora_version" ] || fail "Version $(field Version)"
[[ $(field Maintainer) =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer '$(field Maintainer)'"
[ -n "$(field Description)" ] || fail "no Description"
# Names in Depends, without their versions.
depends=" $(field Depends | sed -E 's/\([^)]*\)//g; s/[ ,|]+/ /g') "
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
    [[ $depends == *" $package "* ]] || fail "Depends lacks $package:$depends"
done
dpkg-deb -I "$deb" >/dev/null || fail "dpkg-deb -I cannot read the package"

listing=$(dpkg-deb -c "$deb") || fail "dpkg-deb -c cannot list the package"
awk '$2 != "root/root" {print "  " $0}' <<<"$listing" | grep . && fail "files not owned by root"
awk '$6 !~ /^\.\/usr\// {print "  " $0}' <<<"$listing" | grep . && fail "files outside /usr"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
if dpkg-deb -x "$deb" "$root"; then
    check_layout "$root/usr"
    # The architecture the programs were built for, which in a cross build is
    # not the build machine's.
    case $(file -b "$root/usr/bin/Kelvora_EN") in
    *x86-64*) built_for=amd64 ;;
    *aarch64*) built_for=arm64 ;;
    *) built_for="unknown ($(file -b "$root/usr/bin/Kelvora_EN"))" ;;
    esac
    [ "$(field Architecture)" = "$built_for" ] ||
        fail "Architecture $(field Architecture) for programs built for $built_for"
    # The stripped programs still keep each language to itself.
    "$here/binary_texts.sh" "$root/usr/bin/Kelvora_EN" "$root/usr/bin/Kelvora_PL" >/dev/null ||
        fail "the packaged programs mix their texts"
else
    fail "dpkg-deb -x cannot unpack the package"
fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
