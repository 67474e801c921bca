#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The frontier above 10^12: for each window of N, the abundant N whose count
# is estimated beyond a limit (60 s by default), as --limite leaves them
# out. The estimate is priced on a reference machine (the memory asked, no
# processor extension), so the figure does not depend on the load. Prints,
# per window, the N left out, then their number, and the elapsed seconds.
# Usage: bench/frontiere.sh path/to/sommes-diviseurs [limit] ["min max" ...]
#   bench/frontiere.sh build/sommes-diviseurs 60 "1000000007000 1000000007199"
# Without windows: 200 N from 10^k + 7000, k = 12 to 18.
prog=${1:?usage: frontiere.sh path/to/sommes-diviseurs [limit] [\"min max\" ...]}
limite=${2:-60}
[ $# -ge 2 ] && shift 2 || shift
if [ $# -eq 0 ]; then
    for k in 12 13 14 15 16 17 18; do
        base=1$(printf "%0${k}d" 0)
        set -- "$@" "$((base + 7000)) $((base + 7199))"
    done
fi
sortie=$(mktemp)
trap 'rm -f "$sortie"' EXIT
total=0
for fenetre in "$@"; do
    debut=$(date +%s)
    # shellcheck disable=SC2086
    "$prog" --sans-entete --abondants --limite "$limite" $fenetre > "$sortie"
    statut=$?
    laisses=$(awk -F'\t' '$5 == "?" { printf "%s ", $1; n++ } END { print n + 0 }' "$sortie")
    n=${laisses##* }
    total=$((total + n))
    echo "$fenetre: statut $statut, laisses (puis leur nombre) : $laisses ; $(($(date +%s) - debut)) s"
done
echo "total: $total"
