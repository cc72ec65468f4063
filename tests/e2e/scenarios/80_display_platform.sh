# The display the programs choose, and the scale of their windows.

begin "a Wayland session with an X display gets an X window"
env -u QT_QPA_PLATFORM WAYLAND_DISPLAY=kelvora-no-such-wayland-socket XDG_SESSION_TYPE=wayland \
    "$EN" & pid=$!
if id=$(wait_window "$EN_TITLE"); then
    read -r _ _ w h < <(client_geometry "$id")
    [ "$w x $h" = "449 x 113" ] || fail "client area $w x $h"
    close_window "$id"
    wait_exit "$pid" || fail "still running after close"
else
    fail "no X window"; kill "$pid"
fi
pass

begin "a platform the user chose is kept"
QT_QPA_PLATFORM=offscreen "$EN" & pid=$!
sleep 1.5
kill -0 "$pid" 2>/dev/null || fail "did not keep running offscreen"
xdotool search --name "^$EN_TITLE\$" >/dev/null 2>&1 && fail "opened an X window"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pass

begin "at scale factor 2 the layout keeps its logical size"
for program in "$EN" "$PL"; do
    title=$EN_TITLE
    [ "$program" = "$PL" ] && title=$PL_TITLE
    QT_SCALE_FACTOR=2 "$program" & pid=$!
    if id=$(wait_window "$title"); then
        sleep 0.3
        read -r _ _ w h < <(client_geometry "$id")
        [ "$w x $h" = "898 x 226" ] || fail "$title: client area $w x $h"
        close_window "$id"
        wait_exit "$pid" || fail "$title: still running after close"
    else
        fail "$title: no window"; kill "$pid"
    fi
done
pass
