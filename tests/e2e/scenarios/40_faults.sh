# SPDX-License-Identifier: MIT
# Faults around the real program: racing starts, kills during the close,
# settings that cannot be written or are no regular file, a lock in the way
# of the store, /proc files that cannot be read and a drive that goes away.
# Parts that need root say so and are skipped.

# Waits for the process to end and sets `status` to its exit status; 255
# when it did not end within ~5 s.
collect_status() {
    wait_exit "$1" && return 0
    end_processes "$1"
    status=255
}

# Starts the program over a settings file that cannot be written, checks that
# it reads what is stored, keeps running and ends normally on close.
run_unwritable() { # kind
    local kind=$1
    if program_opens "$kind" "$EN"; then
        # Time for a failed write at the start to end it, if one would.
        sleep 0.5
        has_ended "$pid" && fail "$kind: ended by itself"
        if [ "$kind" != directory ]; then
            corner_is "$id" "100 200" || fail "$kind: stored position not applied"
        fi
        close_program "$kind"
    fi
}

# True when each process has the file open.
have_open() { # file pid...
    local file=$1 pid
    shift
    for pid; do
        find "/proc/$pid/fd" -lname "$file" 2>/dev/null | grep -q . || return 1
    done
}

# How many of the processes are still running.
running() { # pid...
    local pid count=0
    for pid; do
        has_ended "$pid" || count=$((count + 1))
    done
    echo "$count"
}

only_one_running() { [ "$(running "$@")" -eq 1 ]; } # pid...

begin "two instances started together leave exactly one window"
gate="$home/gate"
for round in $(seq 8); do
    mkfifo "$gate"
    # Both wait reading the gate, which only the scenario holds open for
    # writing, and are released by the end of file when it closes it, within
    # microseconds of each other.
    exec 8<>"$gate"
    (read -r _ <"$gate"; exec "$EN") 8>&- & first=$!
    (read -r _ <"$gate"; exec "$EN") 8>&- & second=$!
    wait_until have_open "$gate" "$first" "$second" || fail "round $round: not both at the gate"
    exec 8>&-
    if id=$(wait_window "$EN_TITLE"); then
        # The one that lost the race ends at once.
        wait_until only_one_running "$first" "$second" ||
            fail "round $round: $(running "$first" "$second") instances running"
        windows=$(xdotool search --onlyvisible --name "^$EN_TITLE\$" | wc -l)
        [ "$windows" -eq 1 ] || fail "round $round: $windows windows"
        close_window "$id"
    else
        fail "round $round: no window"
    fi
    for instance in "$first" "$second"; do
        collect_status "$instance"
        [ "$status" -eq 0 ] || fail "round $round: an instance ended with $status"
    done
    rm -f "$gate"
done
pass

# The instance lock a running program holds open.
lock_of() { # pid
    local fd
    for fd in /proc/"$1"/fd/*; do
        case $(readlink "$fd") in */kelvora-*.lock) readlink "$fd" && return 0 ;; esac
    done
    return 1
}

begin "whatever sits at the instance lock's place, only a live holder stops a start"
lock=""
if program_opens "" "$EN"; then
    lock=$(lock_of "$pid") || fail "no lock held"
    close_program
    [ -e "$lock" ] && fail "the lock outlived its program"
fi
# kind, and whether a start then runs or ends at once.
for row in "fifo runs" "folder runs" "dangling-link runs" "empty runs" \
    "naming-a-live-process runs" "held-by-a-live-process ends"; do
    [ -n "$lock" ] || break
    read -r kind expected <<<"$row"
    holder=""
    case $kind in
    fifo) mkfifo "$lock" ;;
    folder) mkdir "$lock" ;;
    dangling-link) ln -s "$home/nowhere" "$lock" ;;
    empty) : >"$lock" ;;
    naming-a-live-process) printf '%s\nKelvora_EN\n%s\n' "$$" "$(hostname)" >"$lock" ;;
    held-by-a-live-process)
        (exec 9>"$lock" && flock 9 && exec sleep 30) & holder=$!
        wait_until not flock -n "$lock" true || fail "$kind: not held"
        ;;
    esac
    if [ "$expected" = ends ]; then
        expect_ends "$kind" "$EN" && { [ "$status" -eq 0 ] || fail "$kind: ended with $status"; }
    elif program_opens "$kind" "$EN"; then
        # Whatever is in the way, there is still only one instance.
        expect_ends "$kind: second instance" "$EN"
        close_program "$kind"
    fi
    [ -n "$holder" ] && end_processes "$holder"
    rm -rf "$lock"
done
pass

begin "kill -9 during the close leaves the old or the new settings file, never a mix"
old_settings >"$home/old.ini"
cp "$home/old.ini" "$ini"
if program_opens "" "$EN"; then
    close_program "reference run"
    cp "$ini" "$home/new.ini"
    cmp -s "$home/old.ini" "$home/new.ini" && fail "the close wrote nothing new"
    old=0 new=0
    # The close request reaches the program a few milliseconds after it is
    # sent and the file is written soon after; the kills are spread over that
    # time by a busy wait growing by about half a millisecond each round.
    for round in $(seq 0 39); do
        cp "$home/old.ini" "$ini"
        if program_opens "round $round" "$EN"; then
            # The kills are timed from the close request, which must find the
            # program done with its start's work; nothing outside shows when
            # it is.
            sleep 0.2
            close_window "$id" & closer=$!
            for ((spin = 0; spin < round * 300; spin++)); do :; done
            kill -9 "$pid" 2>/dev/null
            { wait "$pid"; } 2>/dev/null
            wait "$closer"
            if cmp -s "$ini" "$home/old.ini"; then
                old=$((old + 1))
            elif cmp -s "$ini" "$home/new.ini"; then
                new=$((new + 1))
            else
                fail "round $round: a mixed file"
                diff "$home/new.ini" "$ini" | head -n 10
            fi
        fi
    done
    echo "     kills during the close: $old left the old file, $new the new one"
fi
pass

begin "a read-only settings file keeps its contents and the program runs"
old_settings >"$ini"
cp "$ini" "$home/old.ini"
if is_root; then
    # Permission bits do not stop root; a read-only mount does.
    mount --bind "$settings_dir" "$settings_dir" &&
        mount -o remount,bind,ro "$settings_dir"
    run_unwritable read-only
    umount "$settings_dir"
else
    chmod 444 "$ini"
    chmod 555 "$settings_dir"
    run_unwritable read-only
    chmod 755 "$settings_dir"
fi
cmp -s "$ini" "$home/old.ini" || fail "the stored file changed"
pass

begin "a directory in place of the settings file is left alone"
mkdir "$ini"
echo kept >"$ini/note"
run_unwritable directory
[ -d "$ini" ] && [ "$(cat "$ini/note")" = kept ] || fail "the directory was touched"
pass

begin "a FIFO or device as the settings file neither blocks the start nor is replaced"
for kind in fifo fifo-link device-link; do
    fresh_home
    case $kind in
    fifo)
        target=$ini
        mkfifo "$target"
        ;;
    fifo-link)
        target="$home/fifo"
        mkfifo "$target"
        ln -s "$target" "$ini"
        ;;
    device-link)
        # Root could replace /dev/null itself, so as root the link points
        # at a null device node of the scenario's own.
        target=/dev/null
        if is_root; then
            target="$home/null"
            mknod "$target" c 1 3 || { skip "$kind: cannot make a device node"; continue; }
        fi
        ln -s "$target" "$ini"
        ;;
    esac
    # The usual wait for the window: a start blocked opening a FIFO never
    # shows one.
    if program_opens "$kind" "$EN"; then
        close_program "$kind"
    fi
    case $kind in
    fifo*) [ -p "$target" ] || fail "$kind: $target is no FIFO any more" ;;
    device-link) [ -c "$target" ] || fail "$kind: $target is no device any more" ;;
    esac
    if [ "$kind" != fifo ]; then
        [ "$(readlink "$ini")" = "$target" ] || fail "$kind: the link was replaced"
    fi
done
pass

begin "whatever sits at the store's lock, the close ends within 3 s and writes"
for kind in folder garbage fifo dangling-link held; do
    fresh_home
    holder=""
    case $kind in
    folder) mkdir "$ini.lock" ;;
    # A lock file of another program's making, naming no process.
    garbage) echo garbage >"$ini.lock" ;;
    fifo) mkfifo "$ini.lock" ;;
    dangling-link) ln -s "$home/gone" "$ini.lock" ;;
    # Another writer holding the lock: the close waits its two seconds.
    held)
        flock "$ini.lock" sleep 10 &
        holder=$!
        ;;
    esac
    if program_opens "$kind" "$EN"; then
        closing=$(date +%s%N)
        if close_program "$kind"; then
            took=$((($(date +%s%N) - closing) / 1000000))
            [ "$took" -le 3000 ] || fail "$kind: closing took $took ms"
            [ "$kind" != held ] || [ "$took" -ge 1500 ] || fail "held: no wait for the lock"
        fi
        [ "$(ini_keys "$ini")" -eq 11 ] || fail "$kind: $(ini_keys "$ini") keys stored"
    fi
    [ -n "$holder" ] && end_processes "$holder"
done
pass

begin "settings at the earlier place are taken over whole, and -restore removes both"
earlier="$XDG_CONFIG_HOME/Monitor.ini"
rmdir "$settings_dir"
printf '; mine\r\n[Pozycja]\r\nLeft=1500\r\nTop=3000\r\n[Own]\r\nk=\261\r\n' >"$earlier"
cp "$earlier" "$home/earlier.ini"
if program_opens "" "$EN"; then
    corner_is "$id" "100 200" || fail "the earlier position not applied"
    cmp -s "$ini" "$home/earlier.ini" || fail "not taken over byte for byte"
    [ -e "$earlier" ] && fail "the earlier file stayed"
    close_program
    grep -q $'^k=\261\r$' "$ini" && grep -q '^; mine' "$ini" || fail "the close dropped lines"
fi
cp "$home/earlier.ini" "$earlier"
if program_opens "-restore" "$EN" -restore; then
    [ -e "$earlier" ] && fail "-restore kept the earlier file"
    [ -e "$ini" ] && fail "-restore kept the file"
    close_program -restore
fi
pass

begin "settings on a full disk keep their contents, and confirmed colours wait for room"
if is_root; then
    mount -t tmpfs -o size=64k kelvora-full "$settings_dir"
    old_settings >"$ini"
    cp "$ini" "$home/old.ini"
    head -c 1048576 /dev/zero >"$settings_dir/filler" 2>/dev/null
    [ "$(df --output=avail "$settings_dir" | tail -n 1)" -eq 0 ] || fail "disk not full"
    run_unwritable full
    cmp -s "$ini" "$home/old.ini" || fail "the stored file changed"
    # Colours confirmed while the disk is full are stored by the close once
    # there is room.
    if program_opens "" "$EN"; then
        fold_out "$id"
        if open_colours; then
            keys Tab Tab Tab End Left Left Left Left Left Return
            wait_no_window "$COLORS_TITLE" || fail "the dialog stayed"
            cmp -s "$ini" "$home/old.ini" || fail "written on a full disk"
            rm "$settings_dir/filler"
            close_program "room again"
            expect_colours R1=7 G1=250 B1=0 R2=0 G2=222 B2=0 R3=0 G3=0 B3=222 Alpha=255
            expect_setting Ustawienia Dysk 1 "room again"
        else
            fail "no colour dialog"
            stop_program
        fi
    fi
    umount "$settings_dir"
    pass
else
    skip "needs root to mount a small tmpfs"
fi

begin "unreadable /proc/stat and /proc/meminfo leave the program running"
if is_root && unshare -m true 2>/dev/null; then
    cut -c 1-12 /proc/meminfo | head -n 1 | tr -d '\n' >"$home/meminfo"
    for source in /dev/null "$home/meminfo"; do
        # A mount namespace of the program's own; nothing outside sees the binds.
        # shellcheck disable=SC2016 # expanded by the inner shell
        if program_opens "$source" unshare -m sh -c 'mount --bind "$1" /proc/meminfo &&
            mount --bind /dev/null /proc/stat && exec "$2"' sh "$source" "$EN"; then
            # Time for a few readings to end it, if one would.
            sleep 1
            has_ended "$pid" && fail "$source: ended by itself"
            close_program "$source"
            expect_setting Ustawienia Dysk 1 "$source"
        fi
    done
    pass
else
    skip "needs root and mount namespaces to bind files over /proc"
fi

# A removable filesystem mounted under /media is entry 0 of the drive list.
# Loop images are no drives, but btrfs gives its mounts device numbers of
# their own, so a btrfs image on a loop device lists like a stick.
begin "a selected drive that is unmounted falls back to the root drive"

windows_of_program_are() { [ "$(xdotool search --onlyvisible --pid "$pid" | wc -l)" -eq "$1" ]; }

# Chooses entry 0 in the drive list of the options row of the program `pid`.
select_stick() { # id
    fold_out "$1"
    click_client "$1" "${DRIVE_LIST_AT[@]}"
    # The list opens in a window of its own.
    wait_until windows_of_program_are 2 || fail "the drive list did not open"
    xdotool key Home Return
    wait_until windows_of_program_are 1 || fail "the drive list stayed open"
}

# The one folder the run makes outside its own: a stick has to be under /media.
stick=$(mktemp -d /media/kelvora-stick.XXXXXX 2>/dev/null) && remove_at_end "$stick"
if ! is_root || [ -z "$stick" ] || ! command -v mkfs.btrfs >/dev/null; then
    skip "needs root, a writable /media and mkfs.btrfs"
else
    truncate -s 128M "$home/stick.img"
    if mkfs.btrfs -q "$home/stick.img" >/dev/null 2>&1 &&
        mount -o loop "$home/stick.img" "$stick" 2>/dev/null; then
        for unmount in no yes; do
            if program_opens "" "$EN"; then
                select_stick "$id"
                if [ "$unmount" = yes ]; then
                    umount "$stick" || fail "could not unmount"
                    # Time for the next reading to end it, if one would.
                    sleep 1
                    has_ended "$pid" && fail "ended when the drive went"
                fi
                close_program "unmounted $unmount"
                # Mounted, the stick stays selected; gone, the root drive is.
                expected=0
                [ "$unmount" = yes ] && expected=1
                expect_setting Ustawienia Dysk "$expected" "unmounted $unmount"
            fi
        done
        mountpoint -q "$stick" && umount "$stick"
        pass
    else
        skip "cannot make or loop-mount a btrfs image here"
    fi
fi
[ -n "$stick" ] && rmdir "$stick"
