#!/bin/sh
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# in its own folder and runs the whole test suite there: any test that fails,
# and any memory error, leak or undefined behaviour, fails this test. The
# sanitized build does not register this test nor the fuzzing and analysis
# ones, so nothing runs twice.
# Usage: sanitiseurs.sh CMAKE CTEST CXX_COMPILER SOURCE_DIR SANITIZED_BUILD_DIR
set -u

cmake=$1
ctest=$2
compilateur=$3
sources=$4
construction=$5

tmp=$(mktemp -d) || { echo "sanitiseurs: no temporary folder"; exit 1; }
trap 'rm -rf "$tmp"' EXIT
trap 'exit 1' INT TERM

# Every sanitizer report ends its process with a failure status; the test
# list is read from the test program at build time, under the same options.
ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS UBSAN_OPTIONS

"$cmake" -S "$sources" -B "$construction" -DCMAKE_CXX_COMPILER="$compilateur" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSD_SANITIZE=ON >"$tmp/configure.log" 2>&1 ||
    { cat "$tmp/configure.log"; echo "sanitiseurs: configure failed"; exit 1; }
"$cmake" --build "$construction" -j2 >"$tmp/build.log" 2>&1 ||
    { cat "$tmp/build.log"; echo "sanitiseurs: build failed"; exit 1; }

"$ctest" --test-dir "$construction" --output-on-failure -j2 ||
    { echo "sanitiseurs: a test failed in the sanitized build"; exit 1; }
exit 0
