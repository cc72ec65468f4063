# Start-up, closing, the single instance and the restore switch.

begin "first start opens folded at the corner and stores defaults on close"
"$EN" & pid=$!
if id=$(wait_window "$EN_TITLE"); then
    sleep 0.3
    read -r _ _ w h < <(client_geometry "$id")
    [ "$w x $h" = "449 x 113" ] || fail "client area $w x $h"
    [ "$(outer_corner "$id")" = "0 0" ] || fail "outer corner $(outer_corner "$id")"
    close_window "$id"
    wait_exit "$pid" || fail "still running after close"
    ini="$XDG_CONFIG_HOME/Monitor.ini"
    [ "$(ini_keys "$ini")" -eq 11 ] || fail "$(ini_keys "$ini") keys stored"
    for expected in "Pozycja Left 0" "Pozycja Top 0" "Ustawienia interval 2" "Ustawienia AoT 0" \
        "Ustawienia Dysk 1" "Ustawienia HDDNumber 1073741824" "Ustawienia HDDCounter 3" \
        "Ustawienia RAMNumber 1048576" "Ustawienia RAMCounter 2"; do
        set -- $expected
        [ "$(ini_value "$ini" "$1" "$2")" = "$3" ] || fail "$1/$2 = $(ini_value "$ini" "$1" "$2")"
    done
    [ "$(ini_value "$ini" Ustawienia HDDFormat)" = "0.00 GB" ] || fail "HDDFormat"
    [ "$(ini_value "$ini" Ustawienia RAMFormat)" = "0.00 MB" ] || fail "RAMFormat"
    grep -q '^\[Kolory\]' "$ini" && fail "colours stored at close"
else
    fail "no window"; kill "$pid"
fi
pass

begin "a stored position is applied and stored back unchanged"
printf '[Pozycja]\nLeft=1500\nTop=3000\n' >"$XDG_CONFIG_HOME/Monitor.ini"
"$EN" & pid=$!
if id=$(wait_window "$EN_TITLE"); then
    sleep 0.3
    [ "$(outer_corner "$id")" = "100 200" ] || fail "outer corner $(outer_corner "$id")"
    close_window "$id"
    wait_exit "$pid" || fail "still running after close"
    ini="$XDG_CONFIG_HOME/Monitor.ini"
    [ "$(ini_value "$ini" Pozycja Left)" = 1500 ] || fail "Left $(ini_value "$ini" Pozycja Left)"
    [ "$(ini_value "$ini" Pozycja Top)" = 3000 ] || fail "Top $(ini_value "$ini" Pozycja Top)"
else
    fail "no window"; kill "$pid"
fi
pass

begin "a second instance ends at once without a window; -restore still deletes"
"$EN" & first=$!
if id=$(wait_window "$EN_TITLE"); then
    printf '[Kolory]\nR1=1\n' >"$XDG_CONFIG_HOME/Monitor.ini"
    printf '[Kolory]\nR1=2\n' >"$XDG_CONFIG_HOME/Kelvora.ini"
    "$EN" & second=$!
    wait_exit "$second" || fail "second instance still running"
    [ "$(xdotool search --name "^$EN_TITLE\$" | wc -l)" -eq 1 ] || fail "more than one window"
    [ "$(ini_value "$XDG_CONFIG_HOME/Monitor.ini" Kolory R1)" = 1 ] || fail "second instance touched settings"
    "$EN" -restore & third=$!
    wait_exit "$third" || fail "restoring instance still running"
    [ -z "$(ini_value "$XDG_CONFIG_HOME/Monitor.ini" Kolory R1)" ] || fail "-restore kept Monitor.ini"
    [ "$(ini_value "$XDG_CONFIG_HOME/Kelvora.ini" Kolory R1)" = 2 ] || fail "-restore touched Kelvora.ini"
    close_window "$id"
    wait_exit "$first" || fail "first instance still running"
    [ -z "$(ini_value "$XDG_CONFIG_HOME/Monitor.ini" Kolory R1)" ] || fail "colours came back"
else
    fail "no window"; kill "$first"
fi
pass

begin "the switch counts only alone and in its exact case"
printf '[Kolory]\nR1=7\n' >"$XDG_CONFIG_HOME/Monitor.ini"
for args in "-Restore" "-restore extra"; do
    # shellcheck disable=SC2086
    "$EN" $args & pid=$!
    if id=$(wait_window "$EN_TITLE"); then
        close_window "$id"
        wait_exit "$pid" || fail "still running"
    else
        fail "no window for '$args'"; kill "$pid"
    fi
    [ "$(ini_value "$XDG_CONFIG_HOME/Monitor.ini" Kolory R1)" = 7 ] || fail "'$args' deleted settings"
done
pass

begin "the Polish program has its own title and settings"
"$PL" & pid=$!
if id=$(wait_window "$PL_TITLE"); then
    close_window "$id"
    wait_exit "$pid" || fail "still running"
    [ -f "$XDG_CONFIG_HOME/Kelvora.ini" ] || fail "no Kelvora.ini"
    [ -f "$XDG_CONFIG_HOME/Monitor.ini" ] && fail "wrote Monitor.ini"
else
    fail "no window"; kill "$pid"
fi
pass

begin "garbage settings still start with the fallbacks"
for kind in text binary large; do
    ini="$XDG_CONFIG_HOME/Monitor.ini"
    case $kind in
    text) printf '[Ustawienia]\ninterval=abc\nDysk=\nHDDNumber=1e99\n[Kolory]\nAlpha=300\nR1=abc\n' >"$ini" ;;
    binary) head -c 65536 /dev/urandom >"$ini" ;;
    large) head -c 10485760 /dev/zero | tr '\0' 'j' >"$ini" ;;
    esac
    "$EN" & pid=$!
    if id=$(wait_window "$EN_TITLE"); then
        close_window "$id"
        wait_exit "$pid" || fail "$kind: still running"
        [ "$(ini_value "$ini" Ustawienia Dysk)" = 1 ] || fail "$kind: Dysk $(ini_value "$ini" Ustawienia Dysk)"
        [ -n "$(ini_value "$ini" Pozycja Left)" ] || fail "$kind: Left not stored"
    else
        fail "$kind: no window"; kill "$pid"
    fi
done
pass
