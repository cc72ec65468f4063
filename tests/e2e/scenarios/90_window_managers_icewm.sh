# SPDX-License-Identifier: MIT
# Under IceWM, which frames a window with a 5-pixel border and is told of
# the topmost band before it maps a window. Runs on a display of its own.

begin "under IceWM a window saved topmost keeps its place over starts and the strip"
printf '[Pozycja]\nLeft=4500\nTop=4500\n[Ustawienia]\nAoT=1\n' >"$ini"
for round in 1 2 3; do
    what="start $round"
    if start_program "$EN"; then
        wait_until is_above "$id" || fail "$what: not topmost"
        wait_until corner_is "$id" "300 300" || fail "$what: at $(outer_corner "$id")"
        if [ "$round" -eq 3 ]; then
            if to_strip; then
                wait_until corner_is "$sid" "300 300" ||
                    fail "strip at $(outer_corner "$sid"), main was at 300 300"
                id=$(to_main) || fail "main window did not come back"
                wait_until corner_is "$id" "300 300" || fail "main back at $(outer_corner "$id")"
            else
                fail "no strip"
            fi
        fi
        close_program "$what"
        expect_setting Pozycja Left 4500 "$what"
        expect_setting Pozycja Top 4500 "$what"
    else
        fail "$what: no window"
    fi
done
pass
