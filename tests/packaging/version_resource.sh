#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Compiles each program's Windows version resource with the mingw resource
# compiler and reads the compiled data back: the numeric versions, the
# strings (UTF-16, Polish letters included; the company and copyright as
# LICENSE names them) and the US English language.
# Usage: version_resource.sh <folder with Kelvora_EN.rc and Kelvora_PL.rc>
set -uo pipefail
rc_dir=$1
windres=$(command -v x86_64-w64-mingw32-windres || command -v windres || true)
[ -n "$windres" ] || { echo "SKIP: no windres to compile the resources"; exit 77; }

failures=0
fail() { echo "FAIL [$program]: $*"; failures=$((failures + 1)); }

# Byte tokens "xx " of a file or of a text in UTF-16LE.
bytes_of_file() { od -An -tx1 -v "$1" | tr -s ' \n' ' '; }
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ' ' | sed 's/^ //'; }
# A 32-bit number as little-endian byte tokens.
dword() { printf '%08x' "$1" | sed -E 's/(..)(..)(..)(..)/\4 \3 \2 \1 /'; }

# program     numeric version  text version  file description
table=(
    "Kelvora_EN 1 4 0 26 1.04.0026 System resources monitor"
    "Kelvora_PL 1 4 0 23 1.04.0023 Kelvora zasobów systemowych"
)
product="Kelvora zasobów systemowych"
company="Kelvora maintainers"
copyright="Copyright (c) 2026 Kelvora maintainers"

# A string of the table: its key, the key's terminator, padding to 32 bits,
# the value and its terminator.
expect_string() {
    local pattern
    pattern=" $(utf16 "$1")00 00 (00 00 )?$(utf16 "$2")00 00 "
    [[ $data =~ $pattern ]] || fail "$1 is not \"$2\""
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for row in "${table[@]}"; do
    read -r program major minor patch build text_version description <<<"$row"
    if ! "$windres" -i "$rc_dir/$program.rc" -O res -o "$work/$program.res"; then
        fail "does not compile"
        continue
    fi
    data=" $(bytes_of_file "$work/$program.res")"

    # The resource's own header: type RT_VERSION (16), name 1, language 0x0409.
    [[ $data =~ " ff ff 10 00 ff ff 01 00 "(.. ){6}"09 04 " ]] || fail "resource language is not 0x0409"

    # VS_FIXEDFILEINFO: signature, structure version, file and product versions.
    ms=$(dword $(((major << 16) | minor)))
    ls=$(dword $(((patch << 16) | build)))
    fixed=" bd 04 ef fe 00 00 01 00 $ms$ls$ms$ls"
    [[ $data == *"$fixed"* ]] || fail "fixed versions are not $major.$minor.$patch.$build"

    [[ $data == *" $(utf16 040904b0)00 00 "* ]] || fail "no US English Unicode string table"
    expect_string FileVersion "$text_version"
    expect_string ProductVersion "$text_version"
    expect_string ProductName "$product"
    expect_string CompanyName "$company"
    expect_string LegalCopyright "$copyright"
    expect_string FileDescription "$description"
    expect_string OriginalFilename "$program.exe"
    [[ $data == *" $(utf16 Translation)00 00 "*"09 04 b0 04 "* ]] || fail "translation is not 0x0409, 1200"
done

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
