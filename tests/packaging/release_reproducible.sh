#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A release rebuilds bit for bit: scripts/release run twice on the committed
# tree, from two clones in folders of different names and depths, with a
# different umask, time zone, locale and number of jobs, minutes apart, must
# write the same SHA256SUMS. On a difference diffoscope says where it lies
# (or, without it, which files differ).
# Usage: release_reproducible.sh
set -uo pipefail
repo=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvora-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

release() { # folder umask zone locale jobs
    local folder=$1
    mkdir -p "$folder"
    git clone -q --shared "$repo" "$folder/kelvora" || return 1
    (
        umask "$2"
        cd "$folder/kelvora" &&
            TZ=$3 LANG=$4 LC_ALL=$4 KELVORA_JOBS=$5 TMPDIR=$folder \
                scripts/release --out "$folder/dist" >"$folder/release.log" 2>&1
    )
    local status=$?
    [ "$status" -eq 0 ] && return 0
    tail -n 30 "$folder/release.log"
    [ "$status" -eq 77 ] && { echo "SKIP: no release can be built here"; exit 77; }
    echo "FAIL: scripts/release failed in $folder"
    return 1
}

first="$work/a"
second="$work/b/a folder/nested deeper"
release "$first" 022 UTC C.UTF-8 2 || exit 1
start=$SECONDS
release "$second" 077 Pacific/Kiritimati C 1 || exit 1
echo "one release: $((SECONDS - start)) s"

if cmp -s "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS"; then
    cat "$first/dist/SHA256SUMS"
    echo "ok: two releases of $(git -C "$repo" rev-parse --short HEAD) are the same"
    exit 0
fi
echo "FAIL: two releases of one commit differ"
diff "$first/dist/SHA256SUMS" "$second/dist/SHA256SUMS"
while read -r _ name; do
    cmp -s "$first/dist/$name" "$second/dist/$name" && continue
    if command -v diffoscope >/dev/null; then
        diffoscope --text - --max-report-size 200000 "$first/dist/$name" "$second/dist/$name"
    else
        cmp "$first/dist/$name" "$second/dist/$name"
    fi
done <"$first/dist/SHA256SUMS"
exit 1
