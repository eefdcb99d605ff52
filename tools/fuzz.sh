#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/NAME_fuzz.cpp) with clang and libFuzzer and
# runs each for a bounded time: NORVIX_FUZZ_SECONDS (default 5) each.
# A target's corpus starts from fuzz/seeds/NAME/ and from the files its
# source names on a "// seeds:" line (paths or globs under the repository);
# a "// options:" line adds libFuzzer options (such as -max_len=N).
# Any finding fails the run; its input is kept under build/fuzz/findings/NAME
# (add it to fuzz/seeds/NAME once it is mended).
# `tools/fuzz.sh NAME...` runs only the named targets.
set -u
source "$(dirname "$0")/common.sh"

dir="$BUILD_ROOT/fuzz"
seconds=${NORVIX_FUZZ_SECONDS:-5}
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$NORVIX_ROOT" -B "$dir" -DNORVIX_FUZZ=ON -DNORVIX_TESTS=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null || exit 1
fi
cmake --build "$dir" -j "$JOBS" >/dev/null || { cmake --build "$dir" -j 1; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for src in "$NORVIX_ROOT"/fuzz/*_fuzz.cpp; do
        [ -e "$src" ] && targets+=("$(basename "$src" .cpp)")
    done
fi

passed=0 failed=0
for name in "${targets[@]}"; do
    corpus="$dir/corpus/$name"
    findings="$dir/findings/$name"
    rm -rf "$corpus"
    mkdir -p "$corpus" "$findings"
    [ -d "$NORVIX_ROOT/fuzz/seeds/$name" ] && cp -r "$NORVIX_ROOT/fuzz/seeds/$name/." "$corpus/"
    seeds=$(sed -n 's|^// seeds:||p' "$NORVIX_ROOT/fuzz/$name.cpp")
    for pattern in $seeds; do
        for f in $NORVIX_ROOT/$pattern; do
            [ -f "$f" ] && cp "$f" "$corpus/seed_$(basename "$f")"
        done
    done
    options=$(sed -n 's|^// options:||p' "$NORVIX_ROOT/fuzz/$name.cpp")
    log="$dir/$name.log"
    # libFuzzer stops itself after the time given; should it not (a hang
    # outside an input's run), the run fails instead of stalling.
    (cd "$dir" && ASAN_OPTIONS=detect_leaks=1 timeout -k 10 $((seconds + 120)) "./$name" \
        $options -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$findings/" "$corpus" \
        >"$log" 2>&1)
    rc=$?
    if [ "$rc" = 0 ]; then
        echo "fuzz $name: $(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1)"
        passed=$((passed + 1))
    elif [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
        echo "fuzz $name: HUNG (stopped after $((seconds + 120)) s)"
        tail -n 20 "$log"
        failed=$((failed + 1))
    else
        echo "fuzz $name: FINDING (inputs in $findings)"
        tail -n 40 "$log"
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
