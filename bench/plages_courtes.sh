#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Many short ranges typed ahead (12 .. 13, then 1 for a new calculation,
# 10,000 times): the cost of a range beyond its counts, by number of
# computing threads. Elapsed seconds of each run, output to /dev/null.
# Usage: [FOIS=10000] bench/plages_courtes.sh path/to/sommes-diviseurs
prog=${1:?usage: plages_courtes.sh path/to/sommes-diviseurs}
entree=$(mktemp)
trap 'rm -f "$entree"' EXIT
awk -v n="${FOIS:-10000}" 'BEGIN { for (i = 1; i < n; ++i) printf "12 13 1\n"; printf "12 13 0\n" }' > "$entree"
for fils in 1 2; do
    debut=$(date +%s.%N)
    SOMMES_DIVISEURS_FILS=$fils "$prog" < "$entree" > /dev/null
    fin=$(date +%s.%N)
    awk -v f="$fils" -v a="$debut" -v b="$fin" -v n="${FOIS:-10000}" \
        'BEGIN { printf "%d ranges, %d thread(s): %.2f s\n", n, f, b - a }'
done
