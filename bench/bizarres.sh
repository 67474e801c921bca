#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the weird numbers decided without the dialogue: for each mode and
# range, the elapsed seconds, the peak resident memory and the lines written
# (header left out), output to a scratch file. Without ranges, those of
# doc/bizarres.md but the two runs to 10^9 (about 2 min 40 s each).
# Usage: bench/bizarres.sh path/to/sommes-diviseurs ["--mode min max" ...]
#   bench/bizarres.sh build/sommes-diviseurs "--bizarres 1 1000000000"
prog=${1:?usage: bizarres.sh path/to/sommes-diviseurs [\"--mode min max\" ...]}
shift
command -v /usr/bin/time > /dev/null || { echo "bizarres.sh: /usr/bin/time missing (package time)"; exit 1; }
sortie=$(mktemp) mesure=$(mktemp)
trap 'rm -f "$sortie" "$mesure"' EXIT
[ $# -eq 0 ] && set -- "--bizarres 1 10000000" "--primitifs 1 10000000" \
    "--bizarres 1000000000000 1000000000999999" "--bizarres 1000000000000000 1000000000999999" \
    "--bizarres 1000000000000000000 1000000000000999999" "--bizarres 4611686018427387904 4611686018428387903"
for cas in "$@"; do
    # shellcheck disable=SC2086
    /usr/bin/time -f '%e %M' -o "$mesure" "$prog" --sans-entete $cas > "$sortie" || echo "$cas: statut $?"
    read -r secondes ko < "$mesure"
    echo "$cas: $secondes s, $ko Ko, $(wc -l < "$sortie") lignes"
done
