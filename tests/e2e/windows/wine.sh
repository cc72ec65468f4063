# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Wine for the tests of the Windows programs, sourced after tests/e2e/lib.sh:
# a wine prefix made fresh in the run's folder, whose programs and server end
# before that folder goes, and the folder where the programs keep settings.

# Makes the prefix; sets `appdata` to the Unix path of its %APPDATA%, in
# whose Kelvora folder Kelvora_EN keeps Monitor.ini and Kelvora_PL Kelvora.ini.
begin_wine() {
    export WINEPREFIX=$run_dir/prefix WINEDEBUG=-all
    # No Mono or Gecko installer prompts while the prefix is made, and no
    # menu entries or file associations written into the user's home for what
    # the prefix's Start menu holds.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    # Whatever else keeps per-user files keeps them in the run's folder too.
    export XDG_CACHE_HOME=$run_dir/cache XDG_DATA_HOME=$run_dir/data XDG_CONFIG_HOME=$run_dir/config
    # Under set -e too, the clean-up must not stop at its first failing step.
    trap 'set +e; end_wine; end_run' EXIT
    wineboot --init >/dev/null 2>&1 || { echo "wineboot failed"; exit 1; }
    appdata=$(wine_unix_path '%APPDATA%')
    [ -d "$appdata" ] || { echo "no %APPDATA% folder in the prefix: '$appdata'"; exit 1; }
}

end_wine() {
    trap '' HUP INT TERM
    if [ -d "${WINEPREFIX:-}" ]; then
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
    fi
}

# The Unix path of a Windows path, which may name environment variables.
wine_unix_path() { # windows-path
    local path
    path=$(wine cmd /c echo "$1" 2>/dev/null | tr -d '\r')
    winepath -u "$path" 2>/dev/null
}

# A case on fresh settings: neither program's settings file exists, at the
# earlier place in %APPDATA% or in its Kelvora folder `settings_dir`, and
# `ini`, which expect_setting reads, is the English program's.
begin_wine_case() { # title
    begin "$1"
    settings_dir=$appdata/Kelvora
    rm -f "$appdata/Monitor.ini" "$appdata/Kelvora.ini" "$settings_dir/Monitor.ini" \
        "$settings_dir/Kelvora.ini"
    mkdir -p "$settings_dir"
    ini=$settings_dir/Monitor.ini
}

# The eleven keys a close writes, as "section key".
CLOSING_KEYS=("Pozycja Left" "Pozycja Top" "Ustawienia interval" "Ustawienia AoT" "Ustawienia Dysk"
    "Ustawienia HDDNumber" "Ustawienia HDDFormat" "Ustawienia HDDCounter" "Ustawienia RAMNumber"
    "Ustawienia RAMFormat" "Ustawienia RAMCounter")

# Fails unless the settings file holds exactly the eleven closing keys, each
# with a value, in lines that end as Windows text files' do.
expect_closing_keys() { # file what
    local entry section key
    [ -f "$1" ] || { fail "$2: no ${1##*/}"; return 1; }
    [ "$(ini_keys "$1")" -eq 11 ] || fail "$2: $(ini_keys "$1") keys stored, not 11"
    [ "$(grep -c $'\r$' "$1")" -eq "$(wc -l <"$1")" ] || fail "$2: lines without CRLF"
    for entry in "${CLOSING_KEYS[@]}"; do
        read -r section key <<<"$entry"
        [ -n "$(ini_value "$1" "$section" "$key")" ] || fail "$2: no $section/$key"
    done
}
