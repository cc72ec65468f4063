# SPDX-License-Identifier: MIT
# Start-up and closing under wine: the titles, the settings files in the
# prefix's %APPDATA%\Kelvora, one instance per build, the takeover of a file
# at the earlier place and the restore switch.

begin_wine_case "each program shows its title and its close writes the eleven keys to its own file"
for program in "$PL" "$EN"; do
    file=Monitor.ini
    [ "$program" = "$PL" ] && file=Kelvora.ini
    if start_program wine "$program"; then
        close_program "${program##*/}"
        expect_closing_keys "$settings_dir/$file" "${program##*/}"
    else
        fail "${program##*/}: no window titled '$(program_title "$program")'"
    fi
    [ "$program" = "$PL" ] && [ -e "$settings_dir/Monitor.ini" ] && fail "Kelvora_PL wrote Monitor.ini"
done
# The defaults of a first start; the position is where the window manager
# put the frame, which wine reports by its own measure.
for expected in "Ustawienia interval 2" "Ustawienia AoT 0" "Ustawienia Dysk 1" \
    "Ustawienia HDDNumber 1073741824" "Ustawienia HDDCounter 3" "Ustawienia HDDFormat 0.00 GB" \
    "Ustawienia RAMNumber 1048576" "Ustawienia RAMCounter 2" "Ustawienia RAMFormat 0.00 MB"; do
    read -r section key value <<<"$expected"
    expect_setting "$section" "$key" "$value"
done
pass

begin_wine_case "a second start of the same build ends at once while the first runs"
if start_program wine "$EN"; then
    expect_ends "second instance" wine "$EN"
    windows=$(xdotool search --onlyvisible --name "^$EN_TITLE\$" 2>/dev/null | wc -l)
    [ "$windows" -eq 1 ] || fail "$windows windows titled '$EN_TITLE'"
    has_ended "$pid" && fail "the first instance ended"
    close_program "first instance"
else
    fail "no window"
fi
pass

begin_wine_case "the English and the Polish program run together"
if start_program wine "$EN"; then
    en_pid=$pid en_id=$id
    if start_program wine "$PL"; then
        has_ended "$en_pid" && fail "Kelvora_EN ended when Kelvora_PL started"
        close_program "Kelvora_PL"
    else
        fail "no Kelvora_PL window beside Kelvora_EN"
    fi
    pid=$en_pid id=$en_id
    close_program "Kelvora_EN"
    expect_closing_keys "$settings_dir/Monitor.ini" "Kelvora_EN"
    expect_closing_keys "$settings_dir/Kelvora.ini" "Kelvora_PL"
else
    fail "no Kelvora_EN window"
fi
pass

begin_wine_case "a file at the earlier place is taken over whole"
printf '; mine\r\n[Kolory]\r\nR1=1\r\n[Own]\r\nk=\261\r\n' >"$appdata/Monitor.ini"
cp "$appdata/Monitor.ini" "$home/earlier.ini"
if start_program wine "$EN"; then
    cmp -s "$ini" "$home/earlier.ini" || fail "not taken over byte for byte"
    [ -e "$appdata/Monitor.ini" ] && fail "the earlier file stayed"
    close_program
    grep -q $'^R1=1\r$' "$ini" && grep -q $'^k=\261\r$' "$ini" || fail "the close dropped lines"
else
    fail "no window"
fi
pass

begin_wine_case "-restore removes Monitor.ini at both places and leaves Kelvora.ini"
printf '[Kolory]\nR1=1\n[Ustawienia]\nAoT=1\n' >"$ini"
printf '[Kolory]\nR1=3\n' >"$appdata/Monitor.ini"
printf '[Kolory]\nR1=2\n' >"$settings_dir/Kelvora.ini"
if start_program wine "$EN" -restore; then
    [ "$(ini_keys "$ini")" -eq 0 ] || fail "Monitor.ini still holds $(ini_keys "$ini") keys"
    [ -e "$appdata/Monitor.ini" ] && fail "the earlier Monitor.ini stayed"
    close_program
    expect_setting Kolory R1 ""
    # Loaded, the stored tick would have been stored back.
    expect_setting Ustawienia AoT 0
else
    fail "no window"
fi
[ "$(ini_value "$settings_dir/Kelvora.ini" Kolory R1)" = 2 ] || fail "-restore touched Kelvora.ini"
pass

begin_wine_case "a start right after a forced end runs at once"
for round in 1 2 3; do
    if start_program wine "$EN"; then
        wine taskkill /F /IM Kelvora_EN.exe >/dev/null 2>&1
        wait_exit "$pid" || stop_program
        if start_program wine "$EN"; then
            close_program "round $round"
        else
            fail "round $round: no window after the forced end"
        fi
    else
        fail "round $round: no window"
    fi
done
pass

begin_wine_case "a settings file with the read-only attribute stays as it is"
printf '[Pozycja]\r\nLeft=1500\r\nTop=3000\r\n' >"$ini"
cp "$ini" "$home/pinned.ini"
# No write permission is how wine shows the attribute.
chmod a-w "$ini"
if start_program wine "$EN"; then
    close_program
else
    fail "no window"
fi
cmp -s "$ini" "$home/pinned.ini" || fail "the read-only file changed"
[ "$(stat -c %A "$ini" | tr -cd w)" = "" ] || fail "the file lost its read-only attribute"
chmod u+w "$ini"
pass
