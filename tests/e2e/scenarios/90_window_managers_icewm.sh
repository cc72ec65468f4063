# SPDX-License-Identifier: MIT
# Under IceWM, which frames a window with a 5-pixel border and is told of
# the topmost band before it maps a window.

begin "under IceWM a window saved topmost keeps its place over starts and the strip"
printf '[Pozycja]\nLeft=4500\nTop=4500\n[Ustawienia]\nAoT=1\n' >"$ini"
for round in 1 2 3; do
    what="start $round"
    if program_opens "$what" "$EN"; then
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
    fi
done
pass

begin "under IceWM's frame a stored position is stored back unchanged at fractional scales"
expect_places_kept 1.25 1.5 1.75
pass

# The Motif hints' functions: given (flag 1), neither "all" (1), resize (2)
# nor maximise (16). Managers that read them (fluxbox, IceWM's keys) offer no
# resizing then, whatever else they do with a window's size hints.
fixed_by_hints() {
    xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.* = //p' | tr -d ',' |
        { read -r flags functions _ && (( (flags & 1) && !(functions & 19) )); }
}

begin "the fixed windows offer no resize or maximise in their hints, and the fold still works"
if program_opens "" "$EN"; then
    fixed_by_hints "$id" || fail "main window: $(xprop -id "$id" _MOTIF_WM_HINTS)"
    fold_out "$id" || fail "options row not shown"
    wait_until client_height_is "$id" 143 || fail "folded out to $(client_height "$id")"
    # A change of band makes Qt write its hints again.
    click_client "$id" "${AOT_AT[@]}"
    wait_until is_above "$id" || fail "not topmost after the tick"
    fixed_by_hints "$id" || fail "main window, topmost: $(xprop -id "$id" _MOTIF_WM_HINTS)"
    if open_colours; then
        fixed_by_hints "$did" || fail "colour dialog: $(xprop -id "$did" _MOTIF_WM_HINTS)"
        keys Escape
        wait_no_window "$COLORS_TITLE" || fail "colour dialog still open"
    else
        fail "no colour dialog"
    fi
    click_client "$id" "${OPTIONS_AT[@]}"
    wait_until client_height_is "$id" 113 || fail "folded back to $(client_height "$id")"
    if to_strip; then
        fixed_by_hints "$sid" || fail "strip: $(xprop -id "$sid" _MOTIF_WM_HINTS)"
        # Shown again after a change of band, the main window is a new X window.
        id=$(to_main) || fail "main window did not come back"
        wait_until fixed_by_hints "$id" || fail "main window back: $(xprop -id "$id" _MOTIF_WM_HINTS)"
        is_above "$id" || fail "main window back not topmost"
    else
        fail "no strip"
    fi
    close_program
fi
pass
