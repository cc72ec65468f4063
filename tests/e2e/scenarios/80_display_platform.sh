# SPDX-License-Identifier: MIT
# The display the programs choose, and the scale of their windows.

begin "a Wayland session with an X display gets an X window"
if program_opens "" env -u QT_QPA_PLATFORM WAYLAND_DISPLAY=kelvora-no-such-wayland-socket \
    XDG_SESSION_TYPE=wayland "$EN"; then
    [ "$(client_size "$id")" = "449 x 113" ] || fail "client area $(client_size "$id")"
    close_program
fi
pass

begin "a platform the user chose is kept"
QT_QPA_PLATFORM=offscreen "$EN" & pid=$!
# Time to end or to open a window anyway, which nothing outside can wait for.
sleep 1.5
has_ended "$pid" && fail "did not keep running offscreen"
xdotool search --name "^$EN_TITLE\$" >/dev/null 2>&1 && fail "opened an X window"
stop_program
pass

begin "at scale factor 2 the layout keeps its logical size"
for program in "$EN" "$PL"; do
    title=$(program_title "$program")
    if program_opens "$title" env QT_SCALE_FACTOR=2 "$program"; then
        wait_until client_size_is "$id" "898 x 226" || fail "$title: client area $(client_size "$id")"
        close_program "$title"
    fi
done
pass
