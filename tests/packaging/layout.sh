# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# What an installation holds, below its prefix (/usr for the package), and
# the checks of it shared by the install and the package tests. The caller
# defines fail().

installed_files=(
    bin/Kelvora_EN
    bin/Kelvora_PL
    share/applications/org.kelvora.Kelvora_EN.desktop
    share/applications/org.kelvora.Kelvora_PL.desktop
    share/metainfo/org.kelvora.Kelvora_EN.metainfo.xml
    share/metainfo/org.kelvora.Kelvora_PL.metainfo.xml
    share/icons/hicolor/16x16/apps/org.kelvora.Kelvora.png
    share/icons/hicolor/32x32/apps/org.kelvora.Kelvora.png
    share/icons/hicolor/48x48/apps/org.kelvora.Kelvora.png
    share/icons/hicolor/scalable/apps/org.kelvora.Kelvora.svg
    share/man/man1/Kelvora_EN.1.gz
    share/man/man1/Kelvora_PL.1.gz
    share/doc/kelvora/copyright
    share/doc/kelvora/changelog.gz
    share/lintian/overrides/kelvora
)

# The package's version, as its changelog and listings give it.
kelvora_version=1.4.0
icon_id=org.kelvora.Kelvora
# id                     program     name in the menu and the software centre
desktop_entries=(
    "org.kelvora.Kelvora_EN Kelvora_EN System resources monitor"
    "org.kelvora.Kelvora_PL Kelvora_PL Kelvora zasobów systemowych"
)

desktop_key() { sed -n "s/^$2=//p" "$1" | head -n 1; }

# PNG width and height from the IHDR chunk, or nothing when not a PNG.
png_size() {
    [ -f "$1" ] || return 0
    [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
    od -An -tu1 -j16 -N8 "$1" |
        awk '{print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 "x" $5 * 16777216 + $6 * 65536 + $7 * 256 + $8}'
}

# The software centres' listing of one program: valid AppStream, naming its
# menu entry, its program and the icon, and a release of the package's version.
check_metainfo() { # file id desktop name
    local file=$1
    [ -f "$file" ] || return 0
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$file" >/dev/null || fail "$(appstreamcli validate --no-net "$file")"
    else
        fail "appstreamcli missing (scripts/install-deps installs it)"
    fi
    local expected
    for expected in "<id>$2</id>" "<name>$4</name>" "<launchable type=\"desktop-id\">$3</launchable>" \
        "<icon type=\"stock\">$icon_id</icon>" "<binary>${2##*.}</binary>" \
        "<release version=\"$kelvora_version\""; do
        grep -qF "$expected" "$file" || fail "$(basename "$file") lacks $expected"
    done
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
        file=share/icons/hicolor/${size}x${size}/apps/$icon_id.png
        [ "$(png_size "$root/$file")" = "${size}x${size}" ] ||
            fail "$file is not a ${size}x${size} PNG ($(png_size "$root/$file"))"
    done
    grep -q '<svg ' "$root/share/icons/hicolor/scalable/apps/$icon_id.svg" 2>/dev/null ||
        fail "$icon_id.svg holds no svg element"

    local row id desktop program name path
    for row in "${desktop_entries[@]}"; do
        read -r id program name <<<"$row"
        desktop=$id.desktop
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
        [ "$(desktop_key "$path" Icon)" = "$icon_id" ] || fail "$desktop: Icon $(desktop_key "$path" Icon)"
        [ "$(desktop_key "$path" Categories)" = "System;Monitor;" ] || fail "$desktop: Categories"
        [ -n "$(desktop_key "$path" Comment)" ] || fail "$desktop: no Comment"
        [ "$(desktop_key "$path" StartupWMClass)" = "$program" ] || fail "$desktop: StartupWMClass"
        check_metainfo "$root/share/metainfo/$id.metainfo.xml" "$id" "$desktop" "$name"
    done
}
