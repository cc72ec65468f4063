# SPDX-License-Identifier: MIT
# Root running a program on another user's settings folder (sudo -E, su with
# XDG_CONFIG_HOME kept): whatever links, swaps or locks that user prepared,
# nothing outside the folder changes. The "system" files are decoys made for
# the test in the run's own mount namespace.

ROOT_RUN_USER=4242

# Everything about a folder a run could change: names, kinds, sizes, owners,
# modes, times and contents.
snapshot() { # folder
    (cd "$1" && find . -printf '%p %y %s %U %G %m %T@\n' | sort &&
        find . -type f -exec sha256sum {} + | sort)
}

# Decoy system files: root's own, of the kinds an attacker would aim at.
make_decoys() {
    system="$run_dir/system"
    rm -rf "$system"
    mkdir -p "$system/profile.d" "$system/etc"
    printf 'root:$6$secret:19000:0:99999:7:::\n' >"$system/shadow"
    chmod 640 "$system/shadow"
    cp "$(type -P true)" "$system/binary"
    head -c $((17 * 1024 * 1024)) /dev/zero >"$system/big"
    system_before=$(snapshot "$system")
}

# Hands the scenario's settings folder to the user, as a sudo -E run finds it.
give_home_to_user() {
    chmod 711 "$run_dir" "$home"
    chown -R "$ROOT_RUN_USER:$ROOT_RUN_USER" "$XDG_CONFIG_HOME"
}

# A link the user made.
user_link() { # target name
    ln -sfn "$1" "$2" && chown -h "$ROOT_RUN_USER:$ROOT_RUN_USER" "$2"
}

# Whether the user reaches and may write the scenario's settings folder: a
# run made in a folder private to root (as the arm64 test's root is) does not
# let the user through.
user_reaches_home() {
    give_home_to_user
    setpriv --reuid="$ROOT_RUN_USER" --regid="$ROOT_RUN_USER" --clear-groups \
        test -w "$XDG_CONFIG_HOME"
}

begin "a root run on a user's folder changes nothing outside it, whatever the user planted"
if ! is_root; then
    skip "needs root"
elif ! user_reaches_home; then
    skip "a folder above $run_dir is closed to other users"
else
    # planted, how the program is run, and whether the close stores.
    for row in "nothing close stores" "read-only close refused" "link-to-secret close refused" \
        "link-to-binary close refused" "link-to-big close refused" \
        "swapped-for-a-new-system-file close refused" "link-to-secret restore stores" \
        "folder-link close refused" "takeover-into-a-new-system-file close refused" \
        "earlier-place-link restore stores"; do
        read -r planted run expected <<<"$row"
        fresh_home
        earlier="$XDG_CONFIG_HOME/Monitor.ini"
        make_decoys
        give_home_to_user
        arguments=()
        [ "$run" = restore ] && arguments=(-restore)
        case $planted in
        read-only)
            old_settings >"$ini"
            chown "$ROOT_RUN_USER:$ROOT_RUN_USER" "$ini"
            chmod 444 "$ini"
            cp "$ini" "$home/before.ini"
            ;;
        link-to-secret) user_link "$system/shadow" "$ini" ;;
        link-to-binary) user_link "$system/binary" "$ini" ;;
        link-to-big) user_link "$system/big" "$ini" ;;
        folder-link)
            rmdir "$settings_dir"
            user_link "$system/etc" "$settings_dir"
            ;;
        takeover-into-a-new-system-file)
            old_settings >"$earlier"
            chown "$ROOT_RUN_USER:$ROOT_RUN_USER" "$earlier"
            user_link "$system/profile.d/kelvora.sh" "$ini"
            ;;
        earlier-place-link)
            old_settings >"$XDG_CONFIG_HOME/mine.ini"
            chown "$ROOT_RUN_USER:$ROOT_RUN_USER" "$XDG_CONFIG_HOME/mine.ini"
            cp "$XDG_CONFIG_HOME/mine.ini" "$home/before.ini"
            user_link "$XDG_CONFIG_HOME/mine.ini" "$earlier"
            ;;
        esac
        if program_opens "$planted" "$EN" "${arguments[@]}" 2>"$home/stderr"; then
            if [ "$planted" = swapped-for-a-new-system-file ]; then
                user_link "$system/profile.d/kelvora.sh" "$ini"
            fi
            close_program "$planted"
        fi
        [ "$(snapshot "$system")" = "$system_before" ] || fail "$planted: a system file changed"
        outside=$(find "$run_dir" -path "$run_dir/home.*/config" -prune -o -uid "$ROOT_RUN_USER" -print)
        [ -z "$outside" ] || fail "$planted: the user owns $outside"
        refusals=$(grep -c 'settings not stored' "$home/stderr")
        if [ "$expected" = stores ]; then
            [ "$refusals" -eq 0 ] || fail "$planted: $(cat "$home/stderr")"
            [ "$(stat -c %u "$ini" 2>/dev/null)" = "$ROOT_RUN_USER" ] ||
                fail "$planted: the settings file is not the user's"
            [ "$(ini_keys "$ini")" -eq 11 ] || fail "$planted: $(ini_keys "$ini") keys stored"
        else
            [ "$refusals" -eq 1 ] || fail "$planted: $refusals lines say the settings were not stored"
        fi
        case $planted in
        read-only) cmp -s "$ini" "$home/before.ini" || fail "$planted: the file changed" ;;
        earlier-place-link)
            [ -L "$earlier" ] && fail "$planted: -restore left the link"
            cmp -s "$XDG_CONFIG_HOME/mine.ini" "$home/before.ini" ||
                fail "$planted: -restore changed what the link named"
            ;;
        esac
    done
    pass
fi
