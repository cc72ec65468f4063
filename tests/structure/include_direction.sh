#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Folders depend one way only: a source file includes headers of its own
# folder and of the folders below it, never of one above. The link order of
# the folders' libraries enforces the same for calls; this names the file.
# Usage: include_direction.sh <src folder>
set -uo pipefail
src=$1

declare -A below=(
    [platform]=""
    [sampling]="platform"
    [settings]="platform"
    [texts]=""
    [widgets]="platform sampling settings texts"
    [window_services]="widgets platform sampling settings texts"
    [colours]="window_services widgets platform sampling settings texts"
    [meter]="colours window_services widgets platform sampling settings texts"
    [app]="meter colours window_services widgets platform sampling settings texts"
)

failures=0
for folder in "${!below[@]}"; do
    [ -d "$src/$folder" ] || continue
    allowed=" $folder ${below[$folder]} "
    while IFS=: read -r file line included; do
        target=${included#*\"}
        target=${target%%/*}
        if [[ $allowed != *" $target "* ]]; then
            echo "FAIL: ${file#"$src"/}:$line includes $target/, which is above $folder/"
            failures=$((failures + 1))
        fi
    done < <(grep -rnoE '^#include "[a-z_]+/' "$src/$folder")
done
for folder in "$src"/*/; do
    folder=$(basename "$folder")
    [ -n "${below[$folder]+known}" ] || { echo "FAIL: $folder/ has no place in the order"; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ] && echo "every include points down"
[ "$failures" -eq 0 ]
