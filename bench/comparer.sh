#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Two builds of the program timed alternately on the same ranges, one
# computing thread, output compared byte for byte: the processor time
# (user + system) of each run and the ratio of the second build to the
# first. Alternating the runs spreads the noise of a shared machine over
# both builds.
# Usage: [TOURS=n] bench/comparer.sh avant/sommes-diviseurs apres/sommes-diviseurs ["min max" ...]
# The figure of the engine's speed goal (one thread, 1 .. 10^6):
#   TOURS=5 bench/comparer.sh /tmp/avant/build/sommes-diviseurs build/sommes-diviseurs "1 1000000"
avant=${1:?usage: comparer.sh avant apres [\"min max\" ...]}
apres=${2:?usage: comparer.sh avant apres [\"min max\" ...]}
shift 2
[ $# -eq 0 ] && set -- "1 1000000"
a=$(mktemp) b=$(mktemp) t=$(mktemp)
trap 'rm -f "$a" "$b" "$t"' EXIT

# Processor seconds of one run of $1 on the range $2 $3, output to $4.
cpu() {
    printf '%s %s 0' "$2" "$3" | SOMMES_DIVISEURS_FILS=1 /usr/bin/time -f '%U %S' -o "$t" "$1" > "$4"
    # The program ends with status 1 (end of the dialogue): time says so first.
    tail -n 1 "$t" | awk '{ printf "%.2f\n", $1 + $2 }'
}

[ -x /usr/bin/time ] || { echo "comparer: /usr/bin/time missing (package time)"; exit 1; }
for plage in "$@"; do
    set -- $plage
    somme_a=0 somme_b=0
    for i in $(seq "${TOURS:-3}"); do
        ta=$(cpu "$avant" "$1" "$2" "$a")
        tb=$(cpu "$apres" "$1" "$2" "$b")
        cmp -s "$a" "$b" || { echo "$plage: outputs differ"; exit 1; }
        echo "$plage  tour $i: $ta s / $tb s"
        somme_a=$(awk -v x="$somme_a" -v y="$ta" 'BEGIN { print x + y }')
        somme_b=$(awk -v x="$somme_b" -v y="$tb" 'BEGIN { print x + y }')
    done
    awk -v x="$somme_a" -v y="$somme_b" -v p="$plage" 'BEGIN { printf "%s  total: %.2f s / %.2f s, ratio %.3f\n", p, x, y, y / x }'
done
