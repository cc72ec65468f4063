# Shared helpers of the end-to-end tests: an X server with a window manager,
# the programs started with their own settings folder, and inspection with
# the standard X tools.

failures=0
scenario=""

start_display() {
    local wm=${1:-openbox}
    local number_file number=""
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        number=$(cat "$number_file")
        [ -n "$number" ] && break
        sleep 0.05
    done
    rm -f "$number_file"
    [ -n "$number" ] || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=":$number"
    wm_pid=""
    if [ "$wm" = openbox ]; then
        openbox --sm-disable >/dev/null 2>&1 &
        wm_pid=$!
        for _ in $(seq 50); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done
    fi
}

stop_display() {
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null || true
}

# A fresh settings and runtime folder for one scenario.
fresh_home() {
    home=$(mktemp -d)
    export XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
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

# Outer top-left corner: the client's corner less the window manager's frame.
outer_corner() {
    local x y w h left top
    read -r x y w h < <(client_geometry "$1")
    read -r left _ top _ < <(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.*= *//p' | tr -d ',' ; echo "0 0 0 0")
    echo "$((x - ${left:-0})) $((y - ${top:-0}))"
}

# Waits for a process to end; false if it is still running after ~5 s.
wait_exit() {
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
        sleep 0.05
    done
    return 1
}

close_window() { wmctrl -i -c "$1"; }

ini_value() { # file section key
    awk -v s="[$2]" -v k="$3" '$0 == s {in_s=1; next} /^\[/ {in_s=0}
        in_s && index($0, k "=") == 1 {print substr($0, length(k) + 2)}' "$1"
}

ini_keys() { grep -c '=' "$1" 2>/dev/null || echo 0; }

# Runs the command until it succeeds; false if it still fails after ~5 s.
wait_until() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

# Clicks (or with a count, multi-clicks) the left button at a point of the
# window's client area.
click_client() { # id x y [count]
    xdotool mousemove --window "$1" "$2" "$3" click --repeat "${4:-1}" --delay 80 1
}

is_above() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; }

# _NET_WM_WINDOW_OPACITY as a decimal number; empty when the window has none.
window_opacity() { xprop -id "$1" _NET_WM_WINDOW_OPACITY 2>/dev/null | sed -n 's/.* = //p'; }

# True when a 32-bit opacity value is alpha/255 of full within 0.5 %.
opacity_is() { # value alpha
    [ -n "$1" ] && awk -v v="$1" -v a="$2" 'BEGIN {
        want = a / 255 * 4294967295; d = v - want; if (d < 0) d = -d; exit !(d <= 0.005 * 4294967295) }'
}

# Drags with the left button from a client point of the window by (dx, dy):
# a small first step that turns the press into a drag, a moment for the
# drag to start, then the rest in ten steps. The window follows from the
# first step on, so it ends (dx - 4, dy - 3) from where it was.
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

# The colour of one screen pixel as RRGGBB.
pixel_at() { # x y
    local shot
    shot=$(mktemp --suffix=.png)
    import -window root "$shot"
    convert "$shot" -crop "1x1+$1+$2" txt: | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tail -n 1
    rm -f "$shot"
}
