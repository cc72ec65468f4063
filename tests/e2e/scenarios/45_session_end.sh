# SPDX-License-Identifier: MIT
# How a session ends, and what around it cannot keep the program from
# starting: termination signals and a lost X server write the closing keys
# as a close does; an environment that points elsewhere does not make a
# second instance; no display at all.

# Points inside the memory and drive bars, near their left ends; a click on
# either steps its unit. The drive's figures, in client rows 27 to 42, change
# little between readings, so a change there shows the last click handled.
UNIT_BARS_AT=("38 50" "38 18")
DRIVE_FIGURES_ROWS=(27 16)

# A digest of the pixels of a band of the window's client area.
band_digest() { # id y height
    local x y width
    read -r x y width _ < <(client_geometry "$1")
    import -window root -crop "${width}x$3+$x+$((y + $2))" +repage rgb:- | md5sum
}

band_differs() { [ "$(band_digest "$1" "$2" "$3")" != "$4" ]; } # id y height digest

# A display of its own for a case that ends its X server, and the shared
# one, with its window manager, back afterwards.
own_display() {
    shared_display=("$DISPLAY" "$xvfb_pid" "$wm_pid")
    start_display none
}

back_to_shared_display() {
    end_processes "$xvfb_pid"
    DISPLAY=${shared_display[0]} xvfb_pid=${shared_display[1]} wm_pid=${shared_display[2]}
}

# strace counts how often the settings file is replaced; where it cannot
# trace, the cases run without it and that count is left out.
can_trace() { command -v strace >/dev/null && strace -qq -e trace=none true 2>/dev/null; }

# Starts the English program as program_opens does, traced where that
# works; sets `pid` to what
# was started, `program` to the program's own process and `trace` to the
# trace file (empty when untraced). A command started in the background
# ignores SIGINT (and under nohup SIGHUP), and a program rightly keeps an
# ignored signal ignored; a program in the foreground of a terminal gets
# both, as it does here.
start_traced() { # what
    if can_trace; then
        trace="$home/trace"
        program_opens "$1" env --default-signal=HUP,INT,TERM strace -f -qq -e signal=none \
            -e trace=rename,renameat,renameat2,link,linkat -o "$trace" "$EN" || return 1
        program=$(pgrep -P "$pid")
    else
        trace=""
        program_opens "$1" env --default-signal=HUP,INT,TERM "$EN" || return 1
        program=$pid
    fi
}

# How often the trace shows the settings file put in place: a rename or
# link onto it that succeeded.
replacements() { grep -cE '[/"]Monitor\.ini"(, [A-Z_0-9|]+)?\) = 0$' "$trace"; }

# Fails unless the file holds the eleven closing keys, with the window at
# x,y and both units stepped once from their defaults: GB to bytes, MB to GB.
expect_closing_keys() { # x y what
    local what=$3 expected section key value
    [ -f "$ini" ] || { fail "$what: no settings file"; return 1; }
    [ "$(ini_keys "$ini")" -eq 11 ] || fail "$what: $(ini_keys "$ini") keys stored"
    for expected in "Pozycja Left $(($1 * 15))" "Pozycja Top $(($2 * 15))" \
        "Ustawienia interval 2" "Ustawienia AoT 0" "Ustawienia Dysk 1" \
        "Ustawienia HDDNumber 1" "Ustawienia HDDFormat ### ### ### ##0 B" "Ustawienia HDDCounter 0" \
        "Ustawienia RAMNumber 1073741824" "Ustawienia RAMFormat 0.00 GB" "Ustawienia RAMCounter 3"; do
        read -r section key value <<<"$expected"
        expect_setting "$section" "$key" "$value" "$what"
    done
}

begin "a termination signal or a lost X server writes the closing keys once"
for end in TERM HUP INT display; do
    fresh_home
    [ "$end" = display ] && own_display
    # Qt says on standard error that the X connection broke.
    if start_traced "$end" 2>"$home/stderr"; then
        xdotool windowmove "$id" 300 200
        wait_until corner_is "$id" "300 200" || fail "$end: window at $(outer_corner "$id")"
        figures=$(band_digest "$id" "${DRIVE_FIGURES_ROWS[@]}")
        for point in "${UNIT_BARS_AT[@]}"; do
            # shellcheck disable=SC2086 # x and y
            click_client "$id" $point
        done
        wait_until band_differs "$id" "${DRIVE_FIGURES_ROWS[@]}" "$figures" ||
            fail "$end: the drive's unit did not change"
        if [ "$end" = display ]; then
            end_processes "$xvfb_pid"
        else
            kill -"$end" "$program"
        fi
        if wait_exit "$pid"; then
            # Qt itself ends the program when the X connection breaks, with 1.
            [ "$end" = display ] || [ "$status" -eq 0 ] || fail "$end: ended with status $status"
            expect_closing_keys 300 200 "$end"
            if [ -n "$trace" ] && [ "$(replacements)" -ne 1 ]; then
                fail "$end: settings file written $(replacements) times"
            fi
        else
            fail "$end: still running"
            stop_program
        fi
    fi
    [ "$end" = display ] && back_to_shared_display
done
pass

# Makes a folder read-only: by a read-only mount as root, whom permission
# bits do not stop.
read_only() { # folder
    if is_root; then
        mount --bind "$1" "$1" && mount -o remount,bind,ro "$1"
    else
        chmod a-w "$1"
    fi
}

begin "a start stuck before its window is ended by SIGTERM"
# An X server that does not answer holds the start in Qt's connection.
own_display
kill -STOP "$xvfb_pid"
"$EN" 2>/dev/null & pid=$!
has_socket() { find "/proc/$1/fd" -lname 'socket:*' 2>/dev/null | grep -q .; }
# Its first socket is the connection to the X server.
wait_until has_socket "$pid" || fail "no connection to the X server"
kill -TERM "$pid"
wait_exit "$pid" || { fail "still running"; stop_program; }
kill -CONT "$xvfb_pid"
back_to_shared_display
pass

begin "one instance per display, whatever XDG_RUNTIME_DIR, TMPDIR and DISPLAY say"
# The first instance starts in an environment of its own, the second in the
# scenario's usual one, and ends at once.
for kind in unset relative read-only missing "no temporary folder" "screen of the display" \
    "leading zero" "unix socket" "plus sign"; do
    fresh_home
    case $kind in
    unset) environment=(-u XDG_RUNTIME_DIR) ;;
    relative) environment=(XDG_RUNTIME_DIR=run) ;;
    read-only)
        mkdir -m 700 "$home/run-ro"
        read_only "$home/run-ro"
        environment=(XDG_RUNTIME_DIR="$home/run-ro")
        ;;
    missing)
        touch "$home/file"
        environment=(XDG_RUNTIME_DIR="$home/file/run")
        ;;
    "no temporary folder")
        touch "$home/file"
        mkdir "$home/tmp"
        read_only "$home/tmp"
        environment=(XDG_RUNTIME_DIR="$home/file/run" TMPDIR="$home/tmp")
        ;;
    "screen of the display") environment=(DISPLAY="$DISPLAY.0") ;;
    "leading zero") environment=(DISPLAY=":0${DISPLAY#:}") ;;
    "unix socket") environment=(DISPLAY="unix$DISPLAY.0") ;;
    "plus sign") environment=(DISPLAY=":+${DISPLAY#:}") ;;
    esac
    # Qt warns about the folders on standard error.
    if program_opens "$kind" env "${environment[@]}" "$EN" 2>/dev/null; then
        expect_ends "$kind: second instance" "$EN" &&
            { [ "$status" -eq 0 ] || fail "$kind: second instance ended with $status"; }
        close_program "$kind"
    fi
    for folder in "$home/run-ro" "$home/tmp"; do
        if mountpoint -q "$folder"; then
            umount "$folder"
        fi
    done
done
pass

begin "another user's folder at the lock's fallback place still leaves one instance"
fallback=/tmp/kelvora-$(id -u)
if ! is_root; then
    skip "needs root to plant another user's folder"
elif [ "$own_lock_dir" != "$fallback" ]; then
    skip "$fallback was there before the run"
else
    # The run's own, made by the cases without a runtime folder above; no
    # program holds it now.
    rm -rf "$fallback"
    # Without a runtime folder the lock falls back to /tmp; the runtime
    # folders are hidden for this scenario, in the run's own mount namespace.
    [ -d /run/user ] && mount -t tmpfs kelvora-no-runtime /run/user
    # The next fallback is the user's cache folder; what of it the programs
    # make goes with the run.
    cache=$(getent passwd "$(id -u)" | cut -d: -f6)/.cache
    [ -e "$cache/kelvora" ] || remove_at_end "$cache/kelvora"
    [ -e "$cache" ] || remove_at_end "$cache"
    for kind in "open folder" "private folder" "link" "file"; do
        case $kind in
        "open folder") mkdir -m 777 "$fallback" ;;
        "private folder") mkdir -m 700 "$fallback" ;;
        link) ln -s "$home" "$fallback" ;;
        file) touch "$fallback" ;;
        esac
        chown -h 4242:4242 "$fallback"
        if program_opens "$kind" "$EN"; then
            expect_ends "$kind: second instance" "$EN" &&
                { [ "$status" -eq 0 ] || fail "$kind: second instance ended with $status"; }
            lock=$(readlink /proc/"$pid"/fd/* | grep 'kelvora-.*\.lock$')
            case $lock in "$fallback"/* | "$home"/*) fail "$kind: locked in $lock" ;; esac
            close_program "$kind"
        fi
        rm -rf "$fallback"
    done
    mountpoint -q /run/user && umount /run/user
    pass
fi

begin "without a display the program says so in one line and ends with status 1"
# A display number that nothing answers on.
for gone in $(seq 90 99); do
    xprop -display ":$gone" -root >/dev/null 2>&1 || break
done
for display in none "wayland socket gone" "X server gone"; do
    case $display in
    none) settings=() ;;
    "wayland socket gone") settings=(XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=kelvora-no-such-wayland-socket) ;;
    "X server gone") settings=(DISPLAY=":$gone") ;;
    esac
    for program in "$EN" "$PL"; do
        what="$(program_title "$program"), $display"
        if expect_ends "$what" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
            "${settings[@]}" "$program" 2>"$home/stderr"; then
            [ "$status" -eq 1 ] || fail "$what: status $status"
            [ "$(wc -l <"$home/stderr")" -eq 1 ] || fail "$what: $(wc -l <"$home/stderr") lines on stderr"
        fi
    done
done
pass
