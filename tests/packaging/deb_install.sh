#!/usr/bin/env bash
# Installs the Debian package on this machine with dpkg, starts the
# installed programs under Xvfb, and removes the package again. Installing
# needs root on a Debian system; anywhere else the test reports itself
# skipped. It never replaces a kelvora that was installed before it ran.
# Usage: deb_install.sh <folder holding the one kelvora_*.deb>
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
skip() { echo "SKIP: $*"; exit 77; }

deb=$(find "$1" -maxdepth 1 -name 'kelvora_*.deb' 2>/dev/null | head -n 1)
[ -n "$deb" ] || { echo "FAIL: no package in $1"; exit 1; }
[ "$(id -u)" -eq 0 ] || skip "installing the package needs root"
if [ ! -f /etc/debian_version ] || ! command -v dpkg >/dev/null; then
    skip "not a Debian system"
fi
if dpkg-query -W -f='${Status}' kelvora 2>/dev/null | grep -q 'ok installed'; then
    skip "kelvora is already installed here; not replacing it"
fi
for file in /usr/bin/Kelvora_EN /usr/bin/Kelvora_PL; do
    [ -e "$file" ] && skip "$file exists outside the package; not overwriting it"
done

source "$here/../e2e/lib.sh"
scenario="installed package"
failures_before=0

installed=no
cleanup() {
    if [ "$installed" = yes ]; then
        dpkg -r kelvora >/dev/null || echo "FAIL: dpkg -r kelvora failed"
    fi
    [ -n "${xvfb_pid:-}" ] && stop_display
}
trap cleanup EXIT

log=$(mktemp)
installed=yes
if ! dpkg -i "$deb" >"$log" 2>&1; then
    # Missing libraries: let apt bring them and finish the configuration.
    apt-get -f install -y -q -o DPkg::Lock::Timeout=120 >>"$log" 2>&1
fi
if ! dpkg-query -W -f='${Status}' kelvora 2>/dev/null | grep -q 'install ok installed'; then
    cat "$log"
    fail "the package is not installed after dpkg -i"
    exit 1
fi
rm -f "$log"

source "$here/layout.sh"
for file in "${installed_files[@]}"; do
    [ -f "/usr/$file" ] || fail "/usr/$file not installed"
done

start_display openbox
# desktop file       program     its window's title
for row in "kelvora_en.desktop Kelvora_EN System resources monitor" \
    "kelvora_pl.desktop Kelvora_PL Kelvora zasobów systemowych"; do
    read -r desktop program title <<<"$row"
    fresh_home
    "/usr/bin/$program" & pid=$!
    if id=$(wait_window "$title"); then
        xprop -id "$id" _NET_WM_ICON | grep -q 'Icon (16 x 16)' || fail "$program: no 16 px window icon"
        # Docks and task bars find the menu entry of a window by its class.
        wm_class=$(xprop -id "$id" WM_CLASS | sed -n 's/.*= "\([^"]*\)".*/\1/p')
        startup_class=$(desktop_key "/usr/share/applications/$desktop" StartupWMClass)
        [ "$wm_class" = "$startup_class" ] ||
            fail "$program: window class '$wm_class', menu entry expects '$startup_class'"
        close_window "$id"
        wait_exit "$pid" || { fail "$program: still running after close"; kill "$pid"; }
    else
        fail "$program: no window \"$title\""
        kill "$pid" 2>/dev/null
    fi
    rm -rf "$home"
done

dpkg -r kelvora >/dev/null || fail "dpkg -r kelvora failed"
installed=no
dpkg-query -W -f='${Status}' kelvora 2>/dev/null | grep -q 'ok installed' && fail "still installed after dpkg -r"
[ -e /usr/bin/Kelvora_EN ] && fail "/usr/bin/Kelvora_EN left behind"

pass
echo "$failures failure(s)"
[ "$failures" -eq 0 ]
