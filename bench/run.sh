#!/bin/sh
# Runs the benchmarks and prints every figure beside its target.
#
#   bench/run.sh [BUILD_DIR]     ./build.sh bench builds first, then runs this
#
# The windows are shown on a virtual X server (Xvfb) when one is installed,
# through Qt's xcb platform as on a desktop; otherwise on Qt's offscreen
# platform. KELVOR_BENCH_PLATFORM=offscreen chooses the latter anyway. The
# program and the windows it is compared with always run the same way, on the
# same fonts.
set -eu

cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
BIN="$BUILD_DIR/bin"
for program in KELVOR21 bench_startup bench_startupwindow bench_command bench_click bench_copytotext bench_glyphset; do
    if [ ! -x "$BIN/$program" ]; then
        echo "No $BIN/$program: build first (./build.sh bench)." >&2
        exit 1
    fi
done

runtime_dir=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$runtime_dir"
}
trap cleanup EXIT INT TERM
export XDG_RUNTIME_DIR="$runtime_dir"

platform=${KELVOR_BENCH_PLATFORM:-}
if [ -z "$platform" ]; then
    if command -v Xvfb >/dev/null 2>&1; then platform=xcb; else platform=offscreen; fi
fi
if [ "$platform" = xcb ]; then
    # Xvfb picks a free display and writes its number to the file descriptor.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$runtime_dir/display" 2>"$runtime_dir/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 50); do
        [ -s "$runtime_dir/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$runtime_dir/display" ]; then
        echo "Xvfb did not start:" >&2
        cat "$runtime_dir/xvfb.log" >&2
        exit 1
    fi
    export DISPLAY=":$(cat "$runtime_dir/display")"
fi
export QT_QPA_PLATFORM="$platform"

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(getconf _NPROCESSORS_ONLN) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Platform: $platform${DISPLAY:+ on Xvfb $DISPLAY}, Release build in $BUILD_DIR"
echo
# Start-up on each font set (cmake/FontSets.cmake): DejaVu alone, as on a
# fresh Debian, and DejaVu with the URW fonts. A set whose fonts are missing
# is reported and left out.
for set in dejavu dejavu-urw; do
    case "$BUILD_DIR" in
        /*) conf="$BUILD_DIR/fontsets/$set/fonts.conf" ;;
        *) conf="$PWD/$BUILD_DIR/fontsets/$set/fonts.conf" ;;
    esac
    families=""
    if [ -f "$conf" ] && command -v fc-list >/dev/null 2>&1; then
        families=$(FONTCONFIG_FILE="$conf" fc-list : family | sort -u | tr '\n' ',' | sed 's/,$//; s/,/, /g')
    fi
    case "$set:$families" in
        *:) echo "Font set $set: no fonts found (is fontconfig's fc-list installed?), skipped" ;;
        dejavu-urw:*Nimbus*|dejavu:*DejaVu*)
            echo "Font set $set: $families"
            FONTCONFIG_FILE="$conf" "$BIN/bench_startup" "$BIN/bench_startupwindow" "${KELVOR_BENCH_TRIPLES:-15}"
            ;;
        *) echo "Font set $set: its fonts are not installed (fonts-urw-base35 for the URW fonts), skipped" ;;
    esac
    echo
done
# The program as a whole process, as scripts and builds start it; its window
# on the fonts of a fresh Debian.
case "$BUILD_DIR" in
    /*) dejavu="$BUILD_DIR/fontsets/dejavu/fonts.conf" ;;
    *) dejavu="$PWD/$BUILD_DIR/fontsets/dejavu/fonts.conf" ;;
esac
if [ -f "$dejavu" ]; then
    FONTCONFIG_FILE="$dejavu" "$BIN/bench_command" "$BIN/KELVOR21"
else
    "$BIN/bench_command" "$BIN/KELVOR21"
fi
echo
"$BIN/bench_click"
echo
"$BIN/bench_copytotext"
echo
"$BIN/bench_glyphset"
echo
echo "Load average afterwards: $(cut -d' ' -f1-3 /proc/loadavg)"
