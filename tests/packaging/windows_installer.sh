#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows programs and their installer as a user meets them. Read with
# the cross resource compiler: each program and the installer carry the
# icon, exactly one manifest and their version data. Under wine on Xvfb with
# openbox, in a wine prefix of its own: a silent install for the current
# user, the default, puts exactly the programs' files, their licences
# included, under the user's local programs folder with the user's own
# Start-menu entries and uninstall entry, touching nothing of the machine's;
# each entry starts its program; /ALLUSERS does the same under Program Files
# for every user. The uninstall the entry names takes the folder, the
# Start-menu entries and the uninstall entry and leaves the user's settings.
# A running program makes an uninstall and an install over it fail and
# change nothing. The ZIP holds the same files as the installed folder, and
# both have LICENSE.txt and NOTICE.txt with Windows line ends.
# Usage: windows_installer.sh <Windows build folder, after cpack>
set -uo pipefail
[ "$#" -eq 1 ] || { echo "usage: $0 <Windows build folder>" >&2; exit 2; }

here=$(dirname "$(readlink -f "$0")")
build=$(readlink -f "$1")
source "$here/../e2e/lib.sh"
source "$here/../e2e/windows/wine.sh"

shopt -s nullglob
installers=("$build"/Kelvora-*-win64.exe)
zips=("$build"/Kelvora-*-win64.zip)
shopt -u nullglob
if [ "${#installers[@]}" -ne 1 ] || [ "${#zips[@]}" -ne 1 ]; then
    echo "expected one installer and one ZIP in $build: run cpack there" >&2
    exit 2
fi
installer=${installers[0]} zip=${zips[0]}
# Qt's licence notices are installed as Qt ships them.
qt_cmake=$(sed -n 's/^Qt6_DIR:PATH=//p' "$build/CMakeCache.txt")
qt_licences=$(readlink -f "$qt_cmake/../../../share/licenses/qt6-base")

source=$(readlink -f "$here/../..")
EN_TITLE="System resources monitor"
PL_TITLE="Kelvora zasobów systemowych"
windres=$(command -v x86_64-w64-mingw32-windres)
UNINSTALL_KEY='Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvora'
# The uninstall entry shows the English program's version and icon.
DISPLAY_VERSION=1.04.0026
COMPANY="Kelvora maintainers"
COPYRIGHT="Copyright (c) 2026 Kelvora maintainers"

# The files of a folder, one relative path a line, sorted.
files_in() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }

# The files the installed folder has to hold, and no others.
expected_files() {
    {
        printf '%s\n' Kelvora_EN.exe Kelvora_PL.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
            platforms/qwindows.dll styles/qwindowsvistastyle.dll \
            libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll NOTICE.txt Uninstall.exe \
            LICENSE.txt licences/gcc/copyright.txt licences/gcc/GPL-3.txt licences/mingw-w64/copyright.txt
        files_in "$qt_licences" | sed 's|^|licences/qt/|'
    } | LC_ALL=C sort
}

# The licence texts each package carries: file, and a line of its text.
licence_table=(
    "LICENSE.txt|Permission is hereby granted, free of charge, to any person obtaining a copy"
    "licences/gcc/copyright.txt|GCC RUNTIME LIBRARY EXCEPTION"
    "licences/gcc/GPL-3.txt|                    GNU GENERAL PUBLIC LICENSE"
    "licences/mingw-w64/copyright.txt|Files: mingw-w64-libraries/winpthreads/*"
    "licences/mingw-w64/copyright.txt|License: BSD-3-clause-Lockless"
)

# Fails unless the files `read_file` gives hold the licence texts, LICENSE.txt
# the tree's own LICENSE, and the two files at the top end every line in CR LF
# as Windows text files do.
expect_licences() { # what read_file
    local row file line text
    for row in "${licence_table[@]}"; do
        IFS='|' read -r file line <<<"$row"
        text=$("$2" "$file" | tr -d '\r')
        grep -qxF "$line" <<<"$text" || fail "$1: $file lacks '$line'"
    done
    cmp -s <("$2" LICENSE.txt) <(sed 's/$/\r/' "$source/LICENSE") ||
        fail "$1: LICENSE.txt is not the tree's LICENSE with CR LF line ends"
    [ "$("$2" NOTICE.txt | grep -vc $'\r$')" -eq 0 ] || fail "$1: NOTICE.txt has lines without CR LF"
}

# The resources each artefact carries: file, fixed version, text version and
# the manifest table its manifest must match.
resource_table=(
    "$build/bin/Kelvora_EN.exe|1, 4, 0, 26|1.04.0026|program_manifest"
    "$build/bin/Kelvora_PL.exe|1, 4, 0, 23|1.04.0023|program_manifest"
    "$installer|1, 4, 0, 26|$DISPLAY_VERSION|installer_manifest"
)
# Lines a program's manifest holds: Windows 10 and 11, per-monitor DPI
# awareness (version 2, and the older word), the common controls 6, and no
# elevation.
program_manifest=(
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>'
    'PerMonitorV2</dpiAwareness>'
    'true/pm</dpiAware>'
    'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'
    'level="asInvoker"'
)
# The installer's asks for no elevation, which a per-user install needs.
installer_manifest=('level="asInvoker"')
ICON_SIZES="16 32 48 256"

# The sizes of the one icon group in a decompiled resource script: each
# element starts with its width, octal, 0 meaning 256.
icon_sizes() {
    sed -n '/RT_GROUP_ICON/,/^END/p' |
        sed -nE 's/^ *"\\([0-7]{3})\\[0-7]{3}\\000\\000", 1, 32,.*/\1/p' |
        while read -r octal; do
            size=$((8#$octal))
            echo $((size == 0 ? 256 : size))
        done | sort -n | tr '\n' ' ' | sed 's/ $//'
}

uninstall_entry_exists() { wine reg query "$1\\$UNINSTALL_KEY" >/dev/null 2>&1; } # root
# A value of the uninstall entry, as reg prints it (DWORDs as 0x...).
uninstall_value() { # root name
    wine reg query "$1\\$UNINSTALL_KEY" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^    $2    REG_[A-Z_]*    //p"
}
# A Windows path with its variables filled in (cmd quotes one with blanks).
windows_path() { wine cmd /c echo "$1" 2>/dev/null | tr -d '\r"'; }

begin_run
work=$run_dir/resources
mkdir -p "$work"
for row in "${resource_table[@]}"; do
    IFS='|' read -r file fixed text_version manifest_table <<<"$row"
    begin "${file##*/} carries the icon, one manifest and its version data"
    if "$windres" -i "$file" -J coff -O rc -o "$work/resources.rc" &&
        "$windres" -i "$file" -J coff -O res -o "$work/resources.res"; then
        rc=$(cat "$work/resources.rc")
        [ "$(grep -c 'RT_GROUP_ICON' <<<"$rc")" -eq 1 ] || fail "not one icon group"
        sizes=$(icon_sizes <<<"$rc")
        [ "$sizes" = "$ICON_SIZES" ] || fail "icon sizes '$sizes', not '$ICON_SIZES'"
        [ "$(grep -c ' 24 /\* RT_MANIFEST \*/' <<<"$rc")" -eq 1 ] || fail "not one manifest"
        declare -n lines=$manifest_table
        for line in "${lines[@]}"; do
            grep -aqF "$line" "$work/resources.res" || fail "the manifest lacks '$line'"
        done
        unset -n lines
        [ "$(grep -c '^1 VERSIONINFO' <<<"$rc")" -eq 1 ] || fail "not one version resource"
        for line in "FILEVERSION $fixed" "PRODUCTVERSION $fixed" \
            "VALUE \"FileVersion\", \"$text_version\"" "VALUE \"ProductVersion\", \"$text_version\"" \
            "VALUE \"CompanyName\", \"$COMPANY\"" "VALUE \"LegalCopyright\", \"$COPYRIGHT\""; do
            grep -qF -- "$line" <<<"$rc" || fail "version data lacks '$line'"
        done
    else
        fail "its resources cannot be read"
    fi
    pass
done

start_display openbox
begin_wine
echo "installer $(stat -c %s "$installer") bytes, ZIP $(stat -c %s "$zip") bytes"

# Each install: for whom, the installer's switches, the folder, the
# registry root of its uninstall entry and the other root, left alone, and
# its Start-menu folder.
install_table=(
    "the current user|/S|%LOCALAPPDATA%\Programs\Kelvora|HKCU|HKLM|%APPDATA%\Microsoft\Windows\Start Menu\Programs\Kelvora"
    "all users|/S /ALLUSERS|%ProgramFiles%\Kelvora|HKLM|HKCU|%ProgramData%\Microsoft\Windows\Start Menu\Programs\Kelvora"
)
program_files=$(wine_unix_path '%ProgramFiles%\Kelvora')
read_installed() { cat "$install_dir/$1"; }

for row in "${install_table[@]}"; do
    IFS='|' read -r users switches folder root other_root menu_folder <<<"$row"
    win_dir=$(windows_path "$folder")
    install_dir=$(winepath -u "$win_dir" 2>/dev/null)
    menu=$(winepath -u "$(windows_path "$menu_folder")" 2>/dev/null)
    [ -n "$menu" ] || { echo "no Unix path for $menu_folder" >&2; exit 1; }
    read -ra arguments <<<"$switches"

    begin_wine_case "a silent install for $users lays out exactly the programs' files in $win_dir"
    if timeout 120 wine "$installer" "${arguments[@]}"; then
        if [ -d "$install_dir" ]; then
            difference=$(diff <(expected_files) <(files_in "$install_dir"))
            [ -z "$difference" ] || fail "installed files differ (< expected, > installed): $difference"
            expect_licences "installed" read_installed
        else
            fail "no folder $install_dir"
        fi
        if [ "$root" = HKCU ] && [ -e "$program_files" ]; then
            fail "a per-user install made $program_files"
        fi
    else
        fail "the installer failed"
    fi
    pass

    begin "the install for $users has its uninstall entry in $root and none in $other_root"
    if uninstall_entry_exists "$root"; then
        version=$(uninstall_value "$root" DisplayVersion)
        [ "$version" = "$DISPLAY_VERSION" ] || fail "DisplayVersion '$version', not '$DISPLAY_VERSION'"
        icon=$(uninstall_value "$root" DisplayIcon)
        [ "$icon" = "$win_dir\\Kelvora_EN.exe,0" ] || fail "DisplayIcon '$icon'"
        # In KiB, near what the folder holds.
        size=$(($(uninstall_value "$root" EstimatedSize)))
        actual=$(($(du -sb "$install_dir" | cut -f1) / 1024))
        [ $((size * 100)) -ge $((actual * 95)) ] && [ $((size * 100)) -le $((actual * 105)) ] ||
            fail "EstimatedSize $size KiB, the folder holds $actual KiB"
    else
        fail "no uninstall entry in $root"
    fi
    uninstall_entry_exists "$other_root" && fail "an uninstall entry in $other_root too"
    pass

    begin "the install for $users has a Start-menu entry for each program"
    entries=$(cd "$menu" 2>/dev/null && ls | tr '\n' '|')
    [ "$entries" = "Kelvora (polski).lnk|System resources monitor.lnk|Uninstall.lnk|" ] ||
        fail "Start-menu entries in $menu: '$entries'"
    pass

    # Each entry starting its program is tried once, on the default install.
    if [ "$root" = HKCU ]; then
        begin_wine_case "each Start-menu entry starts its program from $win_dir"
        # The words of the command name the entry, by which start_program
        # knows which window to wait for.
        EN="$menu/System resources monitor.lnk" PL="$menu/Kelvora (polski).lnk"
        for entry in "$EN" "$PL"; do
            if start_program wine start /wait /unix "$entry"; then
                # wine names the window's process after the Windows path it runs.
                program_pid=$(xprop -id "$id" _NET_WM_PID | sed -n 's/.* = //p')
                command=$(tr '\0' ' ' <"/proc/$program_pid/cmdline" 2>/dev/null)
                case $command in
                "$win_dir\\"Kelvora_??.exe*) ;;
                *) fail "${entry##*/} started '$command'" ;;
                esac
                close_program "${entry##*/}"
                # start returns before the program has quite ended.
                wait_until has_ended "$program_pid" || fail "${entry##*/}: still running after close"
            else
                fail "${entry##*/}: no window titled '$(program_title "$entry")'"
            fi
        done
        expect_closing_keys "$settings_dir/Monitor.ini" "Kelvora_EN"
        expect_closing_keys "$settings_dir/Kelvora.ini" "Kelvora_PL"
        pass

        # Windows keeps a running program's files; a silent run must then
        # fail and change nothing rather than succeed and leave them.
        begin_wine_case "with a program running, an uninstall and an install over it fail and change nothing"
        EN="$install_dir/Kelvora_EN.exe"
        installed_before=$(cd "$install_dir" && find . -printf '%P %s %T@\n' | LC_ALL=C sort)
        if start_program wine "$EN"; then
            # In place (_?=), the uninstaller's status is its own.
            wine "$win_dir\\Uninstall.exe" /S "_?=$win_dir" && fail "the uninstall reported success"
            timeout 120 wine "$installer" /S && fail "the install over it reported success"
            [ "$(cd "$install_dir" && find . -printf '%P %s %T@\n' | LC_ALL=C sort)" = "$installed_before" ] ||
                fail "files of the install changed"
            uninstall_entry_exists "$root" || fail "the uninstall entry went"
            close_program "Kelvora_EN"
        else
            fail "Kelvora_EN: no window"
        fi
        pass
    fi

    # The uninstaller copies itself away and returns at once; the copy
    # removes the folder, then the Start-menu entries, then the entry.
    uninstalled() { [ ! -e "$install_dir" ] && [ ! -e "$menu" ] && not uninstall_entry_exists "$root"; }

    begin "the uninstall its entry names takes the install for $users and leaves the settings"
    settings_before=$(cat "$settings_dir/Monitor.ini" 2>/dev/null)
    uninstall=$(uninstall_value "$root" QuietUninstallString)
    uninstaller=${uninstall%\" /S}
    uninstaller=${uninstaller#\"}
    if [ "$uninstall" = "\"$uninstaller\" /S" ] && wine "$uninstaller" /S; then
        wait_until uninstalled || wait_until uninstalled ||
            fail "left behind: $(ls -d "$install_dir" "$menu" 2>/dev/null | tr '\n' ' ')$(
                uninstall_entry_exists "$root" && echo "the uninstall entry")"
        [ "$(cat "$settings_dir/Monitor.ini" 2>/dev/null)" = "$settings_before" ] || fail "Monitor.ini changed or went"
    else
        fail "the uninstall '$uninstall' failed"
    fi
    pass
done

begin "the ZIP holds the installed files under one folder"
difference=$(diff <(expected_files | grep -vx Uninstall.exe) \
    <(unzip -Z1 "$zip" | grep -v '/$' | sed 's|^Kelvora-[^/]*-win64/||' | LC_ALL=C sort))
[ -z "$difference" ] || fail "ZIP differs (< installed, > ZIP): $difference"
read_zipped() { unzip -p "$zip" "Kelvora-*-win64/$1"; }
expect_licences "ZIP" read_zipped
pass

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
