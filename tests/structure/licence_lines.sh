#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every source file, script and CMake file of the tree says its licence in
# an SPDX line at its top (the first line, or the second after a #!).
# Usage: licence_lines.sh <top folder of the tree>
set -uo pipefail
cd "$1" || exit 1

# Scripts are the executable files; the rest goes by its name.
missing=$(find . \( -path './build*' -o -path ./.git -o -path ./tests/data -o -path ./tests/fuzz/seeds \) -prune -o \
    -type f \( -perm -u+x -o -name '*.cpp' -o -name '*.h' -o -name '*.py' -o -name '*.sh' -o -name '*.cmake' \
    -o -name CMakeLists.txt -o -name '*.rc.in' -o -name NSIS.template.in \) -print |
    while read -r file; do
        head -n 2 "$file" | grep -q 'SPDX-License-Identifier: MIT' || echo "$file"
    done | sort)
if [ -n "$missing" ]; then
    echo "FAIL: no SPDX licence line at the top of:"
    echo "$missing"
    exit 1
fi
echo "every source file, script and CMake file names its licence"
