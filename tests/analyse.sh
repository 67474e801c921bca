#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Static analysis of arithmetic/ and dialogue/: cppcheck, then clang-tidy
# (bugprone and performance checks) on the compile commands of a configure in
# its own folder; then the layout of every C++ source of the tree against
# .clang-format. Any finding fails, except the reviewed false positives
# below; a missing tool is reported and the test ends as skipped (77).
# Usage: analyse.sh CMAKE CXX_COMPILER SOURCE_DIR BUILD_DIR
set -u
cd "$3" || exit 1
echecs=0
manque=0
if command -v cppcheck > /dev/null; then
    cppcheck -q --enable=warning,performance,portability --error-exitcode=1 --inline-suppr --std=c++20 \
        --language=c++ -I arithmetic/diviseurs -I arithmetic/comptage -I arithmetic/ressources -I arithmetic/nombres \
        -I dialogue \
        --suppress=missingIncludeSystem arithmetic dialogue ||
        echecs=1
else
    echo "analyse: cppcheck missing, not run"; manque=1
fi
if command -v clang-tidy > /dev/null; then
    "$1" -S . -B "$4" -DCMAKE_CXX_COMPILER="$2" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DBUILD_TESTING=OFF \
        > "$4.log" 2>&1 || { cat "$4.log"; exit 1; }
    # Reviewed: the cost estimates mix integers into doubles and split t items
    # into t / 2 and t - t / 2 on purpose, as the binomial bounds take the
    # floor of m / 2 and (items + 1) / 2; 41 * 41 is a small constant.
    find arithmetic dialogue -name "*.cpp" | sort | xargs -P2 -n1 clang-tidy -p "$4" --quiet \
        -checks='-*,bugprone-*,-bugprone-easily-swappable-parameters,performance-*' \
        -config='{CheckOptions: [{key: bugprone-narrowing-conversions.WarnOnIntegerToFloatingPointNarrowingConversion, value: false}]}' \
        -header-filter='/(arithmetic|dialogue)/' 2> /dev/null |
        grep -E '^[^ ]+:[0-9]+:[0-9]+: (warning|error)' | sort -u | while IFS=: read -r f l _; do
            ligne=$(sed -n "${l}p" "$f")
            case $ligne in *"static_cast<double>(t / 2)"* | *"static_cast<double>(t - t / 2)"* | *"41 * 41"* | \
                *"static_cast<double>(m / 2)"* | *"static_cast<double>((items + 1) / 2)"*) ;;
            *) echo "$f:$l: $ligne" ;; esac
        done > "$4.constats"
    [ -s "$4.constats" ] && { cat "$4.constats"; echecs=1; }
else
    echo "analyse: clang-tidy missing, not run"; manque=1
fi
if command -v clang-format > /dev/null; then
    # The tracked sources in a git checkout, else those of a source tree.
    if [ -e .git ] && command -v git > /dev/null; then
        git ls-files '*.cpp' '*.hpp'
    else
        find arithmetic dialogue tests bench -name '*.cpp' -o -name '*.hpp'
    fi | sort | xargs clang-format --dry-run --Werror > "$4.format" 2>&1 || { cat "$4.format"; echecs=1; }
else
    echo "analyse: clang-format missing, not run"; manque=1
fi
[ "$echecs" -eq 0 ] || exit 1
[ "$manque" -eq 0 ] || exit 77
echo "analyse: nothing found"
