# SPDX-License-Identifier: MIT
# The colour dialog opened with a real click, worked with the keyboard.

# A point inside the drive bar (client 36,12, 13 px high), near its left end,
# which is always coloured while the drive has anything on it.
DRIVE_BAR_AT=(38 18)

drive_bar_colour() { # main window id
    local x y
    read -r x y _ _ < <(client_geometry "$1")
    pixel_at "$((x + DRIVE_BAR_AT[0]))" "$((y + DRIVE_BAR_AT[1]))"
}

drive_bar_is() { [ "$(drive_bar_colour "$1" | tr a-f A-F)" = "$2" ]; } # id RRGGBB

begin "a colour changed with the keyboard is stored by Enter and shows on the bar"
if program_opens "" "$EN"; then
    wait_until drive_bar_is "$id" DE0000 || fail "drive bar starts $(drive_bar_colour "$id")"
    fold_out "$id" || fail "options row not shown"
    if open_colours; then
        wait_until is_active "$did" || fail "dialog not active"
        # Focus starts on OK; Cancel, then R1, then G1.
        keys Tab Tab Tab End Left Left Left Left Left
        keys Return
        wait_no_window "$COLORS_TITLE" || fail "Enter did not close the dialog"
        wait_until grep -q '^\[Kolory\]' "$ini" || fail "no Kolory section after OK"
        expect_colours R1=222 G1=250 B1=0 R2=0 G2=222 B2=0 R3=0 G3=0 B3=222 Alpha=255
        wait_until drive_bar_is "$id" DEFA00 ||
            fail "drive bar is $(drive_bar_colour "$id"), expected DEFA00"
    else
        fail "no colour dialog"
    fi
    close_program
fi
pass

begin "with Always on top ticked the dialog is topmost; Escape keeps everything"
printf '[Ustawienia]\nAoT=1\n[Kolory]\nAlpha=200\n' >"$ini"
if program_opens "" "$EN"; then
    fold_out "$id" || fail "options row not shown"
    if open_colours; then
        wait_until is_above "$did" || fail "dialog not topmost"
        wait_until window_opacity_is "$did" 200 || fail "dialog opacity '$(window_opacity "$did")'"
        wait_until is_active "$did" || fail "dialog not active"
        keys Tab Tab Tab End
        keys Escape
        wait_no_window "$COLORS_TITLE" || fail "Escape did not close the dialog"
        expect_setting Kolory Alpha 200
        expect_setting Kolory G1 ""
        drive_bar_is "$id" DE0000 || fail "bar recoloured on Escape"
    else
        fail "no colour dialog"
    fi
    close_program
fi
pass

# The outer frame as "x y width height": the client area with the window
# manager's frame around it.
frame_geometry() {
    local x y w h left right top bottom
    read -r x y w h < <(client_geometry "$1")
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.*= *//p' | tr -d ','; echo "0 0 0 0")
    echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

begin "the dialog's frame is centred on the main window's frame"
printf '[Pozycja]\nLeft=3000\nTop=2250\n' >"$ini"
if program_opens "" "$EN"; then
    fold_out "$id" || fail "options row not shown"
    if open_colours; then
        wait_until is_active "$did" || fail "dialog not active"
        read -r mx my mw mh < <(frame_geometry "$id")
        read -r dx dy dw dh < <(frame_geometry "$did")
        # Twice the centres, so that half pixels count.
        off_x=$((2 * dx + dw - 2 * mx - mw)) off_y=$((2 * dy + dh - 2 * my - mh))
        [ "${off_x#-}" -le 1 ] && [ "${off_y#-}" -le 1 ] ||
            fail "dialog frame $dx $dy ${dw}x$dh off centre of main frame $mx $my ${mw}x$mh"
        keys Escape
        wait_no_window "$COLORS_TITLE" || fail "Escape did not close the dialog"
    else
        fail "no colour dialog"
    fi
    close_program
fi
pass
