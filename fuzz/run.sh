#!/bin/sh
# Builds the fuzz targets with clang and runs each for a bounded time.
#
#   fuzz/run.sh [SECONDS]    default 30 seconds per target
#
# The build goes to build-fuzz/ (KELVOR_FUZZ_BUILD_DIR overrides it). Inputs
# found on the way are kept in build-fuzz/corpus/, seeded from the small
# corpus in fuzz/corpus/; an input that fails is written to
# build-fuzz/artifacts/ and the script stops with an error. To replay one:
#   build-fuzz/bin/fuzz_editor build-fuzz/artifacts/editor-crash-...
set -eu

cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-30}
BUILD_DIR=${KELVOR_FUZZ_BUILD_DIR:-build-fuzz}
TARGETS="copytotext editor bdf psf imagesheet arrayformat displayfonts csourcereader u8g2reader gfxreader"

case "$SECONDS_EACH" in
    ''|*[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac

if ! command -v clang++ >/dev/null 2>&1; then
    echo "Fuzzing needs clang++ (Debian packages clang and libclang-rt-dev)." >&2
    exit 1
fi

[ -f "$BUILD_DIR/CMakeCache.txt" ] || cmake --preset fuzz -B "$BUILD_DIR" >/dev/null
# shellcheck disable=SC2046 # one --target per name
cmake --build "$BUILD_DIR" --parallel "$(getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2)" \
    $(for target in $TARGETS; do printf -- '--target fuzz_%s ' "$target"; done)

# Stop at the first report of any sanitizer; libFuzzer then saves the input.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

mkdir -p "$BUILD_DIR/artifacts"
# The targets run side by side, as many at a time as there are cores; each
# writes its log and, when it is done, its exit status.
jobs=$(getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2)
fuzz_one() {
    target=$1
    corpus="$BUILD_DIR/corpus/$target"
    mkdir -p "$corpus"
    status=0
    "$BUILD_DIR/bin/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout=20 -rss_limit_mb=4096 \
        -max_len=8192 -print_final_stats=1 -artifact_prefix="$BUILD_DIR/artifacts/$target-" \
        "$corpus" "fuzz/corpus/$target" >"$BUILD_DIR/fuzz_$target.log" 2>&1 || status=$?
    echo "$status" >"$BUILD_DIR/fuzz_$target.status"
}
running=0
for target in $TARGETS; do
    rm -f "$BUILD_DIR/fuzz_$target.status"
    echo "Fuzzing $target for $SECONDS_EACH s (log: $BUILD_DIR/fuzz_$target.log)"
    fuzz_one "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait
        running=0
    fi
done
wait

summary=""
count=0
for target in $TARGETS; do
    log="$BUILD_DIR/fuzz_$target.log"
    if [ "$(cat "$BUILD_DIR/fuzz_$target.status" 2>/dev/null)" != 0 ]; then
        tail -n 60 "$log" >&2
        echo "fuzz_$target FAILED: see $log and $BUILD_DIR/artifacts/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    summary="$summary$target: ${runs:-?} executions in $SECONDS_EACH s, no failure
"
    count=$((count + 1))
done
printf '%s' "$summary"
echo "fuzz: $count passed, 0 failed"
