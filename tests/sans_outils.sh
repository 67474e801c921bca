#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# What a machine without some test tools still runs. Configured in its own
# folder with GoogleTest hidden, the build still registers the tests of the
# built program, and the unit tests and their sanitizer run say they are
# skipped (status 77); without GNU time, the test of the built program still
# passes and says that its memory checks were skipped.
# Usage: sans_outils.sh CMAKE CTEST CXX_COMPILER SOURCE_DIR BUILD_DIR PROGRAM
set -u
echec() { echo "sans_outils: $*"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$1" -S "$4" -B "$5" -DCMAKE_CXX_COMPILER="$3" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON > "$5.log" 2>&1 || { cat "$5.log"; echec "configure failed"; }
grep -q "GoogleTest introuvable" "$5.log" || echec "GoogleTest was not hidden"
"$2" --test-dir "$5" -N > "$tmp/liste" || echec "ctest -N"
attendus="tests_unitaires programme installation fuzz_dialogue sanitiseurs analyse_statique"
command -v python3 > /dev/null && attendus="$attendus programme_terminal"
for t in $attendus; do
    grep -qE "Test +#[0-9]+: $t\$" "$tmp/liste" || { cat "$tmp/liste"; echec "$t not registered without GoogleTest"; }
done
"$2" --test-dir "$5" -V -R '^(tests_unitaires|sanitiseurs)$' > "$tmp/sortie" 2>&1
for t in tests_unitaires sanitiseurs; do
    grep -q "$t: GoogleTest missing (package libgtest-dev), test skipped" "$tmp/sortie" &&
        grep -qE "$t [.]+[*]+Skipped" "$tmp/sortie" || { cat "$tmp/sortie"; echec "$t not skipped"; }
done

SD_TEMPS="$tmp/absent" bash "$4/tests/programme.sh" "$6" > "$tmp/sortie" 2>&1 || { cat "$tmp/sortie"; echec "programme.sh without GNU time"; }
grep -q "^programme: $tmp/absent missing (package time), memory checks skipped\$" "$tmp/sortie" ||
    { cat "$tmp/sortie"; echec "programme.sh does not say that its memory checks were skipped"; }
echo "sans_outils: tests registered and skips said"
