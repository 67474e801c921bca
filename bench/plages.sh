#!/bin/sh
# Times the built program on whole ranges and single values of N, output
# thrown away: the elapsed seconds of each run, from the answers piped in
# (minimum, maximum, then 0 for no new calculation).
# Usage: bench/plages.sh path/to/sommes-diviseurs [more ranges as "min max"]
prog=${1:?usage: plages.sh path/to/sommes-diviseurs [\"min max\" ...]}
shift

mesure() {
    debut=$(date +%s.%N)
    printf '%s %s 0' "$1" "$2" | "$prog" > /dev/null
    fin=$(date +%s.%N)
    awk -v a="$debut" -v b="$fin" -v min="$1" -v max="$2" \
        'BEGIN { printf "%10s .. %-10s %8.3f s\n", min, max, b - a }'
}

if [ $# -eq 0 ]; then
    set -- "1 100000" "1 1000000" "840 840" "720720 720720" "8648640 8648640"
fi
for plage in "$@"; do
    # shellcheck disable=SC2086
    mesure $plage
done
