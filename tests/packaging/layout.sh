# shellcheck shell=bash
# What an installation holds, below its prefix (/usr for the package), and
# the checks of it shared by the install and the package tests. The caller
# defines fail().

installed_files=(
    bin/Kelvora_EN
    bin/Kelvora_PL
    share/applications/kelvora_en.desktop
    share/applications/kelvora_pl.desktop
    share/icons/hicolor/16x16/apps/kelvora.png
    share/icons/hicolor/32x32/apps/kelvora.png
    share/icons/hicolor/48x48/apps/kelvora.png
    share/icons/hicolor/scalable/apps/kelvora.svg
    share/man/man1/Kelvora_EN.1.gz
    share/man/man1/Kelvora_PL.1.gz
    share/doc/kelvora/copyright
    share/doc/kelvora/changelog.gz
)

# desktop file        program     name in the menu
desktop_entries=(
    "kelvora_en.desktop Kelvora_EN System resources monitor"
    "kelvora_pl.desktop Kelvora_PL Kelvora zasobów systemowych"
)

desktop_key() { sed -n "s/^$2=//p" "$1" | head -n 1; }

# PNG width and height from the IHDR chunk, or nothing when not a PNG.
png_size() {
    [ -f "$1" ] || return 0
    [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
    od -An -tu1 -j16 -N8 "$1" |
        awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 "x" $5 * 16777216 + $6 * 65536 + $7 * 256 + $8}'
}

check_layout() {
    local root=$1 file size listed expected
    listed=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
    expected=$(printf '%s\n' "${installed_files[@]}" | sort)
    [ "$listed" = "$expected" ] || fail "files differ from the layout:
$(diff <(echo "$expected") <(echo "$listed"))"

    for file in bin/Kelvora_EN bin/Kelvora_PL; do
        [ -x "$root/$file" ] || fail "$file is not executable"
    done
    for size in 16 32 48; do
        file=share/icons/hicolor/${size}x${size}/apps/kelvora.png
        [ "$(png_size "$root/$file")" = "${size}x${size}" ] ||
            fail "$file is not a ${size}x${size} PNG ($(png_size "$root/$file"))"
    done
    grep -q '<svg ' "$root/share/icons/hicolor/scalable/apps/kelvora.svg" 2>/dev/null ||
        fail "kelvora.svg holds no svg element"

    local row desktop program name path
    for row in "${desktop_entries[@]}"; do
        read -r desktop program name <<<"$row"
        path=$root/share/man/man1/$program.1.gz
        if [ -f "$path" ] && ! gzip -dc "$path" | grep -q "^\.TH $program 1 "; then
            fail "$program.1.gz is not the manual page of $program"
        fi
        path=$root/share/applications/$desktop
        [ -f "$path" ] || continue
        if command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$path" || fail "$desktop does not validate"
        else
            fail "desktop-file-validate missing (scripts/install-deps installs it)"
        fi
        [ "$(desktop_key "$path" Type)" = Application ] || fail "$desktop: Type"
        [ "$(desktop_key "$path" Name)" = "$name" ] || fail "$desktop: Name $(desktop_key "$path" Name)"
        [ "$(desktop_key "$path" Exec)" = "$program" ] || fail "$desktop: Exec $(desktop_key "$path" Exec)"
        [ -x "$root/bin/$(desktop_key "$path" Exec)" ] || fail "$desktop: Exec names no installed program"
        [ "$(desktop_key "$path" Icon)" = kelvora ] || fail "$desktop: Icon $(desktop_key "$path" Icon)"
        [ "$(desktop_key "$path" Categories)" = "System;Monitor;" ] || fail "$desktop: Categories"
        [ -n "$(desktop_key "$path" Comment)" ] || fail "$desktop: no Comment"
        [ "$(desktop_key "$path" StartupWMClass)" = "$program" ] || fail "$desktop: StartupWMClass"
    done
}
