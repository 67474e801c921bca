#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds tests/fuzz/fuzz_dialogue.cpp with clang, libFuzzer, ASan and UBSan in
# its own folder and fuzzes a copy of the seed corpus for a fixed time; any
# crash, leak, timeout or broken rule fails, with the input that caused it.
# Exits 77 (skipped) when clang++ or libFuzzer is missing. Built at -O1, in
# unity batches: quicker to build, fast enough to fuzz.
# Usage: fuzz.sh CMAKE SOURCE_DIR BUILD_DIR SECONDS
set -u
command -v clang++ > /dev/null || { echo "fuzz: clang++ missing, test skipped"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, long) { return 0; }' > "$tmp/essai.cpp"
clang++ -fsanitize=fuzzer "$tmp/essai.cpp" -o "$tmp/essai" 2> /dev/null ||
    { echo "fuzz: libFuzzer missing (clang++ -fsanitize=fuzzer), test skipped"; exit 77; }
"$1" -S "$2" -B "$3" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1" -DSD_FUZZ=ON \
    -DCMAKE_UNITY_BUILD=ON -DBUILD_TESTING=OFF > "$tmp/log" 2>&1 && "$1" --build "$3" --target fuzz_dialogue -j2 >> "$tmp/log" 2>&1 ||
    { cat "$tmp/log"; echo "fuzz: build failed"; exit 1; }
mkdir "$tmp/corpus" "$tmp/trouve"
cp "$2"/tests/fuzz/corpus/* "$tmp/corpus/"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$3/fuzz_dialogue" \
    -max_total_time="$4" -rss_limit_mb=2048 -timeout=10 -max_len=4096 -artifact_prefix="$tmp/trouve/" \
    "$tmp/corpus" > "$tmp/log" 2>&1
statut=$?
# libFuzzer's exit code for a finding is 77, a skip here: report it as 1.
if [ "$statut" -ne 0 ] || [ -n "$(ls "$tmp/trouve")" ]; then
    tail -n 60 "$tmp/log"
    for f in "$tmp"/trouve/*; do [ -f "$f" ] && od -An -c "$f" | head -20; done
    exit 1
fi
grep -E '^Done' "$tmp/log"
exit 0
