#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The same ranges through the dialogue and without it (lines of columns),
# timed alternately, output to /dev/null: elapsed seconds of each run and
# the ratio of the runs without dialogue to those through it.
# Usage: [TOURS=n] bench/lot_contre_dialogue.sh path/to/sommes-diviseurs ["min max" ...]
prog=${1:?usage: lot_contre_dialogue.sh path/to/sommes-diviseurs [\"min max\" ...]}
shift
[ $# -eq 0 ] && set -- "1 1000000" "1000000000 1000010000"
duree() {
    debut=$(date +%s.%N)
    "$@" > /dev/null
    fin=$(date +%s.%N)
    awk -v a="$debut" -v b="$fin" 'BEGIN { printf "%.2f\n", b - a }'
}
for plage in "$@"; do
    set -- $plage
    td=0 tl=0
    for i in $(seq "${TOURS:-3}"); do
        d=$(printf '%s %s 0' "$1" "$2" | duree "$prog")
        l=$(duree "$prog" "$1" "$2")
        echo "$plage  tour $i: dialogue $d s, sans dialogue $l s"
        td=$(awk -v x="$td" -v y="$d" 'BEGIN { print x + y }')
        tl=$(awk -v x="$tl" -v y="$l" 'BEGIN { print x + y }')
    done
    awk -v x="$td" -v y="$tl" -v p="$plage" 'BEGIN { printf "%s  total: %.2f s / %.2f s, ratio %.3f\n", p, x, y, y / x }'
done
