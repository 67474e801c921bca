#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The built program on real pipes and files, against hostile input and
# vanishing output: it ends with status 1, writes nothing on standard error,
# never hangs, and keeps its memory small. Usage: programme.sh PROGRAM
set -u
prog=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echecs=0
echec() { echo "ECHEC: $*"; echecs=$((echecs + 1)); }
# Runs a command, leaving its peak memory in KiB in $tmp/rss: measured by GNU
# time (SD_TEMPS names another), or 0 when it is missing, and then every
# memory check passes untested, as said here.
temps=${SD_TEMPS:-/usr/bin/time}
[ -x "$temps" ] || echo "programme: $temps missing (package time), memory checks skipped"
mesure() { if [ -x "$temps" ]; then "$temps" -o "$tmp/rss" -f '%M' "$@"; else echo 0 > "$tmp/rss"; "$@"; fi; }

printf ' \n \n \t \t \t 5  est deficient. Il a  1  diviseurs propres de somme 1 .  \n \n \t \t 6  est parfait. Il a 3 diviseurs propres. \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  ' > "$tmp/fin"
printf '5 6 0' | "$prog" > "$tmp/reference"

# Runs the program on the file $2 (or on the pipe when $2 is -) within 60 s;
# checks status 1, no error output, an output equal to the reference
# (egal) or ending like it (fin), and a peak memory below $4 KiB.
essai() {
    local cas=$1 entree=$2 forme=$3 rss_max=$4 statut
    mesure timeout 60 "$prog" < "$entree" > "$tmp/sortie" 2> "$tmp/erreurs"
    statut=$?
    [ "$statut" -eq 1 ] || echec "$cas: statut $statut au lieu de 1"
    [ -s "$tmp/erreurs" ] && echec "$cas: sortie d'erreur non vide"
    if [ "$forme" = egal ]; then
        cmp -s "$tmp/sortie" "$tmp/reference" || echec "$cas: sortie differente de celle du tube"
    else
        tail -c "$(wc -c < "$tmp/fin")" "$tmp/sortie" | cmp -s - "$tmp/fin" || echec "$cas: fin differente"
    fi
    [ "$(tail -n 1 "$tmp/rss")" -le "$rss_max" ] || echec "$cas: memoire $(tail -n 1 "$tmp/rss") KiB"
}

tail -c "$(wc -c < "$tmp/fin")" "$tmp/reference" | cmp -s - "$tmp/fin" || echec "tube: fin differente"
printf '5\n6\n0\n' > "$tmp/entree"; essai "fichier" "$tmp/entree" egal 65536
printf '5 6' > "$tmp/entree"; essai "fin des donnees" "$tmp/entree" egal 65536
{ for _ in $(seq 5000); do printf '\r\n'; done; printf '5\r\n6\r\n0\r\n'; } > "$tmp/entree"
essai "CRLF et lignes vides" "$tmp/entree" egal 65536
# 4 MiB of arbitrary bytes without digits: every token refused.
head -c $((4 << 20)) /dev/urandom | tr '0-9' 'a-j' > "$tmp/entree"; printf ' 5 6 0' >> "$tmp/entree"
essai "octets quelconques" "$tmp/entree" fin 65536
head -c $((10 << 20)) /dev/zero | tr '\0' '7' > "$tmp/entree"; printf ' 5 6 0' >> "$tmp/entree"
essai "jeton de 10 Mio" "$tmp/entree" fin 65536

# Input that cannot be read: the end of the dialogue, quietly.
for cas in "entree repertoire:< /" "entree fermee:<&-"; do
    printf '1 100000 0' | eval timeout 10 '"$prog"' "${cas#*:}" 2> "$tmp/erreurs" > /dev/null
    statut=$?
    [ "$statut" -eq 1 ] || echec "${cas%%:*}: statut $statut"
    [ -s "$tmp/erreurs" ] && echec "${cas%%:*}: sortie d'erreur non vide"
done

# The run without GNU time (SD_TEMPS names a missing one) stops here, its
# skipped memory checks said and the dialogue's input checked.
if [ -n "${SD_TEMPS:-}" ]; then
    [ "$echecs" -eq 0 ] && echo "programme: tout est conforme"
    exit $((echecs > 0))
fi

# Output that cannot be written (a closed descriptor, a full disk): one line
# on standard error and status 3.
cas_sortie="sortie fermee:>&-"
[ -w /dev/full ] && cas_sortie="$cas_sortie|sortie pleine:> /dev/full"
IFS='|' read -r -a tous <<< "$cas_sortie"
for cas in "${tous[@]}"; do
    printf '1 100000 0' | eval timeout 10 '"$prog"' "${cas#*:}" 2> "$tmp/erreurs"
    statut=$?
    [ "$statut" -eq 3 ] || echec "${cas%%:*}: statut $statut au lieu de 3"
    { [ "$(wc -l < "$tmp/erreurs")" -eq 1 ] && grep -q 'sortie standard' "$tmp/erreurs"; } ||
        echec "${cas%%:*}: message $(head -c 200 "$tmp/erreurs")"
done
[ -w /dev/full ] || echo "programme: /dev/full missing, a full disk not tried"

# A reader that goes away: a range of hours ends at the program's next write.
printf '1 4000000000000 0' | timeout 20 "$prog" 2> "$tmp/erreurs" | head -c 2000 > /dev/null
statuts=("${PIPESTATUS[@]}")
[ "${statuts[1]}" -eq 1 ] || echec "lecteur parti: statut ${statuts[1]} (124: toujours en marche)"
[ -s "$tmp/erreurs" ] && echec "lecteur parti: sortie d'erreur non vide"

# Two threads asked in a 200 MB address space: the counts of 10^9 ..
# 10^9 + 400 (a second under no limit) end within the limit.
if [ -z "${ASAN_OPTIONS:-}" ]; then
    ( ulimit -v 200000; printf '1000000000 1000000400 0' | SOMMES_DIVISEURS_FILS=2 timeout 60 "$prog" > "$tmp/sortie" 2> "$tmp/erreurs" )
    [ "$(grep -c '^.\{0,8\}10000[0-9]*  [:e]' "$tmp/sortie")" -eq 401 ] || echec "espace limite: blocs manquants apres 60 s"
    [ -s "$tmp/erreurs" ] && echec "espace limite: sortie d'erreur non vide"
fi

# A count that cannot finish in practice: the blocks before it reach the file
# at once; it keeps working within 1 GiB, and within a 300 MB address space
# on smaller tables. AddressSanitizer forbids the limit: one run there.
printf '999999999999999990 999999999999999992 0' > "$tmp/entree"
limites="unlimited 300000"
[ -n "${ASAN_OPTIONS:-}" ] && limites=unlimited
for limite in $limites; do
    ( ulimit -v "$limite"; mesure timeout 4 "$prog" < "$tmp/entree" > "$tmp/sortie" 2> "$tmp/erreurs" )
    grep -q '999999999999999991  est deficient' "$tmp/sortie" || echec "memoire $limite: blocs manquants"
    grep -q 'Nouveau calcul' "$tmp/sortie" && echec "memoire $limite: le compte s'est arrete"
    # Under the limit, at most the line that says what the limit costs.
    grep -vqE '^sommes-diviseurs : N = 999999999999999992 : avec [0-9]+ Mio : .* environ ; les limites du processus en laissent [0-9]+$' "$tmp/erreurs" &&
        echec "memoire $limite: sortie d'erreur $(head -c 300 "$tmp/erreurs")"
    [ -n "${ASAN_OPTIONS:-}" ] || [ "$(tail -n 1 "$tmp/rss")" -le 1048576 ] || echec "memoire $limite: plus de 1 Gio"
done

# A count that more memory would make ten times faster: said once on
# standard error without the dialogue, with the --memoire that would do it;
# its line is the one of a run with that memory.
"$prog" --memoire 16 --sans-entete 1000001808 1000001808 > "$tmp/sortie" 2> "$tmp/erreurs"
grep -qE '^sommes-diviseurs : N = 1000001808 : avec --memoire [0-9]+ : [0-9][0-9,]* (s|min|h).* environ$' "$tmp/erreurs" &&
    [ "$(wc -l < "$tmp/erreurs")" -eq 1 ] || { cat "$tmp/erreurs"; echec "conseil de memoire absent"; }
"$prog" --sans-entete 1000001808 1000001808 2> "$tmp/erreurs" | cmp -s - "$tmp/sortie" || echec "conseil de memoire: ligne differente"
[ -s "$tmp/erreurs" ] && echec "conseil de memoire sans raison"

# Without the dialogue, the same rule: --help and --version included, a
# write refused ends with 3; a reader gone (head) too, silently: a table cut
# short never ends with 0.
for arg in --help --version; do
    "$prog" "$arg" >&- 2> "$tmp/erreurs"
    statut=$?
    [ "$statut" -eq 3 ] && grep -q 'sortie standard' "$tmp/erreurs" || echec "$arg sortie fermee: statut $statut"
done
timeout 20 "$prog" 1 10000000 2> "$tmp/erreurs" | head -n 1 > /dev/null
statuts=("${PIPESTATUS[@]}")
[ "${statuts[0]}" -eq 3 ] || echec "table lue par head: statut ${statuts[0]} au lieu de 3"
[ -s "$tmp/erreurs" ] && echec "table lue par head: sortie d'erreur non vide"

# A signal that ends the program leaves whole lines (without the dialogue)
# and whole blocks (with it), and the signal's own status; SIGKILL too.
for sig in TERM INT HUP KILL; do
    SOMMES_DIVISEURS_FILS=1 "$prog" 1 100000000 > "$tmp/sortie" 2> /dev/null &
    pid=$!
    sleep 0.3
    kill -s "$sig" "$pid"
    wait "$pid" 2> /dev/null
    statut=$?
    [ "$statut" -eq $((128 + $(kill -l "$sig"))) ] || echec "SIG$sig: statut $statut"
    [ "$(tail -c 1 "$tmp/sortie" | od -An -c | tr -d ' ')" = '\n' ] && [ "$(wc -l < "$tmp/sortie")" -gt 1 ] ||
        echec "SIG$sig: la table finit au milieu d'une ligne"
    printf '1 100000000 0' | SOMMES_DIVISEURS_FILS=1 "$prog" > "$tmp/sortie" 2> /dev/null &
    pid=$!
    sleep 0.3
    kill -s "$sig" "$pid"
    wait "$pid" 2> /dev/null
    # A block ends with its sum (" . "), "propres." (perfect) or the stars
    # of a weird number.
    tail -c 4 "$tmp/sortie" | grep -qE '( \. |res\.|\* - )$' || echec "SIG$sig: le dialogue finit au milieu d'un bloc"
done

# Under a small address space, the smallest counts are done; one that
# cannot be is said, with status 5, never a silent failure.
if [ -z "${ASAN_OPTIONS:-}" ]; then
    ( ulimit -v 100000; "$prog" --sans-entete 12 13 > "$tmp/sortie" 2> /dev/null; echo $? > "$tmp/statut" )
    [ "$(cat "$tmp/statut")" -eq 0 ] && [ "$(cat "$tmp/sortie")" = "$(printf '12\tabondant\t5\t16\t2\n13\tdeficient\t1\t1\t')" ] ||
        echec "12 13 sous ulimit -v 100000: statut $(cat "$tmp/statut")"
    ( ulimit -v 100000; printf '12 12 1 13 13 0' | "$prog" > "$tmp/sortie" 2> /dev/null )
    grep -q '12  :  2  Solutions' "$tmp/sortie" && grep -q '13  est deficient' "$tmp/sortie" ||
        echec "dialogue sous ulimit -v 100000"
    # Below what the threads' stacks take, no count fits: said, status 5.
    ( ulimit -v 30000; "$prog" --sans-entete 12 12 > "$tmp/sortie" 2> "$tmp/erreurs"; echo $? > "$tmp/statut" )
    statut=$(cat "$tmp/statut")
    { [ "$statut" -eq 0 ] && grep -q '^12' "$tmp/sortie"; } ||
        { [ "$statut" -eq 5 ] && grep -q 'N = 12 : compte impossible dans la memoire' "$tmp/erreurs"; } ||
        echec "12 sous ulimit -v 30000: statut $statut, $(head -c 300 "$tmp/erreurs")"
fi

# A count that the limits make much slower (735134400: seconds with 900
# MiB, minutes in what 500000 KiB leave): said once on standard error, at
# its start, with and without the dialogue.
if [ -z "${ASAN_OPTIONS:-}" ]; then
    for dialogue in 0 1; do
        if [ "$dialogue" -eq 1 ]; then
            ( ulimit -v 500000; printf '735134400 735134400 0' |
                SOMMES_DIVISEURS_FILS=1 timeout 2 "$prog" > /dev/null 2> "$tmp/erreurs" )
        else
            ( ulimit -v 500000; SOMMES_DIVISEURS_FILS=1 timeout 2 "$prog" 735134400 735134400 > /dev/null 2> "$tmp/erreurs" )
        fi
        [ "$(grep -cE '^sommes-diviseurs : N = 735134400 : avec [0-9]+ Mio : .* environ ; les limites du processus en laissent [0-9]+$' "$tmp/erreurs")" -eq 1 ] ||
            echec "compte ralenti par les limites (dialogue $dialogue): $(head -c 300 "$tmp/erreurs")"
    done
fi

# SOMMES_DIVISEURS_FILS=1: one computing thread beside the writer, even
# for a count that takes a helper with two (1000001808, a tenth of a second).
if [ -z "${ASAN_OPTIONS:-}" ] && [ -r /proc/self/status ]; then
    SOMMES_DIVISEURS_FILS=1 "$prog" --sans-entete 1000001808 1000001808 > /dev/null &
    pid=$!
    plus=0
    while kill -0 "$pid" 2> /dev/null; do
        n=$(awk '/^Threads/ { print $2 }' "/proc/$pid/status" 2> /dev/null)
        [ "${n:-0}" -gt "$plus" ] && plus=$n
        sleep 0.005
    done
    [ "$plus" -le 2 ] || echec "SOMMES_DIVISEURS_FILS=1: $plus fils"
fi

[ "$echecs" -eq 0 ] && echo "programme: tout est conforme"
[ "$echecs" -eq 0 ]
