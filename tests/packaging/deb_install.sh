#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian package with dpkg, starts the installed programs under
# Xvfb and removes the package again, all in a throwaway copy of this
# machine: a private mount and process namespace whose root is an overlay
# over /, its writable layer in a tmpfs of the namespace. dpkg, apt and the
# triggers write only there, and the namespace, its mounts and processes end
# with the test however it ends, so the machine is left as it was. Needs
# root (CAP_SYS_ADMIN) on a Debian system; anywhere else the test reports
# itself skipped.
# Usage: deb_install.sh <folder holding the one kelvora_*.deb>
set -uo pipefail
self=$(readlink -f "$0")
here=$(dirname "$self")
skip() { echo "SKIP: $*"; exit 77; }
source "$here/layout.sh"

# In the namespace, as its first process: mounts the overlay root and runs
# the test inside it. Exits 77 before anything is installed when the mounts
# cannot be made.
enter_overlay() { # deb work
    local deb=$1 work=$2 root=$2/root dir
    # The writable layers on a file system of their own: on the root file
    # system they would change the lower layer under the overlay, which
    # overlayfs leaves undefined. The tmpfs also ends with the namespace.
    mount -t tmpfs -o mode=0700 kelvora-test "$work" || exit 77
    mkdir "$work/upper" "$work/layer" "$root"
    mount -t overlay overlay -o "lowerdir=/,upperdir=$work/upper,workdir=$work/layer" "$root" ||
        exit 77
    # The overlay holds only the root file system, not what is mounted on it.
    mount -t proc proc "$root/proc" &&
        mount --rbind /dev "$root/dev" &&
        mount -t tmpfs tmpfs "$root/dev/shm" &&
        mount --rbind /sys "$root/sys" || exit 77
    # The package and the test scripts, wherever they live, read-only.
    for dir in "$(dirname "$deb")" "$(dirname "$here")"; do
        mkdir -p "$root$dir" &&
            mount --bind "$dir" "$root$dir" &&
            mount -o remount,bind,ro "$root$dir" || exit 77
    done
    exec chroot "$root" /usr/bin/env bash "$self" --in-overlay "$deb"
}

# Inside the overlay root: install, check, start, remove.
test_installed() { # deb
    local deb=$1 log row desktop program title file pid id wm_class startup_class
    source "$here/../e2e/lib.sh"
    scenario="installed package"
    failures_before=0
    # The display helpers keep their files in run_dir; in the throwaway root
    # any folder does.
    run_dir=$(mktemp -d)

    log=$(mktemp)
    if ! dpkg -i "$deb" >"$log" 2>&1; then
        # Missing libraries: let apt bring them and finish the configuration.
        apt-get -f install -y -q -o DPkg::Lock::Timeout=120 >>"$log" 2>&1
    fi
    if ! dpkg-query -W -f='${Status}' kelvora 2>/dev/null | grep -q 'install ok installed'; then
        cat "$log"
        fail "the package is not installed after dpkg -i"
        exit 1
    fi

    for file in "${installed_files[@]}"; do
        [ -f "/usr/$file" ] || fail "/usr/$file not installed"
    done

    start_display openbox
    for row in "${desktop_entries[@]}"; do
        read -r desktop program title <<<"$row"
        desktop=$desktop.desktop
        fresh_home
        "/usr/bin/$program" &
        pid=$!
        if id=$(wait_window "$title"); then
            xprop -id "$id" _NET_WM_ICON | grep -q 'Icon (16 x 16)' || fail "$program: no 16 px window icon"
            # Docks and task bars find the menu entry of a window by its
            # class, some by its instance name: both are the program's.
            wm_class=$(xprop -id "$id" WM_CLASS | sed -n 's/.*= //p')
            startup_class=$(desktop_key "/usr/share/applications/$desktop" StartupWMClass)
            [ "$wm_class" = "\"$startup_class\", \"$startup_class\"" ] ||
                fail "$program: window class $wm_class, menu entry expects '$startup_class'"
            close_window "$id"
            wait_exit "$pid" || { fail "$program: still running after close"; kill "$pid"; }
        else
            fail "$program: no window \"$title\""
            kill "$pid" 2>/dev/null
        fi
    done
    stop_display

    dpkg -r kelvora >"$log" 2>&1 || { cat "$log"; fail "dpkg -r kelvora failed"; }
    dpkg-query -W -f='${Status}' kelvora 2>/dev/null | grep -q 'ok installed' && fail "still installed after dpkg -r"
    for file in "${installed_files[@]}"; do
        [ -e "/usr/$file" ] && fail "/usr/$file left behind by dpkg -r"
    done

    pass
    echo "$failures failure(s)"
    [ "$failures" -eq 0 ]
}

# What the test must not leave on this machine, nor find here before it.
traces() {
    local file
    dpkg -s kelvora >/dev/null 2>&1 && echo "dpkg knows the package kelvora"
    for file in "${installed_files[@]/#//usr/}" /usr/share/applications/org.kelvora.*; do
        [ -e "$file" ] && echo "$file exists"
    done
}

case ${1:-} in
--namespace) enter_overlay "$2" "$3" ;;
--in-overlay) test_installed "$2"; exit ;;
esac

deb=$(find "$1" -maxdepth 1 -name 'kelvora_*.deb' 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no package in $1"; exit 1; }
deb=$(readlink -f "$deb")
if [ ! -f /etc/debian_version ] || ! command -v dpkg >/dev/null; then
    skip "not a Debian system"
fi
found=$(traces)
[ -z "$found" ] || skip "the package is (partly) here already: $found"
unshare --mount --propagation private --pid --ipc --fork true 2>/dev/null ||
    skip "no private mount namespace here (needs root or CAP_SYS_ADMIN)"

work=$(mktemp -d)
namespace=""
# shellcheck disable=SC2317 # run by the EXIT trap
cleanup() {
    # unshare's end ends every process of the namespace (--kill-child), and
    # with the last of them go its mounts.
    if [ -n "$namespace" ]; then
        kill -KILL "$namespace" 2>/dev/null
        wait "$namespace" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# In the background, so that an interrupt reaches the trap at once.
unshare --mount --propagation private --pid --ipc --fork --kill-child \
    "$self" --namespace "$deb" "$work" &
namespace=$!
wait "$namespace"
status=$?
namespace=""
[ "$status" -eq 77 ] && skip "cannot mount an overlay over / here"

found=$(traces)
if [ -n "$found" ]; then
    echo "FAIL: the test left traces on this machine: $found"
    exit 1
fi
exit "$status"
