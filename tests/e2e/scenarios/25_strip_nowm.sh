# Without any window manager the strip has no system move to hand its drag
# to, and follows the pointer itself. Runs on a display of its own.

STRIP_TITLE="Kelvora zasobów systemowych"

begin "without a window manager the strip still drags and swaps back in place"
printf '[Pozycja]\nLeft=3000\nTop=2250\n' >"$XDG_CONFIG_HOME/Monitor.ini"
"$EN" & pid=$!
if id=$(wait_window "$EN_TITLE"); then
    wait_until eval '[ "$(outer_corner "$id")" = "200 150" ]' || fail "main at $(outer_corner "$id")"
    click_client "$id" 300 5 2
    if sid=$(wait_window "$STRIP_TITLE"); then
        wait_no_window "$EN_TITLE" || fail "main window still shown"
        wait_until eval '[ "$(outer_corner "$sid")" = "200 150" ]' ||
            fail "strip at $(outer_corner "$sid"), main was at 200 150"
        drag_window "$sid" 30 5 300 200
        wait_until eval '[ "$(outer_corner "$sid")" = "496 347" ]' ||
            fail "strip dragged to $(outer_corner "$sid"), not 496 347"
        # A second drag, grabbed elsewhere on the strip, starts afresh.
        drag_window "$sid" 150 20 -200 100
        wait_until eval '[ "$(outer_corner "$sid")" = "292 444" ]' ||
            fail "second drag to $(outer_corner "$sid"), not 292 444"
        click_client "$sid" 30 5 2
        if wait_window "$EN_TITLE" >/dev/null; then
            wait_until eval '[ "$(outer_corner "$id")" = "292 444" ]' ||
                fail "main back at $(outer_corner "$id"), not 292 444"
        else
            fail "main window did not come back"
        fi
    else
        fail "no strip"
    fi
fi
# Nothing can close a window politely without a window manager.
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
[ -n "${id:-}" ] || fail "no window"
pass
