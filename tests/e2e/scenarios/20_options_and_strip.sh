# SPDX-License-Identifier: MIT
# The options row, always-on-top, opacity, and the swaps between the main
# window and the strip, with real clicks of the pointer.

only_window_titled() { # title id
    [ "$(xdotool search --name "^$1\$" 2>/dev/null)" = "$2" ]
}

begin "a click on Options... folds the row out and a second one folds it back"
if program_opens "" "$EN"; then
    fold_out "$id" || fail "client height $(client_height "$id") after the click"
    # The animation stops at 2145 twips of client area.
    wait_until client_height_is "$id" 143 || fail "folded out to $(client_height "$id")"
    click_client "$id" "${OPTIONS_AGAIN_AT[@]}"
    wait_until client_height_is "$id" 113 || fail "folded back to $(client_height "$id")"
    close_program
fi
pass

begin "ticking Always on top raises the same window in place; unticking lowers it"
printf '[Pozycja]\nLeft=1500\nTop=3000\n' >"$ini"
if program_opens "" "$EN"; then
    fold_out "$id" || fail "options row not shown"
    read -r x0 y0 _ < <(client_geometry "$id")
    is_above "$id" && fail "topmost before the tick"
    click_client "$id" "${AOT_AT[@]}"
    wait_until is_above "$id" || fail "no _NET_WM_STATE_ABOVE after the tick"
    only_window_titled "$EN_TITLE" "$id" || fail "window re-created: $(xdotool search --name "^$EN_TITLE\$")"
    read -r x y _ < <(client_geometry "$id")
    [ "$x $y" = "$x0 $y0" ] || fail "moved from $x0 $y0 to $x $y"
    click_client "$id" "${AOT_CAPTION_AT[@]}"
    wait_until not is_above "$id" || fail "still topmost after the untick"
    only_window_titled "$EN_TITLE" "$id" || fail "window re-created on untick"
    read -r x y _ < <(client_geometry "$id")
    [ "$x $y" = "$x0 $y0" ] || fail "moved from $x0 $y0 to $x $y on untick"
    click_client "$id" "${AOT_AT[@]}"
    wait_until is_above "$id" || fail "not topmost after ticking again"
    close_program
    expect_setting Ustawienia AoT 1
fi
pass

begin "a stored AoT of 1 starts topmost"
printf '[Ustawienia]\nAoT=1\n' >"$ini"
if program_opens "" "$EN"; then
    wait_until is_above "$id" || fail "not topmost: $(xprop -id "$id" _NET_WM_STATE)"
    close_program
fi
pass

begin "a stored Alpha of 128 makes the main window and the strip half opaque"
printf '[Kolory]\nAlpha=128\n' >"$ini"
if program_opens "" "$EN"; then
    wait_until window_opacity_is "$id" 128 || fail "main window opacity '$(window_opacity "$id")'"
    if to_strip; then
        wait_until window_opacity_is "$sid" 128 || fail "strip opacity '$(window_opacity "$sid")'"
        # The strip has no close box: back to the main window to close.
        to_main >/dev/null || fail "main window did not come back"
    else
        fail "no strip"
    fi
    close_program
fi
pass

begin "double-clicks swap to the strip at the corner, and back where it was dragged"
printf '[Pozycja]\nLeft=3000\nTop=2250\n' >"$ini"
if program_opens "" "$EN"; then
    wait_until corner_is "$id" "200 150" || fail "main at $(outer_corner "$id")"
    if to_strip; then
        wait_no_window "$EN_TITLE" || fail "main window still shown"
        [ "$(client_size "$sid")" = "261 x 35" ] || fail "strip $(client_size "$sid")"
        extents=$(xprop -id "$sid" _NET_FRAME_EXTENTS | sed -n 's/.* = //p')
        [ "$extents" = "0, 0, 0, 0" ] || fail "strip has a frame: '$extents'"
        wait_until corner_is "$sid" "200 150" ||
            fail "strip at $(outer_corner "$sid"), main was at 200 150"

        drag_window "$sid" "${STRIP_AT[@]}" 300 200
        wait_until corner_is "$sid" "500 350" ||
            fail "strip dragged to $(outer_corner "$sid"), not 500 350"
        read -r sx sy < <(outer_corner "$sid")

        if id2=$(to_main); then
            [ "$id2" = "$id" ] || fail "another main window $id2"
            wait_until corner_is "$id" "$sx $sy" ||
                fail "main back at $(outer_corner "$id"), strip was at $sx $sy"
            wait_no_window "$STRIP_TITLE" || fail "strip still shown"
        else
            fail "main window did not come back"
        fi
    else
        fail "no strip"
    fi
    close_program
    expect_setting Pozycja Left "$((${sx:-0} * 15))"
    expect_setting Pozycja Top "$((${sy:-0} * 15))"
fi
pass
