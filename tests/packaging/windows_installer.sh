#!/usr/bin/env bash
# The Windows installer as a user meets it, under wine on Xvfb with openbox
# in a wine prefix of its own: a silent install puts exactly the programs'
# files into Program Files\Kelvora with a Start-menu entry for each program;
# each entry starts its program; the silent uninstall takes the folder and
# the entries and leaves the user's settings. The ZIP holds the same files
# as the installed folder.
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

EN_TITLE="System resources monitor"
PL_TITLE="Kelvora zasobów systemowych"
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvora'

# The files of a folder, one relative path a line, sorted.
files_in() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }

# The files the installed folder has to hold, and no others.
expected_files() {
    {
        printf '%s\n' Kelvora_EN.exe Kelvora_PL.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
            platforms/qwindows.dll styles/qwindowsvistastyle.dll \
            libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll NOTICE.txt Uninstall.exe
        files_in "$qt_licences" | sed 's|^|licences/qt/|'
    } | LC_ALL=C sort
}

uninstall_entry_exists() { wine reg query "$UNINSTALL_KEY" >/dev/null 2>&1; }

begin_run
start_display openbox
begin_wine
echo "installer $(stat -c %s "$installer") bytes, ZIP $(stat -c %s "$zip") bytes"

install_dir=$(wine_unix_path '%ProgramFiles%\Kelvora')
menu=""

begin_wine_case "a silent install lays out exactly the programs' files under Program Files"
if timeout 120 wine "$installer" /S; then
    if [ -d "$install_dir" ]; then
        difference=$(diff <(expected_files) <(files_in "$install_dir"))
        [ -z "$difference" ] || fail "installed files differ (< expected, > installed): $difference"
    else
        fail "no folder $install_dir"
    fi
    uninstall_entry_exists || fail "no uninstall entry $UNINSTALL_KEY"
else
    fail "the installer failed"
fi
pass

begin_wine_case "the Start menu has an entry for each program, which starts it"
menu=$(find "$WINEPREFIX/drive_c" -type d -path '*/Start Menu/Programs/Kelvora' | head -n 1)
if [ -n "$menu" ]; then
    entries=$(cd "$menu" && ls | tr '\n' '|')
    [ "$entries" = "Kelvora (polski).lnk|System resources monitor.lnk|Uninstall.lnk|" ] ||
        fail "Start-menu entries: $entries"
    # The words of the command name the entry, by which start_program knows
    # which window to wait for.
    EN="$menu/System resources monitor.lnk" PL="$menu/Kelvora (polski).lnk"
    for entry in "$EN" "$PL"; do
        if start_program wine start /wait /unix "$entry"; then
            # wine names the window's process after the Windows path it runs.
            program_pid=$(xprop -id "$id" _NET_WM_PID | sed -n 's/.* = //p')
            command=$(tr '\0' ' ' <"/proc/$program_pid/cmdline" 2>/dev/null)
            case $command in
            'C:\Program Files\Kelvora\'Kelvora_??.exe*) ;;
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
else
    fail "no Kelvora folder in the Start menu"
fi
pass

# The uninstaller copies itself away and returns at once; the copy removes
# the folder, then the Start-menu entries.
uninstalled() { [ ! -e "$install_dir" ] && { [ -z "$menu" ] || [ ! -e "$menu" ]; }; }

begin "the silent uninstall takes the folder and the entries and leaves the settings"
cp "$appdata/Kelvora/Monitor.ini" "$run_dir/Monitor.ini.before"
if wine "$install_dir/Uninstall.exe" /S; then
    wait_until uninstalled || wait_until uninstalled ||
        fail "left behind: $(ls -d "$install_dir" "$menu" 2>/dev/null | tr '\n' ' ')"
    uninstall_entry_exists && fail "the uninstall entry stayed"
    cmp -s "$appdata/Kelvora/Monitor.ini" "$run_dir/Monitor.ini.before" || fail "Monitor.ini changed or went"
    [ -f "$appdata/Kelvora/Kelvora.ini" ] || fail "Kelvora.ini went"
else
    fail "the uninstaller failed"
fi
pass

begin "the ZIP holds the installed files under one folder"
difference=$(diff <(expected_files | grep -vx Uninstall.exe) \
    <(unzip -Z1 "$zip" | grep -v '/$' | sed 's|^Kelvora-[^/]*-win64/||' | LC_ALL=C sort))
[ -z "$difference" ] || fail "ZIP differs (< installed, > ZIP): $difference"
pass

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
