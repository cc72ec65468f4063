# SPDX-License-Identifier: MIT
# The window under wine: live readouts, the options row folded out with a
# real click, and the colour dialog's OK.

COLORS_TITLE="Colors config..."

# Fails unless the window manager offers neither resizing nor maximising
# and a request to maximise leaves the window's size as it was.
expect_fixed_frame() { # id what
    local before
    before=$(client_size "$1")
    xprop -id "$1" _NET_WM_ALLOWED_ACTIONS | grep -qE 'MAXIMIZE|RESIZE' &&
        fail "$2: the window manager offers $(xprop -id "$1" _NET_WM_ALLOWED_ACTIONS)"
    wmctrl -i -r "$1" -b add,maximized_vert,maximized_horz
    sleep 0.5
    [ "$(client_size "$1")" = "$before" ] || fail "$2: maximised to $(client_size "$1")"
}

# A checksum of what the window's client area shows.
window_pixels() { import -window "$1" rgb:- 2>/dev/null | cksum; }

# True once the client area shows other pixels than it did as `before`;
# false when it has not after the given milliseconds.
changes_within() { # id milliseconds before
    local deadline=$(($(date +%s%3N) + $2))
    while [ "$(date +%s%3N)" -le "$deadline" ]; do
        [ "$(window_pixels "$1")" != "$3" ] && return 0
        sleep 0.1
    done
    return 1
}

begin_wine_case "a readout changes within 2 s"
if start_program wine "$EN"; then
    # Past the first readings, so that only a refresh can change the picture.
    sleep 1
    before=$(window_pixels "$id")
    # One processor kept busy gives the processor row something to show
    # however idle the machine is.
    timeout 2 sh -c 'while :; do :; done' &
    busy_pid=$!
    changes_within "$id" 2000 "$before" || fail "the readouts showed the same for 2 s"
    end_processes "$busy_pid"
    close_program
else
    fail "no window"
fi
pass

begin_wine_case "Options... folds the row out to the height it has on Linux"
if start_program wine "$EN"; then
    expect_fixed_frame "$id" "main window"
    fold_out "$id" || fail "client height $(client_height "$id") after the click"
    # The animation stops at 2145 twips of client area.
    wait_until client_height_is "$id" 143 || fail "folded out to $(client_height "$id")"
    close_program
else
    fail "no window"
fi
pass

begin_wine_case "the colour dialog's OK writes the ten colour keys"
if start_program wine "$EN"; then
    fold_out "$id" || fail "options row not shown"
    click_client "$id" "${COLOURS_AT[@]}"
    if did=$(wait_window "$COLORS_TITLE"); then
        expect_fixed_frame "$did" "colour dialog"
        wait_until eval '[ "$(xdotool getactivewindow 2>/dev/null)" = "$did" ]' ||
            fail "dialog not active"
        # The focus starts on OK.
        xdotool key Return
        wait_no_window "$COLORS_TITLE" || fail "Enter did not close the dialog"
        wait_until grep -q '^\[Kolory\]' "$ini" || fail "no Kolory section after OK"
        expect_colours R1=222 G1=0 B1=0 R2=0 G2=222 B2=0 R3=0 G3=0 B3=222 Alpha=255
    else
        fail "no colour dialog"
    fi
    close_program
else
    fail "no window"
fi
pass
