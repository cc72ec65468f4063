# SPDX-License-Identifier: MIT
# Start-up, closing, the single instance and the restore switch.

begin "first start opens folded at the corner and stores defaults on close"
if program_opens "" "$EN"; then
    wait_until client_size_is "$id" "449 x 113" || fail "client area $(client_size "$id")"
    wait_until corner_is "$id" "0 0" || fail "outer corner $(outer_corner "$id")"
    close_program
    [ "$(ini_keys "$ini")" -eq 11 ] || fail "$(ini_keys "$ini") keys stored"
    for expected in "Pozycja Left 0" "Pozycja Top 0" "Ustawienia interval 2" "Ustawienia AoT 0" \
        "Ustawienia Dysk 1" "Ustawienia HDDNumber 1073741824" "Ustawienia HDDCounter 3" \
        "Ustawienia RAMNumber 1048576" "Ustawienia RAMCounter 2" \
        "Ustawienia HDDFormat 0.00 GB" "Ustawienia RAMFormat 0.00 MB"; do
        read -r section key value <<<"$expected"
        expect_setting "$section" "$key" "$value"
    done
    grep -q '^\[Kolory\]' "$ini" && fail "colours stored at close"
fi
pass

begin "a stored position is applied and stored back unchanged at any scale"
expect_places_kept 1 1.25 1.5 1.75 2
# Device coordinates have 16 bits: a position beyond them is held at the
# edge, never wrapped round to the other side.
fresh_home
printf '[Pozycja]\nLeft=491505\nTop=0\n' >"$ini"
on_screen() { read -r x _ < <(outer_corner "$1"); [ "$x" -ge 0 ]; }
if program_opens "far right" env QT_SCALE_FACTOR=2 "$EN"; then
    wait_until on_screen "$id" || fail "Left=491505 at scale 2 opens at x = $x"
    close_program "far right"
fi
pass

begin "a second instance ends at once without a window; -restore still deletes"
if program_opens "" "$EN"; then
    printf '[Kolory]\nR1=1\n' >"$ini"
    printf '[Kolory]\nR1=2\n' >"$settings_dir/Kelvora.ini"
    expect_ends "second instance" "$EN"
    [ "$(xdotool search --name "^$EN_TITLE\$" | wc -l)" -eq 1 ] || fail "more than one window"
    [ "$(ini_value "$ini" Kolory R1)" = 1 ] || fail "second instance touched settings"
    expect_ends "restoring instance" "$EN" -restore
    [ -z "$(ini_value "$ini" Kolory R1)" ] || fail "-restore kept Monitor.ini"
    [ "$(ini_value "$settings_dir/Kelvora.ini" Kolory R1)" = 2 ] || fail "-restore touched Kelvora.ini"
    close_program "first instance"
    [ -z "$(ini_value "$ini" Kolory R1)" ] || fail "colours came back"
fi
pass

begin "the switch counts only alone and in its exact case"
printf '[Kolory]\nR1=7\n' >"$ini"
for args in "-Restore" "-restore extra"; do
    # shellcheck disable=SC2086 # one argument a word
    if program_opens "'$args'" "$EN" $args; then
        close_program "'$args'"
    fi
    [ "$(ini_value "$ini" Kolory R1)" = 7 ] || fail "'$args' deleted settings"
done
pass

begin "the Polish program has its own title and settings"
if program_opens "" "$PL"; then
    close_program
    [ -f "$settings_dir/Kelvora.ini" ] || fail "no Kelvora.ini"
    [ -f "$settings_dir/Monitor.ini" ] && fail "wrote Monitor.ini"
fi
pass

begin "garbage settings still start with the fallbacks"
for kind in text binary large; do
    case $kind in
    text) printf '[Ustawienia]\ninterval=abc\nDysk=\nHDDNumber=1e99\n[Kolory]\nAlpha=300\nR1=abc\n' >"$ini" ;;
    binary) head -c 65536 /dev/urandom >"$ini" ;;
    large) head -c 10485760 /dev/zero | tr '\0' 'j' >"$ini" ;;
    esac
    if program_opens "$kind" "$EN"; then
        close_program "$kind"
        expect_setting Ustawienia Dysk 1 "$kind"
        [ -n "$(ini_value "$ini" Pozycja Left)" ] || fail "$kind: Left not stored"
    fi
done
pass
