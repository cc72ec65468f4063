# SPDX-License-Identifier: MIT
# Shared helpers of the end-to-end tests: one private folder for everything
# the run makes, an X server with a window manager, the programs started with
# their own settings folder, and inspection with the standard X tools.

failures=0
scenario=""
# Folders outside the run's own folder that a scenario had to make elsewhere.
outside_dirs=()

# Makes the one folder every temporary file of the run lives in, and sees to
# it that the folder, the X servers and any program still running go when the
# run ends, however it ends.
begin_run() {
    trap end_run EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
    # Output cut short, as by `run ... | head`, ends the run the same way.
    trap 'exit 141' PIPE
    run_dir=$(mktemp -d "${TMPDIR:-/tmp}/kelvora-e2e.XXXXXX") || exit 1
    # What the tools themselves put in temporary space lands here too.
    export TMPDIR=$run_dir
    # Where a user has no runtime folder the programs keep their instance
    # locks in a folder of their own in /tmp, whatever TMPDIR says; one this
    # run makes goes with it.
    own_lock_dir=/tmp/kelvora-$(id -u)
    [ -e "$own_lock_dir" ] && own_lock_dir=""
}

end_run() {
    # A second interrupt must not cut the clean-up short, nor a step that
    # fails in a script that runs with errexit.
    trap '' HUP INT TERM PIPE
    set +e
    # shellcheck disable=SC2046 # one process id a word
    end_processes $(jobs -p)
    release_mounts
    local dir
    for dir in "${outside_dirs[@]}"; do
        rmdir "$dir" 2>/dev/null
    done
    [ -n "${own_lock_dir:-}" ] && rm -rf "$own_lock_dir"
    if [ -n "${run_dir:-}" ]; then
        # A scenario interrupted midway may have left a folder read-only.
        chmod -R u+rwx "$run_dir" 2>/dev/null
        rm -rf "$run_dir"
    fi
}

# Registers a folder outside the run's folder for removal when the run ends.
remove_at_end() { outside_dirs+=("$1"); }

# Detaches whatever a scenario left mounted in the run's folders, deepest
# first, so that removing them neither fails nor reaches into a mount.
release_mounts() {
    local root point
    for root in ${run_dir:+"$run_dir"} "${outside_dirs[@]}"; do
        awk -v root="$root" '$5 == root || index($5, root "/") == 1 { print $5 }' /proc/self/mountinfo |
            sort -r | while read -r point; do
            umount -l "$point" 2>/dev/null
        done
    done
}

# True once the process is gone or only its exit status is left to collect.
has_ended() {
    ! kill -0 "$1" 2>/dev/null || [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = Z ]
}

# Runs the command until it succeeds; false if it still fails after ~5 s.
wait_until() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

not() { ! "$@"; }

# Waits for a process this shell started to end and sets `status` to its exit
# status; false if it is still running after ~5 s.
wait_exit() {
    wait_until has_ended "$1" || return 1
    status=0
    { wait "$1"; } 2>/dev/null || status=$?
}

# Ends processes this shell started and collects them: a TERM, then a KILL
# for any still there ~2 s later.
end_processes() { # pid...
    local pid
    [ "$#" -gt 0 ] || return 0
    kill "$@" 2>/dev/null
    for pid; do
        for _ in $(seq 40); do
            has_ended "$pid" && break
            sleep 0.05
        done
        has_ended "$pid" || kill -9 "$pid" 2>/dev/null
    done
    { wait "$@"; } 2>/dev/null
}

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

start_display() { # openbox | icewm | none
    local wm=${1:-openbox} number_file number
    number_file=$(mktemp -p "$run_dir")
    # Listening on the abstract socket only, the server makes neither a socket
    # nor a lock file in /tmp.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -nolisten unix \
        3>"$number_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    wait_until [ -s "$number_file" ]
    number=$(cat "$number_file")
    rm -f "$number_file"
    [ -n "$number" ] || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=":$number"
    wm_pid=""
    if [ "$wm" = openbox ]; then
        # Its log goes to the cache folder, which is kept in the run's folder.
        XDG_CACHE_HOME="$run_dir/cache" openbox --sm-disable >/dev/null 2>&1 &
        wm_pid=$!
        wait_until wm_running
    elif [ "$wm" = icewm ]; then
        # Its settings folder is one of the run's own, left empty: defaults.
        ICEWM_PRIVCFG="$run_dir/icewm" icewm >/dev/null 2>&1 &
        wm_pid=$!
        # IceWM names itself before it manages windows; the stacking list
        # on the root window comes once it does.
        wait_until wm_running
        wait_until eval 'xprop -root _NET_CLIENT_LIST_STACKING | grep -q "(WINDOW)"'
    fi
}

stop_display() {
    end_processes ${wm_pid:+"$wm_pid"} "$xvfb_pid"
    wm_pid="" xvfb_pid=""
}

# A fresh settings and runtime folder for one scenario.
fresh_home() {
    home=$(mktemp -d -p "$run_dir" home.XXXXXX)
    export XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
    # The programs' own folder there, and the English program's file in it.
    settings_dir="$XDG_CONFIG_HOME/Kelvora"
    mkdir -p "$settings_dir" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    ini="$settings_dir/Monitor.ini"
}

begin() {
    scenario=$1
    failures_before=$failures
    fresh_home
}

fail() {
    echo "FAIL [$scenario]: $*"
    failures=$((failures + 1))
}

pass() { [ "$failures" -eq "$failures_before" ] && echo "ok   [$scenario]"; return 0; }

skip() { echo "skip [$scenario]: $*"; }

is_root() { [ "$(id -u)" -eq 0 ]; }

# The title of the main window of the program named among a command's words.
program_title() { # word...
    local word
    for word; do
        case $word in
        "$EN") echo "$EN_TITLE"; return 0 ;;
        "$PL") echo "$PL_TITLE"; return 0 ;;
        esac
    done
    return 1
}

# Runs a command that starts one of the programs, maybe through env, unshare
# and the like, in the background; sets `pid` to it and `id` to its main
# window once that is mapped. False, with the process ended, when no window
# comes within ~5 s.
start_program() { # command...
    local title
    title=$(program_title "$@") || { fail "no program in: $*"; return 1; }
    "$@" &
    pid=$!
    id=$(wait_window "$title") && return 0
    stop_program
    return 1
}

# Starts a program as start_program does, and fails the scenario when no
# window comes: `if program_opens "$what" "$EN"; then ...; close_program; fi`.
program_opens() { # what command...
    local what=${1:+$1: }
    shift
    start_program "$@" || { fail "${what}no window"; return 1; }
}

# Closes the main window the way a user does, through the window manager, and
# waits for the program to end. Fails the scenario when it is still running
# after ~5 s (and then kills it) or when it ends with a status other than 0.
close_program() { # [what, to prefix the failures]
    local what=${1:+$1: }
    close_window "$id"
    if ! wait_exit "$pid"; then
        fail "${what}still running after close"
        stop_program
        return 1
    fi
    [ "$status" -eq 0 ] || { fail "${what}ended with status $status"; return 1; }
}

# Ends the program without asking it, where nothing can ask it politely.
stop_program() { end_processes "$pid"; }

# Runs a command that has to end by itself at once; fails the scenario, and
# ends the command, when it is still running after ~5 s.
expect_ends() { # what command...
    local what=$1 command_pid
    shift
    "$@" &
    command_pid=$!
    wait_exit "$command_pid" && return 0
    fail "$what still running"
    end_processes "$command_pid"
    return 1
}

# Waits until a mapped window with exactly this title exists; prints its id.
wait_window() {
    local title=$1 id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.05
    done
    return 1
}

# Waits until no visible window has this title.
wait_no_window() {
    local title=$1
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
        sleep 0.05
    done
    return 1
}

# Client area: "x y width height" in root coordinates.
client_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print x, y, w, h}'
}

# Client area size as "width x height".
client_size() { client_geometry "$1" | awk '{print $3 " x " $4}'; }
client_size_is() { [ "$(client_size "$1")" = "$2" ]; } # id "width x height"

client_height() { client_geometry "$1" | awk '{print $4}'; }
client_height_at_least() { [ "$(client_height "$1")" -ge "$2" ]; }
client_height_is() { [ "$(client_height "$1")" -eq "$2" ]; }

# Outer top-left corner: the client's corner less the window manager's frame.
outer_corner() {
    local x y left top
    read -r x y _ _ < <(client_geometry "$1")
    read -r left _ top _ < <(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.*= *//p' | tr -d ',' ; echo "0 0 0 0")
    echo "$((x - ${left:-0})) $((y - ${top:-0}))"
}

corner_is() { [ "$(outer_corner "$1")" = "$2" ]; } # id "x y"

close_window() { wmctrl -i -c "$1"; }

# The value of a key; empty when the file or the key is missing.
ini_value() { # file section key
    [ -f "$1" ] || return 0
    # Windows files end their lines in CRLF.
    awk -v s="[$2]" -v k="$3" '{sub(/\r$/, "")} $0 == s {in_s=1; next} /^\[/ {in_s=0}
        in_s && index($0, k "=") == 1 {print substr($0, length(k) + 2)}' "$1"
}

# How many lines of the file hold a key; 0 for an empty or missing file.
ini_keys() { cat "$1" 2>/dev/null | awk '/=/ { n++ } END { print n + 0 }'; }

# Fails unless the English program's settings file holds the value under the
# key; an empty value stands for no such key.
expect_setting() { # section key value [what, to prefix the failure]
    local got
    got=$(ini_value "$ini" "$1" "$2")
    [ "$got" = "$3" ] || fail "${4:+$4: }$1/$2 is '$got', expected '$3'"
}

# Starts and closes the English program at each scale over stored places
# whose pixels leave each remainder by 4, across and down: at a quarter scale
# the rounding to device pixels repeats every 4 pixels, and whether a place
# comes back a pixel off depends on it and on the frame's size. Fails unless
# the window opens where stored and the close stores the place unchanged.
expect_places_kept() { # scale...
    local scale place left top corner what
    for scale; do
        for place in "1500 3015" "1515 3030" "1530 3045" "1545 3000"; do
            read -r left top <<<"$place"
            fresh_home
            printf '[Pozycja]\nLeft=%s\nTop=%s\n' "$left" "$top" >"$ini"
            # The outer corner in device pixels.
            corner=$(awk -v s="$scale" -v x="$left" -v y="$top" \
                'BEGIN { printf "%d %d", x / 15 * s + 0.5, y / 15 * s + 0.5 }')
            what="scale $scale, $left $top"
            if program_opens "$what" env QT_SCALE_FACTOR="$scale" "$EN"; then
                wait_until corner_is "$id" "$corner" || fail "$what: outer corner $(outer_corner "$id")"
                close_program "$what"
                expect_setting Pozycja Left "$left" "$what"
                expect_setting Pozycja Top "$top" "$what"
            fi
        done
    done
}

# A settings file of some age, with a position, options and one colour.
# Dysk 0 loads as 1, so every close that gets through writes a new file.
old_settings() {
    printf '[Pozycja]\nLeft=1500\nTop=3000\n\n[Ustawienia]\nDysk=0\ninterval=2\n\n[Kolory]\nR1=7\n'
}

# Fails unless the colour section holds exactly these keys, with these values.
expect_colours() { # key=value...
    local expected
    for expected; do
        expect_setting Kolory "${expected%%=*}" "${expected#*=}"
    done
    [ "$(awk '/^\[Kolory\]/ {s=1; next} /^\[/ {s=0} s && /=/' "$ini" | wc -l)" -eq "$#" ] ||
        fail "Kolory holds other than $# keys"
}

# Clicks (or with a count, multi-clicks) the left button at a point of the
# window's client area.
click_client() { # id x y [count]
    xdotool mousemove --window "$1" "$2" "$3" click --repeat "${4:-1}" --delay 80 1
}

is_above() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; }

# _NET_WM_WINDOW_OPACITY as a decimal number; empty when the window has none.
window_opacity() { xprop -id "$1" _NET_WM_WINDOW_OPACITY 2>/dev/null | sed -n 's/.* = //p'; }

# True when the window's 32-bit opacity is alpha/255 of full within 0.5 %.
window_opacity_is() { # id alpha
    local value
    value=$(window_opacity "$1")
    [ -n "$value" ] && awk -v v="$value" -v a="$2" 'BEGIN {
        want = a / 255 * 4294967295; d = v - want; if (d < 0) d = -d; exit !(d <= 0.005 * 4294967295) }'
}

# Drags with the left button from a client point of the window by (dx, dy):
# a small first step that turns the press into a drag, a moment for the
# drag to start, then the rest in ten steps. The point pressed stays under
# the pointer, so the window ends (dx, dy) from where it was. The pauses are
# a hand's pace: nothing outside shows when the program has taken the press
# or begun to follow the pointer.
drag_window() { # id x y dx dy
    local x y i
    read -r x y _ _ < <(client_geometry "$1")
    x=$((x + $2)) y=$((y + $3))
    xdotool mousemove "$x" "$y" mousedown 1
    sleep 0.1
    xdotool mousemove "$((x + 4))" "$((y + 3))"
    sleep 0.2
    for i in $(seq 1 10); do
        xdotool mousemove "$((x + $4 * i / 10))" "$((y + $5 * i / 10))"
        sleep 0.03
    done
    xdotool mouseup 1
}

# Saves what the screen shows of the window, with the window manager's frame
# around it as a user sees it, to a PNG file.
save_window_picture() { # id file
    local x y w h left right top bottom shot cropped
    read -r x y w h < <(client_geometry "$1")
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.* = //p' | tr -d ','; echo "0 0 0 0")
    shot=$(mktemp --suffix=.png) && cropped=$(mktemp --suffix=.png) &&
        import -window root "$shot" &&
        convert "$shot" -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" \
            +repage -strip "$cropped" &&
        chmod 644 "$cropped" && mv "$cropped" "$2"
    local status=$?
    rm -f "$shot" "$cropped"
    return "$status"
}

# The colour of one screen pixel as RRGGBB.
pixel_at() { # x y
    local shot
    shot=$(mktemp -p "$run_dir" --suffix=.png)
    import -window root "$shot"
    convert "$shot" -crop "1x1+$1+$2" txt: | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tail -n 1
    rm -f "$shot"
}

# Points of the main window's client area (layout twips / 15): the caption
# "Options..." at 365,90 (73 x 18); the always-on-top check box at 303,116
# (93 x 25), its box at the left, its caption to the right; the colour button
# at 408,116 (25 x 21); bare surface above the drive bar.
OPTIONS_AT=(380 99)
# Further along the same caption, for a second click soon after the first.
OPTIONS_AGAIN_AT=(425 99)
AOT_AT=(311 128)
# Two clicks at one spot in quick succession are a double-click, on which a
# control acts once; clicks that should each act alternate spots.
AOT_CAPTION_AT=(350 128)
COLOURS_AT=(420 126)
# On the drive list of the options row, which opens on a click.
DRIVE_LIST_AT=(246 126)
SURFACE_AT=(300 5)
# Where the strip is grabbed, double-clicked or dragged.
STRIP_AT=(30 5)

# Clicks "Options..." and waits until the whole options row is inside the
# client area (its bottom is at 2115 twips, 141 px).
fold_out() { # id
    click_client "$1" "${OPTIONS_AT[@]}"
    wait_until client_height_at_least "$1" 141
}

COLORS_TITLE="Colors config..."

# Clicks the colour button of the unfolded options row of the main window
# `id` and waits for the dialog; sets `did` to it.
open_colours() {
    click_client "$id" "${COLOURS_AT[@]}"
    did=$(wait_window "$COLORS_TITLE")
}

is_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }

# Presses keys on whatever has the keyboard focus, as a user would.
keys() { xdotool key --delay 30 "$@"; }

# Double-clicks bare surface of the main window `id` and waits for the strip;
# sets `sid` to it.
to_strip() {
    click_client "$id" "${SURFACE_AT[@]}" 2
    sid=$(wait_window "$STRIP_TITLE")
}

# Double-clicks the strip `sid` and waits for the main window; prints its id.
to_main() {
    click_client "$sid" "${STRIP_AT[@]}" 2
    wait_window "$EN_TITLE"
}
