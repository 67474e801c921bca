#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# A range split in shards run by GNU parallel (two jobs, output in the order
# of the shards) gives exactly the lines of one run: the recipe of the manual
# page, for the counts and for the weird numbers decided. Skipped, with a message, where parallel is missing (package parallel).
# Usage: parallele.sh PROGRAM
set -u
prog=$1
command -v parallel > /dev/null || { echo "parallele: GNU parallel missing (package parallel), test skipped"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$prog" 1 12000 > "$tmp/un" || { echo "parallele: the single run failed"; exit 1; }
# Shards of 2000 N, the header once.
{ head -n 1 "$tmp/un"
  seq 0 5 | parallel --will-cite --keep-order -j2 \
      "$prog" --sans-entete '{= $_ = $_ * 2000 + 1 =}' '{= $_ = ($_ + 1) * 2000 =}'; } > "$tmp/parts"
statut=$?
[ "$statut" -eq 0 ] || { echo "parallele: status $statut"; exit 1; }
cmp "$tmp/un" "$tmp/parts" || { echo "parallele: the shards differ from one run"; exit 1; }
# The weird numbers decided, in shards of 25000 N.
"$prog" --bizarres 1 150000 > "$tmp/un" || { echo "parallele: the single run of --bizarres failed"; exit 1; }
{ head -n 1 "$tmp/un"
  seq 0 5 | parallel --will-cite --keep-order -j2 \
      "$prog" --bizarres --sans-entete '{= $_ = $_ * 25000 + 1 =}' '{= $_ = ($_ + 1) * 25000 =}'; } > "$tmp/parts"
statut=$?
[ "$statut" -eq 0 ] || { echo "parallele: --bizarres, status $statut"; exit 1; }
cmp "$tmp/un" "$tmp/parts" || { echo "parallele: the shards of --bizarres differ from one run"; exit 1; }
# The recipe that survives a killed shard: each shard into its own file,
# renamed once complete; shard 3 killed by SIGKILL in the middle of its
# first run; the same command with --resume-failed redoes it; the table is
# assembled only from shards all present, and equals one run.
mkdir "$tmp/tranches"
cat > "$tmp/tranche.sh" << FIN
#!/bin/sh
i=\$1
if [ "\$i" -eq 3 ] && [ ! -e "$tmp/tue" ]; then
    touch "$tmp/tue"
    "$prog" --sans-entete \$((i * 2000 + 1)) 1000000000 > "$tmp/tranches/\$i.part" &
    sleep 0.3
    kill -9 \$! \$\$
fi
"$prog" --sans-entete \$((i * 2000 + 1)) \$(((i + 1) * 2000)) > "$tmp/tranches/\$i.part" &&
    mv "$tmp/tranches/\$i.part" "$tmp/tranches/\$i"
FIN
recette() { seq 0 5 | parallel --will-cite --joblog "$tmp/journal" --resume-failed -j2 sh "$tmp/tranche.sh" {}; }
manque() { for i in 0 1 2 3 4 5; do [ -e "$tmp/tranches/$i" ] || echo "$i"; done; }
recette > /dev/null 2>&1 && { echo "parallele: the killed shard was not seen"; exit 1; }
[ "$(manque)" = 3 ] || { echo "parallele: shards missing after the kill: $(manque)"; exit 1; }
recette || { echo "parallele: --resume-failed, status $?"; exit 1; }
[ -z "$(manque)" ] || { echo "parallele: shards missing after --resume-failed: $(manque)"; exit 1; }
"$prog" 1 12000 > "$tmp/un"
{ printf 'N\tclasse\tdiviseurs\tsomme\tsolutions\n'; for i in 0 1 2 3 4 5; do cat "$tmp/tranches/$i"; done; } > "$tmp/parts"
cmp "$tmp/un" "$tmp/parts" || { echo "parallele: the resumed shards differ from one run"; exit 1; }
echo "parallele: tout est conforme"
