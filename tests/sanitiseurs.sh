#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the unit tests with AddressSanitizer and UndefinedBehaviorSanitizer
# in their own folder and runs them: a failed test, a memory error, a leak or
# undefined behaviour fails this test. Then the same with ThreadSanitizer for
# the tests of the threads (the pool of a range, the memory budget served in
# the order of the range, the counts that share their work between two
# threads): a data race fails it.
# The libraries are compiled in unity batches (a third less time), the test
# files each on its own. Two long comparisons over many N (random N to a
# million by the split, every block to 20000) run in the plain build only:
# the same code runs under the sanitizers on fewer N in the other tests.
# Usage: sanitiseurs.sh CMAKE CXX_COMPILER SOURCE_DIR BUILD_DIR
set -u
"$1" -S "$3" -B "$4" -DCMAKE_CXX_COMPILER="$2" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1" -DSD_SANITIZE=ON \
    -DCMAKE_UNITY_BUILD=ON > "$4.log" 2>&1 && "$1" --build "$4" -j2 --target tests_unitaires >> "$4.log" 2>&1 ||
    { cat "$4.log"; echo "sanitiseurs: build failed"; exit 1; }
ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$4/tests/tests_unitaires" --gtest_brief=1 \
    --gtest_filter='-Scission.NombresAuHasardJusquaUnMillion:Rendu.ChaqueBlocLigneEtFiltreJusqua20000ContreLaTablePleine' ||
    exit 1
"$1" -S "$3" -B "$4-tsan" -DCMAKE_CXX_COMPILER="$2" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g0" \
    -DSD_TSAN=ON -DCMAKE_UNITY_BUILD=ON > "$4-tsan.log" 2>&1 && "$1" --build "$4-tsan" -j2 --target tests_fils >> "$4-tsan.log" 2>&1 ||
    { cat "$4-tsan.log"; echo "sanitiseurs: ThreadSanitizer build failed"; exit 1; }
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 "$4-tsan/tests/tests_fils" --gtest_brief=1 \
    --gtest_filter='Plage.MemeSortie*:Budget.DansLOrdreDesRangs:Scission.ArretDemande:Scission.BudgetTropCourtPourLesResidus:Chiffres.BudgetCourtInterruption'
