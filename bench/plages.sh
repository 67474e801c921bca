#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the built program on whole ranges and single values of N (output
# to a scratch file): the elapsed seconds of each run, from the answers piped in
# (minimum, maximum, then 0 for no new calculation). With FILS set (e.g.
# FILS="1 2"), each range is timed once per number of computing threads
# (SOMMES_DIVISEURS_FILS), with the ratio to the first; with LIMITE set, a
# run stops after that many seconds and is reported as unfinished, with the
# number of blocks it wrote (their ratio to the first run's for a pool).
# Usage: [FILS="1 2"] [LIMITE=s] bench/plages.sh path/to/sommes-diviseurs ["min max" ...]
# The pool figures of doc/mesures.md:
#   FILS="1 2" bench/plages.sh build/sommes-diviseurs "1 1000000"
#   FILS="1 2" LIMITE=120 bench/plages.sh build/sommes-diviseurs "1000000000 1000010000"
prog=${1:?usage: plages.sh path/to/sommes-diviseurs [\"min max\" ...]}
shift
sortie=$(mktemp)
trap 'rm -f "$sortie"' EXIT

# Prints the elapsed seconds of one run, or "-" when it passed LIMITE.
mesure() {
    if [ "$3" = defaut ]; then unset SOMMES_DIVISEURS_FILS; else export SOMMES_DIVISEURS_FILS="$3"; fi
    debut=$(date +%s.%N)
    printf '%s %s 0' "$1" "$2" | timeout "${LIMITE:-0}" "$prog" > "$sortie"
    # Unfinished: "-" and the number of blocks written within the limit.
    [ $? -eq 124 ] && { echo "- $(grep -c -e '  est ' -e 'Solutions' "$sortie")"; return; }
    fin=$(date +%s.%N)
    awk -v a="$debut" -v b="$fin" 'BEGIN { printf "%.3f\n", b - a }'
}

if [ $# -eq 0 ]; then
    set -- "1 100000" "1 1000000" "840 840" "720720 720720" "8648640 8648640"
fi
for plage in "$@"; do
    premier=
    for fils in ${FILS:-defaut}; do
        # shellcheck disable=SC2086
        t=$(mesure $plage "$fils")
        r=$premier
        [ -z "$premier" ] && premier=$t
        awk -v p="$plage" -v f="$fils" -v t="$t" -v r="$r" -v limite="${LIMITE:-}" 'BEGIN {
            split(p, b, " ")
            if (t ~ /^-/) {
                split(t, n, " ")
                printf "%10s .. %-10s fils %-6s non fini en %s s : %s blocs", b[1], b[2], f, limite, n[2]
                split(r, m, " ")
                if (r ~ /^-/ && m[2] > 0) printf "   rapport %.2f", n[2] / m[2]
                printf "\n"
                exit
            }
            printf "%10s .. %-10s fils %-6s %8.3f s", b[1], b[2], f, t
            if (r != "" && r !~ /^-/) printf "   rapport %.2f", r / t
            printf "\n" }'
    done
done
