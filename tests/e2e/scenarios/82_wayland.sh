# SPDX-License-Identifier: MIT
# Natively on Wayland, under weston's headless backend: a client cannot learn
# where its window is there, so a close must keep the stored position, which
# the next start on X11 then shows.

# Starts weston on a socket in the scenario's runtime folder; sets
# `weston_pid` and `WAYLAND_SOCKET_NAME`. Its own clients (panel, keyboard)
# end with it.
start_weston() {
    WAYLAND_SOCKET_NAME=kelvora-wayland
    env -u DISPLAY weston --backend=headless-backend.so --socket="$WAYLAND_SOCKET_NAME" \
        --idle-time=0 --log="$home/weston.log" >/dev/null 2>&1 &
    weston_pid=$!
    wait_until [ -S "$XDG_RUNTIME_DIR/$WAYLAND_SOCKET_NAME" ]
}

# True once the program has given weston a window with its title; Qt's
# Wayland requests are in the log WAYLAND_DEBUG writes.
titled_on_wayland() { # log title
    grep -qF "xdg_toplevel@" "$1" && grep -F ".set_title(\"$2\")" "$1" | grep -q xdg_toplevel
}

# Qt's Wayland platform plugin where the programs look for their plugins:
# a plugin folder set for them, else the system's.
wayland_plugin_present() {
    local folder
    for folder in ${QT_PLUGIN_PATH:+"$QT_PLUGIN_PATH"} /usr/lib/*/qt6/plugins; do
        [ -e "$folder/platforms/libqwayland-generic.so" ] && return 0
        [ -n "${QT_PLUGIN_PATH:-}" ] && return 1
    done
    return 1
}

begin "natively on Wayland a close keeps the stored position for the next X11 start"
if ! command -v weston >/dev/null; then
    fail "no weston (scripts/install-deps)"
elif ! wayland_plugin_present; then
    skip "the programs have no Qt Wayland platform plugin here (qt6-wayland)"
else
    start_weston || fail "weston did not start: $(tail -n 3 "$home/weston.log")"
    # Without any X display Qt finds Wayland by itself; with one, the man
    # page's QT_QPA_PLATFORM=wayland asks for it.
    for program in "$EN" "$PL"; do
        title=$(program_title "$program")
        case $program in "$EN") file=$ini ;; *) file=$settings_dir/Kelvora.ini ;; esac
        printf '[Pozycja]\nLeft=3000\nTop=2250\n' >"$file"
        for how in "no X display" "QT_QPA_PLATFORM=wayland"; do
            what="$title, $how"
            log="$home/wayland-debug"
            if [ "$how" = "no X display" ]; then
                env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY="$WAYLAND_SOCKET_NAME" \
                    WAYLAND_DEBUG=1 "$program" 2>"$log" &
            else
                env QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$WAYLAND_SOCKET_NAME" \
                    WAYLAND_DEBUG=1 "$program" 2>"$log" &
            fi
            pid=$!
            wait_until titled_on_wayland "$log" "$title" || fail "$what: no Wayland window"
            # Its first readings and frames, as a user would see them: time for
            # a reading or a frame to move the stored place, which nothing
            # from outside can wait for on Wayland.
            sleep 0.5
            # The only way to ask a Wayland client to close from outside.
            kill -TERM "$pid"
            wait_exit "$pid" || { fail "$what: still running"; stop_program; }
            [ "$status" -eq 0 ] || fail "$what: ended with status $status"
            stored="$(ini_value "$file" Pozycja Left) $(ini_value "$file" Pozycja Top)"
            [ "$stored" = "3000 2250" ] || fail "$what: stored Left and Top $stored"
        done
        if program_opens "$title on X11 after Wayland" "$program"; then
            wait_until corner_is "$id" "200 150" || fail "$title on X11 after Wayland: at $(outer_corner "$id")"
            close_program "$title on X11"
        fi
    done
    end_processes "$weston_pid"
fi
pass
