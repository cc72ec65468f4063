#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Each built program carries its own texts and the shared ones, and none of
# the texts only the other program shows: each links one text set only.
# Usage: binary_texts.sh <Kelvora_EN> <Kelvora_PL>
set -uo pipefail
en=$1
pl=$2

english_only=("Options..." "Always on top" "System resources monitor" "Free: " "Used: "
    "Colors config..." "Transparency" "1.04.0026")
polish_only=("OPCJE..." "Zawsze na wierzchu" "Wolne: " "Zajęte: " "Ustamienia kolorów"
    "Konfiguracja kolorów" "Przeźroczystość" "Procesor" "1.04.0023")
shared=("Wyłączone" "Kliknij, aby zmienić jednostkę" "Anuluj" "Kelvora zasobów systemowych")

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The texts are UTF-8 in the file: compare bytes, whatever the locale.
contains() { LC_ALL=C grep -q -a -F -e "$2" "$1"; }

check() { # program file, "has" or "lacks", texts...
    local program=$1 file=$2 want=$3 text
    shift 3
    for text in "$@"; do
        if contains "$file" "$text"; then
            [ "$want" = has ] || fail "$program contains \"$text\""
        else
            [ "$want" = lacks ] || fail "$program lacks \"$text\""
        fi
    done
}

for file in "$en" "$pl"; do
    [ -s "$file" ] || { echo "FAIL: no program at $file"; exit 1; }
done
check Kelvora_EN "$en" has "${english_only[@]}" "${shared[@]}"
check Kelvora_EN "$en" lacks "${polish_only[@]}"
check Kelvora_PL "$pl" has "${polish_only[@]}" "${shared[@]}"
check Kelvora_PL "$pl" lacks "${english_only[@]}"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
