#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the built tree into a temporary prefix: exactly the program, its
# manual page, the package's copyright file, changelog and lintian overrides;
# a page that renders without warning; a hardened program that runs. Builds
# the Debian package and has lintian judge it. Checks the licence of the
# sources, and that the README and the manual page show the program's real
# answers and name the Debian packages that provide the tools the tests call.
# A missing tool is said and its checks are left out.
# Usage: installation.sh CMAKE BUILD_DIR SOURCE_DIR CPACK CTEST
set -u
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echec() { echo "installation: $*"; exit 1; }
manque() { echo "installation: $1 missing, $2"; }
src=$3

unset DESTDIR
"$1" --install "$2" --prefix "$tmp/p" > "$tmp/log" 2>&1 || { cat "$tmp/log"; echec "cmake --install"; }
trouves=$(cd "$tmp/p" && find . -type f | sort | tr '\n' ' ')
case $trouves in
    "./bin/sommes-diviseurs ./share/doc/sommes-diviseurs/changelog.Debian.gz ./share/doc/sommes-diviseurs/copyright ./share/lintian/overrides/sommes-diviseurs ./share/man/man1/sommes-diviseurs.1.gz ") ;;
    "./bin/sommes-diviseurs ./share/doc/sommes-diviseurs/changelog.Debian ./share/doc/sommes-diviseurs/copyright ./share/lintian/overrides/sommes-diviseurs ./share/man/man1/sommes-diviseurs.1 ") ;;
    *) echec "installed: $trouves" ;;
esac
prog=$tmp/p/bin/sommes-diviseurs

# The manual page: the source itself, rendered without warning by groff.
gzip -dcf "$tmp"/p/share/man/man1/sommes-diviseurs.1* > "$tmp/page.1"
cmp -s "$tmp/page.1" "$src/doc/sommes-diviseurs.1" || echec "page differs"
if command -v groff > /dev/null; then
    groff -k -man -Tutf8 -ww -P-cbou "$tmp/page.1" > "$tmp/page" 2> "$tmp/err"
    [ -s "$tmp/err" ] && { cat "$tmp/err"; echec "groff warned"; }
    for section in DIALOGUE "VOIR AUSSI" BOGUES; do
        grep -q "^$section" "$tmp/page" || echec "no $section section"
    done
    # Words glued by a macro that alternates fonts: "taskset(1));cette".
    grep -nE '[[:alpha:])][;:][[:alpha:]]' "$tmp/page" && echec "words run together in the page"
else
    manque groff "page not rendered"
fi

printf '6 6 0' | "$prog" > "$tmp/sortie" 2> "$tmp/err"
[ $? -eq 1 ] && [ ! -s "$tmp/err" ] && grep -qF '6  est parfait. Il a 3 diviseurs propres.' "$tmp/sortie" ||
    echec "installed program"

# The licence: GPL version 3 or later, in COPYING, in the package's
# machine-readable copyright file, and on the first line of every source and
# CMake file (the second of a script, after its interpreter).
grep -q '^ *Version 3, 29 June 2007' "$src/COPYING" || echec "COPYING is not the GPL version 3"
[ -f /usr/share/common-licenses/GPL-3 ] && { cmp -s "$src/COPYING" /usr/share/common-licenses/GPL-3 ||
    echec "COPYING differs from /usr/share/common-licenses/GPL-3"; }
copyright=$tmp/p/share/doc/sommes-diviseurs/copyright
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' &&
    grep -qx 'License: GPL-3+' "$copyright" && grep -qF '"/usr/share/common-licenses/GPL-3"' "$copyright" ||
    echec "copyright file"
if git -C "$src" rev-parse --git-dir > /dev/null 2>&1; then
    git -C "$src" ls-files > "$tmp/sources"
else
    (cd "$src" && find . -path './build*' -prune -o -path ./.git -prune -o -type f -print | sed 's|^\./||') \
        > "$tmp/sources"
fi
spdx='SPDX-License-Identifier: GPL-3.0-or-later'
while IFS= read -r f; do
    case $f in
        *.cpp | *.hpp) ligne=1 attendu="// $spdx" ;;
        *CMakeLists.txt | *.cmake) ligne=1 attendu="# $spdx" ;;
        *.sh | *.py | .ci/run) ligne=2 attendu="# $spdx" ;;
        *) continue ;;
    esac
    [ "$(sed -n "${ligne}p" "$src/$f")" = "$attendu" ] || echec "$f: line $ligne is not '$attendu'"
done < "$tmp/sources"

# The changelog's latest entry is the package's version: the program's
# version and the revision of the package.
version=$("$prog" --version | sed 's/^sommes-diviseurs //')
gzip -dcf "$tmp"/p/share/doc/sommes-diviseurs/changelog.Debian* | head -n 1 |
    grep -qE "^sommes-diviseurs \($(echo "$version" | sed 's/\./\\./g')-[0-9]+\) [a-z-]+; urgency=[a-z]+$" ||
    echec "changelog's first line is not version $version"

# The hardening that binds every relocation at load and makes them read-only,
# in a position-independent executable.
if command -v readelf > /dev/null; then
    readelf -d "$prog" | grep -qE 'BIND_NOW|FLAGS_1.*NOW' || echec "program not bound now"
    readelf -d "$prog" | grep -qE 'FLAGS_1.*PIE' || echec "program not position-independent"
    readelf -lW "$prog" | grep -q GNU_RELRO || echec "program without read-only relocations"
else
    manque readelf "hardening not checked"
fi

# The Debian package: what it holds, and lintian's judgement, French
# spelling aside.
if [ -x "$4" ] && command -v dpkg-deb > /dev/null; then
    "$4" --config "$2/CPackConfig.cmake" -G DEB -B "$tmp/deb" > "$tmp/log" 2>&1 || { cat "$tmp/log"; echec "cpack"; }
    deb=$(ls "$tmp"/deb/*.deb)
    dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '/$' | sort | tr '\n' ' ' > "$tmp/contenu"
    [ "$(cat "$tmp/contenu")" = "./usr/bin/sommes-diviseurs ./usr/share/doc/sommes-diviseurs/changelog.Debian.gz ./usr/share/doc/sommes-diviseurs/copyright ./usr/share/lintian/overrides/sommes-diviseurs ./usr/share/man/man1/sommes-diviseurs.1.gz " ] ||
        echec "package holds: $(cat "$tmp/contenu")"
    [ "$(dpkg-deb -f "$deb" Version)" = "$version-$(gzip -dc "$tmp"/p/share/doc/sommes-diviseurs/changelog.Debian.gz |
        head -n 1 | sed 's/.*-\([0-9]*\)).*/\1/')" ] || echec "package version $(dpkg-deb -f "$deb" Version)"
    if command -v lintian > /dev/null; then
        lintian --display-info --suppress-tags spelling-error-in-binary,spelling-error-in-changelog,spelling-error-in-copyright,spelling-error-in-description,spelling-error-in-description-synopsis,typo-in-manual-page \
            "$deb" > "$tmp/lintian" 2> "$tmp/err"
        grep -E '^[A-Z]: ' "$tmp/lintian" > "$tmp/constats"
        [ -s "$tmp/constats" ] && { cat "$tmp/constats"; echec "lintian"; }
        grep -qE 'error|Error' "$tmp/err" && { cat "$tmp/err"; echec "lintian failed"; }
    else
        manque lintian "package not judged (package lintian)"
    fi
else
    manque "cpack or dpkg-deb" "package not built"
fi

# The README's session and the manual page's example: the blocks they show
# are the ones the program writes for the answers they show, spacing aside.
sed -n '/^## Exemple de session/,/^## /p' "$src/README.md" | grep '^    ' > "$tmp/session"
sed -n '/^\.SH EXEMPLE/,/echo \$?/p' "$src/doc/sommes-diviseurs.1" | sed 's/\\f[BIPR]//g; s/\\-/-/g' > "$tmp/exemple"
for doc in session exemple; do
    reponses=$(sed -n 's/.*\(minimale ?\|maximale ?\|Non\[0\] ? :\) *\([0-9]*\)$/\2/p' "$tmp/$doc" | tr '\n' ' ')
    [ -n "$reponses" ] || echec "$doc: no answers found"
    printf '%s' "$reponses" | "$prog" | grep -E 'est deficient|est parfait|Solutions' |
        tr -s ' \t' '  ' | sed 's/^ //; s/ $//' > "$tmp/vrai"
    grep -E 'est deficient|est parfait|Solutions' "$tmp/$doc" | tr -s ' \t' '  ' |
        sed 's/^ //; s/ $//' > "$tmp/montre"
    cmp -s "$tmp/vrai" "$tmp/montre" || { diff "$tmp/vrai" "$tmp/montre"; echec "$doc: blocks differ from the program's"; }
done

# The README and the documents of doc/ link only files that exist; the README
# names the Debian package that provides each tool the build and the tests
# call, as this machine has them (python3 is named by its usual package, which
# brings python3-minimal where the binary lies; gzip and dpkg are on every
# Debian machine).
for page in "$src"/README.md "$src"/doc/*.md; do
    grep -oE '\]\([^)#:]+' "$page" | sed 's/^](//' | while read -r f; do
        [ -f "$(dirname "$page")/$f" ] || echec "${page#"$src"/} links the missing $f"
    done || exit 1
done
if command -v dpkg > /dev/null; then
    for outil in g++ cmake clang++ clang-tidy clang-format cppcheck groff time lintian parallel; do
        paquet=$( (dpkg -S "/usr/bin/$outil" || dpkg -S "/bin/$outil") 2> /dev/null | grep -v "^diversion" | head -n 1 | cut -d: -f1)
        [ -z "$paquet" ] || grep -qF "\`$paquet\`" "$src/README.md" || echec "README does not name $paquet ($outil)"
    done
else
    manque dpkg "packages named by the README not checked"
fi

# The number of tests the README gives, when this build has them all.
if [ -x "$2/tests/tests_unitaires" ] && [ -x "${5:-}" ]; then
    "$5" --test-dir "$2" -N > "$tmp/tests"
    if grep -q programme_terminal "$tmp/tests"; then
        nombre=$(sed -n 's/^Total Tests: //p' "$tmp/tests")
        grep -qE "(^|[^0-9])$nombre tests" "$src/README.md" || echec "README does not give $nombre tests"
    fi
fi
exit 0
