#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the built tree into a temporary prefix: exactly the program and its
# manual page, a page that renders without warning, a program that runs.
# Usage: installation.sh CMAKE BUILD_DIR SOURCE_DIR
set -u
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echec() { echo "installation: $*"; exit 1; }

unset DESTDIR
"$1" --install "$2" --prefix "$tmp/p" > "$tmp/log" 2>&1 || { cat "$tmp/log"; echec "cmake --install"; }
trouves=$(cd "$tmp/p" && find . -type f | sort | tr '\n' ' ')
case $trouves in "./bin/sommes-diviseurs ./share/man/man1/sommes-diviseurs.1 " | \
    "./bin/sommes-diviseurs ./share/man/man1/sommes-diviseurs.1.gz ") ;; *) echec "installed: $trouves" ;; esac
gzip -dcf "$tmp"/p/share/man/man1/sommes-diviseurs.1* > "$tmp/page.1"
cmp -s "$tmp/page.1" "$3/doc/sommes-diviseurs.1" || echec "page differs"
if command -v groff > /dev/null; then
    groff -k -man -Tutf8 -ww -P-cbou "$tmp/page.1" > "$tmp/page" 2> "$tmp/err"
    [ -s "$tmp/err" ] && { cat "$tmp/err"; echec "groff warned"; }
    grep -q DIALOGUE "$tmp/page" || echec "no DIALOGUE section"
else
    echo "installation: groff missing, page not rendered"
fi
printf '6 6 0' | "$tmp/p/bin/sommes-diviseurs" > "$tmp/sortie" 2> "$tmp/err"
[ $? -eq 1 ] && [ ! -s "$tmp/err" ] && grep -qF '6  est parfait. Il a 3 diviseurs propres.' "$tmp/sortie" ||
    echec "installed program"
exit 0
