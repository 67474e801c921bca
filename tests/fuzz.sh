#!/bin/sh
# Builds tests/fuzz/fuzz_dialogue.cpp with clang, libFuzzer, ASan and UBSan
# in its own folder, then fuzzes the keyboard input for a fixed time over a
# copy of the seed corpus. Fails on any crash, leak, timeout or undefined
# behaviour, and prints the input that caused it. Exits 77 (test skipped)
# when clang++ or libFuzzer is missing.
# Usage: fuzz.sh CMAKE SOURCE_DIR FUZZ_BUILD_DIR [SECONDS]
set -u

cmake=$1
sources=$2
construction=$3
duree=${4:-60}

command -v clang++ >/dev/null 2>&1 || { echo "fuzz: clang++ missing, test skipped"; exit 77; }

tmp=$(mktemp -d) || { echo "fuzz: no temporary folder"; exit 1; }
trap 'rm -rf "$tmp"' EXIT
trap 'exit 1' INT TERM

# libFuzzer ships apart from clang on some systems: try a link first.
printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' \
    > "$tmp/essai.cpp"
clang++ -fsanitize=fuzzer,address,undefined "$tmp/essai.cpp" -o "$tmp/essai" >"$tmp/essai.log" 2>&1 ||
    { cat "$tmp/essai.log"; echo "fuzz: clang++ cannot link libFuzzer here, test skipped"; exit 77; }

"$cmake" -S "$sources" -B "$construction" -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSD_FUZZ=ON -DBUILD_TESTING=OFF \
    >"$tmp/configure.log" 2>&1 ||
    { cat "$tmp/configure.log"; echo "fuzz: configure failed"; exit 1; }
"$cmake" --build "$construction" --target fuzz_dialogue -j2 >"$tmp/build.log" 2>&1 ||
    { cat "$tmp/build.log"; echo "fuzz: build failed"; exit 1; }

# libFuzzer adds what it finds to the corpus folder: work on a copy.
mkdir "$tmp/corpus" "$tmp/trouvailles"
cp "$sources"/tests/fuzz/corpus/* "$tmp/corpus/"

ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:symbolize=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
"$construction/fuzz_dialogue" -max_total_time="$duree" -rss_limit_mb=2048 -timeout=10 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$tmp/trouvailles/" \
    "$tmp/corpus" >"$tmp/fuzz.log" 2>&1
statut=$?
# The statistics and the last lines of the run.
grep -E '^(stat::|Done|INFO: Running with)' "$tmp/fuzz.log"
echo "fuzz: $(ls "$tmp/corpus" | wc -l) inputs in the corpus at the end"

# libFuzzer's own exit code for a finding is 77, the code of a skipped test
# here: any failure is reported as 1.
if [ "$statut" -ne 0 ] || [ -n "$(ls "$tmp/trouvailles")" ]; then
    cat "$tmp/fuzz.log"
    mkdir -p "$construction/trouvailles"
    for f in "$tmp"/trouvailles/*; do
        [ -f "$f" ] || continue
        cp "$f" "$construction/trouvailles/"
        echo "fuzz: input kept in $construction/trouvailles/$(basename "$f"):"
        od -An -c "$f" | head -40
    done
    echo "fuzz: libFuzzer stopped with status $statut"
    exit 1
fi
echo "fuzz: nothing found in $duree s"
exit 0
