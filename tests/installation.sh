#!/bin/sh
# Installs the built tree into a fresh temporary prefix and checks what a
# user gets: the program and its manual page, nothing else, a page that
# renders cleanly, and a program that runs from its installed place.
# Usage: installation.sh CMAKE BUILD_DIR SOURCE_DIR
set -u

cmake=$1
construction=$2
sources=$3

echec() {
    echo "installation: $*" >&2
    exit 1
}

tmp=$(mktemp -d) || echec "no temporary folder"
trap 'rm -rf "$tmp"' EXIT
trap 'exit 1' INT TERM
prefixe=$tmp/prefixe

# A DESTDIR from the environment would send the files elsewhere.
unset DESTDIR
"$cmake" --install "$construction" --prefix "$prefixe" >"$tmp/install.log" 2>&1 ||
    { cat "$tmp/install.log"; echec "cmake --install failed"; }

programme=$prefixe/bin/sommes-diviseurs
[ -x "$programme" ] || echec "missing $programme"

if [ -f "$prefixe/share/man/man1/sommes-diviseurs.1.gz" ]; then
    page=$prefixe/share/man/man1/sommes-diviseurs.1.gz
    gzip -dc "$page" >"$tmp/page.1" || echec "$page is not gzip data"
elif [ -f "$prefixe/share/man/man1/sommes-diviseurs.1" ]; then
    page=$prefixe/share/man/man1/sommes-diviseurs.1
    cp "$page" "$tmp/page.1"
else
    echec "missing share/man/man1/sommes-diviseurs.1 (or .1.gz)"
fi
cmp -s "$tmp/page.1" "$sources/doc/sommes-diviseurs.1" ||
    echec "installed manual page differs from doc/sommes-diviseurs.1"

# Exactly the two files: a library or header installed on the side (for
# example by a bundled test framework) would end up in the package too.
trouves=$(cd "$prefixe" && find . -type f | sort)
attendus=$(printf '%s\n' "./bin/sommes-diviseurs" "./${page#"$prefixe"/}" | sort)
[ "$trouves" = "$attendus" ] ||
    echec "installed files differ from the program and its page:
$trouves"

# The page renders without any warning. groff reads the UTF-8 text through
# preconv (-k) and writes plain text, without overstrike or escape sequences
# (-P-cbou), so that headings can be searched; man is the fallback when groff
# is missing.
if command -v groff >/dev/null 2>&1; then
    groff -k -man -Tutf8 -ww -P-cbou "$tmp/page.1" >"$tmp/page.txt" 2>"$tmp/page.err" ||
        echec "groff failed on the installed page"
    rendu="groff"
elif command -v man >/dev/null 2>&1; then
    man -l "$page" >"$tmp/page.txt" 2>"$tmp/page.err" ||
        echec "man -l failed on the installed page"
    rendu="man"
else
    rendu=
    echo "installation: neither groff nor man here, page not rendered"
fi
if [ -n "$rendu" ]; then
    [ -s "$tmp/page.err" ] && { cat "$tmp/page.err"; echec "$rendu warned on the page"; }
    grep -q DIALOGUE "$tmp/page.txt" || echec "$rendu output lacks the DIALOGUE section"
fi

# The installed program: 6 is perfect, the answer 0 ends with status 1 and
# nothing goes to standard error.
printf '6 6 0' | "$programme" >"$tmp/sortie" 2>"$tmp/erreurs"
statut=$?
[ "$statut" -eq 1 ] || echec "installed program exited with $statut, not 1"
grep -qF '6  est parfait. Il a 3 diviseurs propres.' "$tmp/sortie" ||
    echec "installed program did not report 6 as perfect"
[ -s "$tmp/erreurs" ] && echec "installed program wrote to standard error"
exit 0
