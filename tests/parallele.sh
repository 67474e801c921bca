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
echo "parallele: tout est conforme"
