# The options row, always-on-top, opacity, and the swaps between the main
# window and the strip, with real clicks of the pointer.
#
# Client-area points of the main window (layout twips / 15): the caption
# "Options..." at 365,90 (73 x 18); the always-on-top check box at 303,116
# (93 x 25), its box at the left, its caption to the right; the colour button
# at 408,116 (25 x 21); bare surface above the drive bar.
OPTIONS_AT="380 99"
# Further along the same caption, for a second click soon after the first.
OPTIONS_AGAIN_AT="425 99"
AOT_AT="311 128"
# Two clicks at one spot in quick succession are a double-click, on which a
# control acts once; clicks that should each act alternate spots.
AOT_CAPTION_AT="350 128"
SURFACE_AT="300 5"
STRIP_TITLE="Kelvora zasobów systemowych"

client_height() { client_geometry "$1" | awk '{print $4}'; }
client_height_at_least() { [ "$(client_height "$1")" -ge "$2" ]; }
client_height_is() { [ "$(client_height "$1")" -eq "$2" ]; }

# Clicks "Options..." and waits until the whole options row is inside the
# client area (its bottom is at 2115 twips, 141 px).
fold_out() {
    # shellcheck disable=SC2086
    click_client "$1" $OPTIONS_AT
    wait_until client_height_at_least "$1" 141
}

only_window_titled() { # title id
    [ "$(xdotool search --name "^$1\$" 2>/dev/null)" = "$2" ]
}

begin "a click on Options... folds the row out and a second one folds it back"
"$EN" & pid=$!
if id=$(wait_window "$EN_TITLE"); then
    fold_out "$id" || fail "client height $(client_height "$id") after the click"
    # The animation stops at 2145 twips of client area.
    wait_until client_height_is "$id" 143 || fail "folded out to $(client_height "$id")"
    # shellcheck disable=SC2086
    click_client "$id" $OPTIONS_AGAIN_AT
    wait_until client_height_is "$id" 113 || fail "folded back to $(client_height "$id")"
    close_window "$id"
    wait_exit "$pid" || fail "still running after close"
else
    fail "no window"; kill "$pid"
fi
pass

begin "ticking Always on top raises the same window in place; unticking lowers it"
printf '[Pozycja]\nLeft=1500\nTop=3000\n' >"$XDG_CONFIG_HOME/Monitor.ini"
"$EN" & pid=$!
if id=$(wait_window "$EN_TITLE"); then
    fold_out "$id" || fail "options row not shown"
    read -r x0 y0 _ < <(client_geometry "$id")
    is_above "$id" && fail "topmost before the tick"
    # shellcheck disable=SC2086
    click_client "$id" $AOT_AT
    wait_until is_above "$id" || fail "no _NET_WM_STATE_ABOVE after the tick"
    only_window_titled "$EN_TITLE" "$id" || fail "window re-created: $(xdotool search --name "^$EN_TITLE\$")"
    read -r x y _ < <(client_geometry "$id")
    [ "$x $y" = "$x0 $y0" ] || fail "moved from $x0 $y0 to $x $y"
    # shellcheck disable=SC2086
    click_client "$id" $AOT_CAPTION_AT
    wait_until eval '! is_above "$id"' || fail "still topmost after the untick"
    only_window_titled "$EN_TITLE" "$id" || fail "window re-created on untick"
    read -r x y _ < <(client_geometry "$id")
    [ "$x $y" = "$x0 $y0" ] || fail "moved from $x0 $y0 to $x $y on untick"
    # shellcheck disable=SC2086
    click_client "$id" $AOT_AT
    wait_until is_above "$id" || fail "not topmost after ticking again"
    close_window "$id"
    wait_exit "$pid" || fail "still running after close"
    [ "$(ini_value "$XDG_CONFIG_HOME/Monitor.ini" Ustawienia AoT)" = 1 ] || fail "AoT not stored as 1"
else
    fail "no window"; kill "$pid"
fi
pass

begin "a stored AoT of 1 starts topmost"
printf '[Ustawienia]\nAoT=1\n' >"$XDG_CONFIG_HOME/Monitor.ini"
"$EN" & pid=$!
if id=$(wait_window "$EN_TITLE"); then
    wait_until is_above "$id" || fail "not topmost: $(xprop -id "$id" _NET_WM_STATE)"
    close_window "$id"
    wait_exit "$pid" || fail "still running after close"
else
    fail "no window"; kill "$pid"
fi
pass

begin "a stored Alpha of 128 makes the main window and the strip half opaque"
printf '[Kolory]\nAlpha=128\n' >"$XDG_CONFIG_HOME/Monitor.ini"
"$EN" & pid=$!
if id=$(wait_window "$EN_TITLE"); then
    wait_until eval 'opacity_is "$(window_opacity "$id")" 128' ||
        fail "main window opacity '$(window_opacity "$id")'"
    # shellcheck disable=SC2086
    click_client "$id" $SURFACE_AT 2
    if sid=$(wait_window "$STRIP_TITLE"); then
        wait_until eval 'opacity_is "$(window_opacity "$sid")" 128' ||
            fail "strip opacity '$(window_opacity "$sid")'"
        # The strip has no close box: back to the main window to close.
        click_client "$sid" 30 5 2
        wait_window "$EN_TITLE" >/dev/null || fail "main window did not come back"
    else
        fail "no strip"
    fi
    close_window "$id"
    wait_exit "$pid" || { fail "still running after close"; kill "$pid"; }
else
    fail "no window"; kill "$pid"
fi
pass

begin "double-clicks swap to the strip at the corner, and back where it was dragged"
printf '[Pozycja]\nLeft=3000\nTop=2250\n' >"$XDG_CONFIG_HOME/Monitor.ini"
"$EN" & pid=$!
if id=$(wait_window "$EN_TITLE"); then
    wait_until eval '[ "$(outer_corner "$id")" = "200 150" ]' || fail "main at $(outer_corner "$id")"
    # shellcheck disable=SC2086
    click_client "$id" $SURFACE_AT 2
    if sid=$(wait_window "$STRIP_TITLE"); then
        wait_no_window "$EN_TITLE" || fail "main window still shown"
        read -r _ _ w h < <(client_geometry "$sid")
        [ "$w x $h" = "261 x 35" ] || fail "strip $w x $h"
        extents=$(xprop -id "$sid" _NET_FRAME_EXTENTS | sed -n 's/.* = //p')
        [ "$extents" = "0, 0, 0, 0" ] || fail "strip has a frame: '$extents'"
        wait_until eval '[ "$(outer_corner "$sid")" = "200 150" ]' ||
            fail "strip at $(outer_corner "$sid"), main was at 200 150"

        drag_window "$sid" 30 5 300 200
        wait_until eval '[ "$(outer_corner "$sid")" != "200 150" ]' || fail "the drag did not move the strip"
        read -r sx sy < <(outer_corner "$sid")
        dx=$((sx - 496)) dy=$((sy - 347))
        [ "${dx#-}" -le 3 ] && [ "${dy#-}" -le 3 ] || fail "strip dragged to $sx $sy, not 496 347"

        click_client "$sid" 30 5 2
        if id2=$(wait_window "$EN_TITLE"); then
            [ "$id2" = "$id" ] || fail "another main window $id2"
            wait_until eval '[ "$(outer_corner "$id")" = "$sx $sy" ]' ||
                fail "main back at $(outer_corner "$id"), strip was at $sx $sy"
            wait_no_window "$STRIP_TITLE" || fail "strip still shown"
        else
            fail "main window did not come back"
        fi
    else
        fail "no strip"
    fi
    close_window "$id"
    wait_exit "$pid" || { fail "still running after close"; kill "$pid"; }
    ini="$XDG_CONFIG_HOME/Monitor.ini"
    [ "$(ini_value "$ini" Pozycja Left)" = "$((sx * 15))" ] || fail "Left $(ini_value "$ini" Pozycja Left)"
    [ "$(ini_value "$ini" Pozycja Top)" = "$((sy * 15))" ] || fail "Top $(ini_value "$ini" Pozycja Top)"
else
    fail "no window"; kill "$pid"
fi
pass
