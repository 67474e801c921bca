#!/bin/sh
# Runs the built program on real pipes and on a regular file: byte-exact
# output, exit status 1, nothing on standard error.
. "$(dirname "$0")/commun.sh"

# The expected output of the answers 5, 6, 0.
printf '%s' \
  ' \n   POUR MODIFIER LA TAILLE DU TEXTE ET DE LA FENETRE : [TOUCHE CTRL] + [MOLETTE DE LA SOURIS]. ' \
  ' \n \n \t  *****     SOMMES DES DIVISEURS D'"'"'UN NOMBRE     (Affichage de statistiques)     ***** ' \
  ' \n \n \n \t  Etant donne un entier N. ' \
  ' \n \t  Le programme initial permet de trouver toutes les sommes de ses diviseurs (excepte N) egales a N ou a un autre nombre entier choisi. ' \
  ' \n \n \t  N etant compris entre 2 valeurs que l'"'"'on fixe au depart : ' \
  ' \n \n \t  Cette extension indique, pour toutes les valeurs de N en ordre croissant : \n ' \
  ' \n \t \t - Si N est un nombre parfait. ' \
  ' \n \t \t - Si N est un nombre deficient. ' \
  ' \n \t \t - Si N est un nombre abondant et dans ce cas le nombre de sommes de ses diviseurs propres qui lui sont egales. ' \
  ' \n \n \t  Pour chaque valeur de N, le nombre de ses diviseurs propres et leur somme sont mentionnes. ' \
  ' \n \n \t  Les limitations sont dues au tres grand nombre de possibilites a examiner dans certains cas. ' \
  > "$tmp/banniere.esc"
printf '%s' \
  '\n \n \n  \t Valeur de N minimale ? ' \
  '\n \n \t Valeur de N maximale ? ' \
  ' \n \n \t \t \t 5  est deficient. Il a  1  diviseurs propres de somme 1 . ' \
  ' \n \n \t \t 6  est parfait. Il a 3 diviseurs propres.' \
  ' \n \n \t Nouveau calcul , Oui[1] / Non[0] ? :  ' \
  > "$tmp/suite.esc"
# Turn the \n and \t escapes into the bytes themselves.
printf "$(cat "$tmp/banniere.esc" "$tmp/suite.esc" | sed 's/%/%%/g')" > "$tmp/attendu"

# Through a pipe.
printf '5 6 0' | "$prog" > "$tmp/sortie" 2> "$tmp/erreurs"
statut=$?
[ "$statut" -eq 1 ] || echec "tuyau: statut $statut au lieu de 1"
cmp -s "$tmp/sortie" "$tmp/attendu" || echec "tuyau: sortie differente"
[ -s "$tmp/erreurs" ] && echec "tuyau: sortie d'erreur non vide"

# From a regular file: read token by token, exactly like the pipe.
printf '5\n6\n0\n' > "$tmp/entree"
"$prog" < "$tmp/entree" > "$tmp/sortie" 2> "$tmp/erreurs"
statut=$?
[ "$statut" -eq 1 ] || echec "fichier: statut $statut au lieu de 1"
cmp -s "$tmp/sortie" "$tmp/attendu" || echec "fichier: sortie differente"
[ -s "$tmp/erreurs" ] && echec "fichier: sortie d'erreur non vide"

# End of input at the new-calculation question: same output, status 1.
printf '5 6' | "$prog" > "$tmp/sortie" 2> "$tmp/erreurs"
statut=$?
[ "$statut" -eq 1 ] || echec "fin des donnees: statut $statut au lieu de 1"
cmp -s "$tmp/sortie" "$tmp/attendu" || echec "fin des donnees: sortie differente"
[ -s "$tmp/erreurs" ] && echec "fin des donnees: sortie d'erreur non vide"

# Empty input: the banner and the first prompt, then the end.
"$prog" < /dev/null > "$tmp/sortie" 2> "$tmp/erreurs"
statut=$?
[ "$statut" -eq 1 ] || echec "entree vide: statut $statut au lieu de 1"
[ -s "$tmp/erreurs" ] && echec "entree vide: sortie d'erreur non vide"

# A count that cannot finish in practice: the blocks computed before it reach
# the file at once, not when the buffer fills.
printf '999999999999999990 999999999999999992 0' > "$tmp/entree"
"$prog" < "$tmp/entree" > "$tmp/sortie" 2> "$tmp/erreurs" &
pid=$!
vu=0
for _ in $(seq 100); do
    if grep -q '999999999999999991  est deficient' "$tmp/sortie"; then
        vu=1
        break
    fi
    sleep 0.1
done
kill "$pid" 2> /dev/null
wait "$pid" 2> /dev/null
[ "$vu" -eq 1 ] || echec "compte long: les blocs deja calcules ne sont pas arrives"
[ -s "$tmp/erreurs" ] && echec "compte long: sortie d'erreur non vide"

[ "$echecs" -eq 0 ] && echo "programme: tout est conforme"
[ "$echecs" -eq 0 ]
