# SPDX-License-Identifier: MIT
# What the main window paints, read off the screen: the grey levels of its
# brushed background and the always-on-top check box of the options row.

# The pixels of a rectangle of a screenshot, one a line: "x y RRGGBB", x and
# y from the rectangle's corner.
shot_pixels() { # png x y width height
    convert "$1" -crop "$4x$5+$2+$3" +repage txt:- |
        sed -n 's/^\([0-9]*\),\([0-9]*\):.*#\([0-9A-Fa-f]\{6\}\).*/\1 \2 \3/p'
}

# The 16 greys of the texture, 208 to 249 spread evenly.
TEXTURE_GREYS="D0D0D0 D3D3D3 D5D5D5 D8D8D8 DBDBDB DEDEDE E0E0E0 E3E3E3 E6E6E6 E9E9E9 EBEBEB \
EEEEEE F1F1F1 F4F4F4 F6F6F6 F9F9F9"

# Reads the check box from `shot_pixels`: how many pixels show its own grey,
# how many bands of rows its dark caption pixels make (its lines), and
# whether any of them lie on the box's top or bottom row (1 or 0), or on its
# right column (1 or 0).
read_check_box() { # width height
    awk -v w="$1" -v h="$2" '
        function hex(digit) { return index("0123456789ABCDEF", toupper(digit)) - 1 }
        function grey(c,   i, sum) {
            sum = 0
            for (i = 1; i <= 6; i += 2) { sum += 16 * hex(substr(c, i, 1)) + hex(substr(c, i + 1, 1)) }
            return sum / 3
        }
        toupper($3) == "E2E2E2" { ground++ }
        grey($3) < 150 {
            dark[$2] = 1
            if ($2 == 0 || $2 == h - 1) { rows_edge = 1 }
            if ($1 == w - 1) { right_edge = 1 }
        }
        END {
            for (y = 0; y < h; y++) {
                if ((y in dark) && !((y - 1) in dark)) { bands++ }
            }
            printf "%d %d %d %d\n", ground, bands, rows_edge, right_edge
        }'
}

# Reads the main window off a screenshot: `greys`, the background's greys
# above the drive row, and what read_check_box says of the check box at
# 303,116, 93 wide. True once both are painted: the background in its 16
# greys, the box at least half in its own.
read_looks() { # id box_height
    local x y shot
    read -r x y _ _ < <(client_geometry "$1")
    shot=$(mktemp -p "$run_dir" --suffix=.png)
    import -window root "$shot"
    greys=$(shot_pixels "$shot" "$x" "$y" 449 12 | awk '{ print toupper($3) }' | sort -u | xargs)
    read -r ground lines rows_edge right_edge < <(
        shot_pixels "$shot" "$((x + 303))" "$((y + 116))" 93 "$2" | read_check_box 93 "$2")
    rm -f "$shot"
    [ "$greys" = "$TEXTURE_GREYS" ] && [ "$ground" -ge $((93 * $2 / 2)) ]
}

begin "the background shows its 16 greys; the check box its grey and its whole caption"
for program in "$EN" "$PL"; do
    name=${program##*/}
    # The Polish check box is 21 high, the English 25.
    box_height=25
    [ "$program" = "$PL" ] && box_height=21
    printf '[Pozycja]\nLeft=1500\nTop=1500\n' >"$settings_dir/Monitor.ini"
    printf '[Pozycja]\nLeft=1500\nTop=1500\n' >"$settings_dir/Kelvora.ini"
    if program_opens "$name" "$program"; then
        fold_out "$id" || fail "$name: options row not shown"
        wait_until client_height_is "$id" 143 || fail "$name: folded out to $(client_height "$id")"
        wait_until read_looks "$id" "$box_height"
        [ "$greys" = "$TEXTURE_GREYS" ] || fail "$name: background greys $greys"
        [ "$ground" -ge $((93 * box_height / 2)) ] || fail "$name: $ground pixels of the box's grey"
        case $name in
        Kelvora_PL) [ "$lines" -eq 2 ] || fail "$name: caption in $lines line(s), not 2" ;;
        *) [ "$lines" -eq 1 ] || fail "$name: caption in $lines line(s), not 1" ;;
        esac
        [ "$rows_edge" -eq 0 ] || fail "$name: caption cut at the box's top or bottom"
        # The English caption fills the box's width to its last column.
        [ "$name" = Kelvora_EN ] || [ "$right_edge" -eq 0 ] ||
            fail "$name: caption cut at the box's right edge"
        close_program "$name"
    fi
done
pass
