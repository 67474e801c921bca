#!/bin/bash
# The built program against hostile input and vanishing output: megabytes of
# garbage, a 10 MiB token, CRLF lines, empty lines, unreadable input, a
# reader that goes away. It must end with status 1, write nothing on
# standard error, never hang, and keep its memory small.
. "$(dirname "$0")/commun.sh"

printf ' \n \n \t \t \t 5  est deficient. Il a  1  diviseurs propres de somme 1 .  \n \n \t \t 6  est parfait. Il a 3 diviseurs propres. \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  ' > "$tmp/fin_attendue"
taille_fin=$(wc -c < "$tmp/fin_attendue")

# Runs the program on the file $1 within $2 seconds; leaves its output in
# $tmp/sortie, its errors in $tmp/erreurs, its peak memory (KiB) in $tmp/rss.
lance() {
    local entree="$1" delai="$2"
    if [ -x /usr/bin/time ]; then
        timeout "$delai" /usr/bin/time -o "$tmp/rss" -f '%M' "$prog" < "$entree" > "$tmp/sortie" 2> "$tmp/erreurs"
    else
        echo 0 > "$tmp/rss"
        timeout "$delai" "$prog" < "$entree" > "$tmp/sortie" 2> "$tmp/erreurs"
    fi
}

# Checks status 1, no error output, and an output ending with the blocks of
# 5 and 6 and the new-calculation question.
verifie() {
    local cas="$1" statut="$2" rss_max="$3"
    [ "$statut" -eq 1 ] || echec "$cas: statut $statut au lieu de 1"
    [ -s "$tmp/erreurs" ] && echec "$cas: sortie d'erreur non vide"
    tail -c "$taille_fin" "$tmp/sortie" | cmp -s - "$tmp/fin_attendue" ||
        echec "$cas: la sortie ne finit pas par les blocs de 5 et 6"
    local rss
    rss=$(tail -n 1 "$tmp/rss")
    [ "$rss" -le "$rss_max" ] || echec "$cas: memoire $rss KiB au-dela de $rss_max KiB"
}

# Garbage: 4 MiB of arbitrary bytes (NUL, control bytes, bytes above 127)
# without digits, so that no token can pass, then a good dialogue. Every bad
# token is answered by the prompt again.
if command -v python3 > /dev/null; then
    python3 -c "
import random, sys
r = random.Random(20261206)
sys.stdout.buffer.write(bytes(r.getrandbits(8) for _ in range(4 << 20)))" > "$tmp/brut"
else
    head -c $((4 << 20)) /dev/urandom > "$tmp/brut"
fi
tr '0-9' 'a-j' < "$tmp/brut" > "$tmp/entree"

printf ' 5 6 0' >> "$tmp/entree"
lance "$tmp/entree" 60
verifie "octets quelconques" $? 65536

# One token of 10 MiB, then a good dialogue.
head -c $((10 << 20)) /dev/zero | tr '\0' '7' > "$tmp/entree"
printf ' 5 6 0' >> "$tmp/entree"
lance "$tmp/entree" 60
verifie "jeton de 10 Mio" $? 65536

# CRLF line ends and thousands of empty lines: the same dialogue, with no
# prompt written twice.
printf '5 6 0' | "$prog" > "$tmp/reference"
{ for _ in $(seq 5000); do printf '\r\n'; done; printf '5\r\n6\r\n0\r\n'; } > "$tmp/entree"
lance "$tmp/entree" 20
verifie "CRLF et lignes vides" $? 65536
cmp -s "$tmp/sortie" "$tmp/reference" || echec "CRLF et lignes vides: sortie differente de 5 6 0"

# Input that cannot be read: a directory, a closed descriptor.
timeout 10 "$prog" < / > "$tmp/sortie" 2> "$tmp/erreurs"
statut=$?
[ "$statut" -eq 1 ] || echec "entree repertoire: statut $statut"
[ -s "$tmp/erreurs" ] && echec "entree repertoire: sortie d'erreur non vide"
timeout 10 "$prog" <&- > "$tmp/sortie" 2> "$tmp/erreurs"
statut=$?
[ "$statut" -eq 1 ] || echec "entree fermee: statut $statut"
[ -s "$tmp/erreurs" ] && echec "entree fermee: sortie d'erreur non vide"

# Output that cannot be written: a closed descriptor, /dev/full.
printf '1 100000 0' | timeout 10 "$prog" >&- 2> "$tmp/erreurs"
statut=$?
[ "$statut" -eq 1 ] || echec "sortie fermee: statut $statut"
[ -s "$tmp/erreurs" ] && echec "sortie fermee: sortie d'erreur non vide"
printf '1 100000 0' | timeout 10 "$prog" > /dev/full 2> "$tmp/erreurs"
statut=$?
[ "$statut" -eq 1 ] || echec "sortie pleine: statut $statut"
[ -s "$tmp/erreurs" ] && echec "sortie pleine: sortie d'erreur non vide"

# A reader that goes away: a range that would take hours ends as soon as the
# program next writes.
debut=$(date +%s)
printf '1 4000000000000 0' | timeout 20 "$prog" 2> "$tmp/erreurs" | head -c 2000 > /dev/null
statuts=("${PIPESTATUS[@]}")
duree=$(($(date +%s) - debut))
[ "${statuts[1]}" -eq 1 ] || echec "lecteur parti: statut ${statuts[1]} (124: toujours en marche)"
[ -s "$tmp/erreurs" ] && echec "lecteur parti: sortie d'erreur non vide"
[ "$duree" -le 10 ] || echec "lecteur parti: fin apres $duree s"

# A count that cannot finish in practice keeps working within 1 GiB; with
# far less memory available it falls back on smaller tables instead of
# failing. Either way the blocks before it are there and nothing is on
# standard error.
# Under AddressSanitizer the shadow memory forbids a limit on the address
# space and inflates the resident size: only the blocks are checked there.
printf '999999999999999990 999999999999999992 0' > "$tmp/entree"
limites="illimitee 300000"
[ -n "${ASAN_OPTIONS:-}" ] && limites=illimitee
for limite in $limites; do
    (
        [ "$limite" = illimitee ] || ulimit -v "$limite"
        if [ -x /usr/bin/time ]; then
            /usr/bin/time -o "$tmp/rss" -f '%M' timeout 4 "$prog" < "$tmp/entree" > "$tmp/sortie" 2> "$tmp/erreurs"
        else
            echo 0 > "$tmp/rss"
            timeout 4 "$prog" < "$tmp/entree" > "$tmp/sortie" 2> "$tmp/erreurs"
        fi
    )
    grep -q '999999999999999991  est deficient' "$tmp/sortie" || echec "memoire $limite: blocs manquants"
    grep -q 'Nouveau calcul' "$tmp/sortie" && echec "memoire $limite: le compte s'est arrete"
    [ -s "$tmp/erreurs" ] && echec "memoire $limite: sortie d'erreur non vide"
    rss=$(tail -n 1 "$tmp/rss")
    [ -n "${ASAN_OPTIONS:-}" ] || [ "$rss" -le 1048576 ] || echec "memoire $limite: $rss KiB au-dela de 1 Gio"
done

[ "$echecs" -eq 0 ] && echo "entrees hostiles: tout est conforme"
[ "$echecs" -eq 0 ]
