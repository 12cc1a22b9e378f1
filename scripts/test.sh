#!/usr/bin/env bash
# Builds everything with warnings as errors and runs the whole test suite.
# Exits non-zero on any failure: formatting, build, a test, a fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh

jobs=$(nproc)

echo "== format check"
mapfile -t sources < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' \
    'tests/*.h' 'bench/*.cpp' 'bench/*.h')
if ((${#sources[@]})); then
    clang-format --dry-run --Werror "${sources[@]}"
fi

echo "== build"
build=${TALVEX_BUILD_DIR:-$root/build/ci}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVEX_WERROR=ON
cmake --build "$build" -j "$jobs"

echo "== tests"
(cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 600)

# FFmpeg, PortAudio and ALSA are modules loaded on first use: starting the tool costs the C++
# runtime and little else (bench_process_startup measures the time).
echo "== start-up"
objects=$(LD_DEBUG=libs "$build/src/cli/talvex-cli" --help 2>&1 >/dev/null | grep -c "calling init")
echo "talvex-cli --help initialises $objects shared objects"
if ((objects > 12)); then
    echo "more than 12 shared objects at start-up" >&2
    exit 1
fi

if command -v dpkg-shlibdeps >/dev/null && command -v lintian >/dev/null; then
    echo "== Debian package"
    scripts/package.sh "$build"
fi

if [ "${TALVEX_SKIP_SANITIZERS:-0}" != 1 ]; then
    echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    asan=$root/build/asan
    cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVEX_WERROR=ON \
        -DTALVEX_SANITIZE=ON -DTALVEX_BUILD_BENCH=OFF
    cmake --build "$asan" -j "$jobs"
    (cd "$asan" && ctest --output-on-failure -j "$jobs" --timeout 600)

    # The threaded parts: MIDI port layer, transfers with the virtual instrument, preview engine.
    echo "== threaded tests under ThreadSanitizer"
    tsan=$root/build/tsan
    cmake -S . -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALVEX_WERROR=ON \
        -DTALVEX_TSAN=ON -DTALVEX_BUILD_BENCH=OFF
    threaded=(test_midi test_transfer test_preview test_framework test_app test_alsa test_portaudio_fake)
    cmake --build "$tsan" -j "$jobs" --target "${threaded[@]}" talvex-cli
    for program in "${threaded[@]}"; do
        binary=$(find "$tsan/tests" -name "$program" -type f -perm -u+x | head -n 1)
        if [ -z "$binary" ]; then
            echo "missing threaded test program $program" >&2
            exit 1
        fi
        TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$binary" --gtest_brief=1
    done
fi

if [ "${TALVEX_SKIP_FUZZ:-0}" != 1 ] && ls tests/fuzz/fuzz_*.cpp >/dev/null 2>&1; then
    echo "== fuzz (bounded)"
    fuzz=$root/build/fuzz
    CC=clang CXX=clang++ cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTALVEX_FUZZ=ON -DTALVEX_BUILD_TESTS=ON -DTALVEX_BUILD_BENCH=OFF -DTALVEX_WITH_QT=OFF
    cmake --build "$fuzz" -j "$jobs" --target fuzz_all
    seconds=${TALVEX_FUZZ_SECONDS:-20}
    for target in "$fuzz"/tests/fuzz/fuzz_*; do
        [ -x "$target" ] || continue
        name=$(basename "$target")
        corpus=$fuzz/corpus/$name
        mkdir -p "$corpus"
        seeds=()
        if [ -d "tests/fuzz/seeds/$name" ]; then
            seeds=("tests/fuzz/seeds/$name")
        fi
        dict=()
        if [ -f "tests/fuzz/$name.dict" ]; then
            dict=("-dict=tests/fuzz/$name.dict")
        fi
        echo "-- $name for ${seconds}s"
        "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
            -print_final_stats=1 "${dict[@]}" "$corpus" "${seeds[@]}" 2>"$fuzz/$name.log" ||
            { tail -n 40 "$fuzz/$name.log"; exit 1; }
        # How much fuzzing the bounded run did: a target that runs a few hundred inputs finds
        # little, so the figures are printed for every target.
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$fuzz/$name.log")
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$fuzz/$name.log")
        echo "   $name: ${runs:-?} inputs, ${rate:-?} exec/s"
    done
fi
echo "== all tests passed"
