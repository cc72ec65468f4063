# SPDX-License-Identifier: MIT
# Without any window manager, where the X server alone places windows, the
# strip still follows the pointer.

begin "without a window manager the strip still drags and swaps back in place"
printf '[Pozycja]\nLeft=3000\nTop=2250\n' >"$ini"
if program_opens "" "$EN"; then
    wait_until corner_is "$id" "200 150" || fail "main at $(outer_corner "$id")"
    if to_strip; then
        wait_no_window "$EN_TITLE" || fail "main window still shown"
        wait_until corner_is "$sid" "200 150" ||
            fail "strip at $(outer_corner "$sid"), main was at 200 150"
        drag_window "$sid" "${STRIP_AT[@]}" 300 200
        wait_until corner_is "$sid" "500 350" ||
            fail "strip dragged to $(outer_corner "$sid"), not 500 350"
        # A second drag, grabbed elsewhere on the strip, starts afresh.
        drag_window "$sid" 150 20 -200 100
        wait_until corner_is "$sid" "300 450" ||
            fail "second drag to $(outer_corner "$sid"), not 300 450"
        if to_main >/dev/null; then
            wait_until corner_is "$id" "300 450" ||
                fail "main back at $(outer_corner "$id"), not 300 450"
        else
            fail "main window did not come back"
        fi
    else
        fail "no strip"
    fi
    # Nothing can close a window politely without a window manager.
    stop_program
fi
pass
