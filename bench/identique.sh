#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Two builds of the program compared byte for byte, and by exit status, on
# the same ranges: the dialogue's blocks with one and with two computing
# threads, and the batch lines of each range. For a change that must not
# alter what the program writes.
# Usage: bench/identique.sh avant/sommes-diviseurs apres/sommes-diviseurs ["min max" ...]
#   bench/identique.sh /tmp/avant/build/sommes-diviseurs build/sommes-diviseurs "1 1000000" "720720 720720"
avant=${1:?usage: identique.sh avant apres [\"min max\" ...]}
apres=${2:?usage: identique.sh avant apres [\"min max\" ...]}
shift 2
[ $# -eq 0 ] && set -- "1 100000"
a=$(mktemp) b=$(mktemp)
trap 'rm -f "$a" "$b"' EXIT
ecarts=0
for plage in "$@"; do
    for fils in 1 2; do
        printf '%s 0' "$plage" | SOMMES_DIVISEURS_FILS=$fils "$avant" > "$a"; sa=$?
        printf '%s 0' "$plage" | SOMMES_DIVISEURS_FILS=$fils "$apres" > "$b"; sb=$?
        if cmp -s "$a" "$b" && [ "$sa" -eq "$sb" ]; then r=identiques; else r=DIFFERENTS; ecarts=1; fi
        echo "$plage, dialogue, $fils fil(s): $r ($(wc -c < "$b") octets)"
    done
    # shellcheck disable=SC2086
    SOMMES_DIVISEURS_FILS=2 "$avant" $plage > "$a"; sa=$?
    # shellcheck disable=SC2086
    SOMMES_DIVISEURS_FILS=2 "$apres" $plage > "$b"; sb=$?
    if cmp -s "$a" "$b" && [ "$sa" -eq "$sb" ]; then r=identiques; else r=DIFFERENTS; ecarts=1; fi
    echo "$plage, sans dialogue: $r (statut $sb)"
done
exit "$ecarts"
