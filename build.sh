#!/bin/sh
# Builds KELVOR 2, then runs the program, the whole test suite or the
# benchmarks.
#
#   ./build.sh run     build, then start the program
#   ./build.sh test    build, then run every test headless; then build and run
#                      them again with AddressSanitizer and UBSan, and run
#                      each fuzz target for a while (KELVOR_FUZZ_SECONDS, 30)
#   ./build.sh bench   build, then run the benchmarks (bench/run.sh)
#   ./build.sh package build the program, then its .deb and .tar.gz in
#                      <build>/packages (cmake/packaging.cmake)
#
# The builds are the presets of CMakePresets.json, in KELVOR_BUILD_DIR
# (build/), and beside it with -asan and -fuzz. On Debian (12 or later)
# missing build packages, and for "test" the tools the tests use, are
# installed when run as root; otherwise the script names the command that
# installs them and stops. Re-running only rebuilds what changed.
set -eu

cd "$(dirname "$0")"
BUILD_DIR=${KELVOR_BUILD_DIR:-build}
SANITIZE_DIR="$BUILD_DIR-asan"
FUZZ_DIR="$BUILD_DIR-fuzz"
# What the build needs: the compiler, CMake, Qt 6, zlib for gzip-compressed
# fonts and ICU's headers for the characters' names that screen readers read
# in the glyph list (QtCore uses ICU already).
PACKAGES="cmake make g++ qt6-base-dev zlib1g-dev libicu-dev"

# What "test" needs beyond the build, one list per purpose. A test that starts
# using another tool or font names its Debian package here, in its own list.
#
# The version record: the MinGW resource compiler checks it. The menu entry:
# desktop-file-validate. Fuzzing: clang and its fuzzer runtime (the sanitizer
# runtimes for g++ come with g++). The manual page: groff reads it for
# warnings.
CHECK_PACKAGES="binutils-mingw-w64-x86-64 desktop-file-utils clang libclang-rt-dev groff-base"
# The window tests run on DejaVu alone and on DejaVu with the URW fonts, both
# named: either satisfies fontconfig's need of a font, so asking for the URW
# fonts alone would leave DejaVu out. The outline-font tests render DejaVu too.
WINDOW_PACKAGES="fonts-dejavu-core fonts-urw-base35"
# The package test: dpkg-shlibdeps (dpkg-dev) finds the package's
# dependencies, lintian lints it, appstreamcli checks its metadata.
PACKAGE_PACKAGES="dpkg-dev"
PACKAGE_TEST_PACKAGES="$PACKAGE_PACKAGES lintian appstream"
# The Wayland test runs the main window on a headless Weston.
WAYLAND_PACKAGES="weston qt6-wayland"
# The font tests read real fonts from Debian's packages and check them
# against those fonts' own tools:
#   xfonts-base, pcf2bdf     the X11 misc fonts, turned into BDF
#   xfonts-75dpi             proportional X11 fonts (Helvetica, Times,
#                            Lucida) for the display-library exports
#   xfonts-unifont           GNU Unifont as PCF
#   unifont                  GNU Unifont's own .hex and .bmp (the picture test)
#   console-setup-linux,
#   psf-unifont              console fonts (PSF)
#   kbd                      psfxtable, which lists their Unicode tables
#   xfonts-utils, bdf2psf    bdftopcf and bdf2psf, which must take our BDF
#   otf2bdf                  DejaVu rendered by FreeType, to compare with ours
#   xxd                      a console font written as a C array
FONT_TEST_PACKAGES="xfonts-base xfonts-75dpi pcf2bdf xfonts-unifont unifont console-setup-linux psf-unifont kbd xfonts-utils bdf2psf otf2bdf xxd"
TEST_PACKAGES="$CHECK_PACKAGES $WINDOW_PACKAGES $PACKAGE_TEST_PACKAGES $WAYLAND_PACKAGES $FONT_TEST_PACKAGES"

# The benchmarks show their windows on Xvfb; the whole-font benchmark reads
# GNU Unifont through pcf2bdf and times Debian's font editors and converters
# on it; xwininfo sees gbdfed's window.
BENCH_PACKAGES="xvfb xfonts-unifont pcf2bdf gbdfed fontforge-nox bdf2psf xfonts-utils x11-utils"

usage() {
    echo "usage: $0 run|test|bench|package" >&2
    exit 2
}

[ $# -eq 1 ] || usage
case "$1" in
    run) ;;
    bench) PACKAGES="$PACKAGES $BENCH_PACKAGES" ;;
    test) PACKAGES="$PACKAGES $TEST_PACKAGES" ;;
    package) PACKAGES="$PACKAGES $PACKAGE_PACKAGES" ;;
    *) usage ;;
esac

# The program needs a graphical session; say so before installing or
# building anything.
if [ "$1" = run ] && [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "KELVOR 2 is a desktop program and needs a graphical session, but neither DISPLAY nor" >&2
    echo "WAYLAND_DISPLAY is set. Run it from a desktop, or without a display on Qt's offscreen" >&2
    echo "platform, which shows nothing:" >&2
    echo "    QT_QPA_PLATFORM=offscreen $0 run" >&2
    exit 1
fi

missing_packages() {
    for package in $PACKAGES; do
        if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s ' "$package"
        fi
    done
}

# How this user can run a command as root: sudo where it is installed and
# lets this user in, otherwise su, which asks for root's password (a fresh
# Debian has no sudo, and its first user is not in the sudo group).
as_root() {
    if command -v sudo >/dev/null 2>&1 && { sudo -n true 2>/dev/null || id -nG | grep -qwE 'sudo|wheel|admin'; }; then
        printf "sudo sh -c '%s'" "$1"
    else
        printf "su -c '%s'" "$1"
    fi
}

install_packages() {
    command -v dpkg-query >/dev/null 2>&1 || return 0 # not Debian: the build says what is missing
    missing=$(missing_packages)
    missing=${missing% } # the list ends in a blank
    [ -n "$missing" ] || return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "KELVOR 2 needs these Debian packages: $missing" >&2
        echo "Install them as root, then run this again:" >&2
        echo "    $(as_root "apt-get update && apt-get install -y --no-install-recommends $missing")" >&2
        exit 1
    fi
    echo "Installing $missing" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086 # the list is meant to split into words
    apt-get install -y -qq --no-install-recommends $missing
}

job_count() {
    getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2
}

# configure PRESET DIR: configures DIR from the preset unless it is configured.
configure() {
    [ -f "$2/CMakeCache.txt" ] || cmake --preset "$1" -B "$2"
}

# Builds the given targets of the release build, or everything.
build() {
    configure release "$BUILD_DIR"
    if [ $# -gt 0 ]; then
        cmake --build "$BUILD_DIR" --parallel "$(job_count)" --target "$@"
    else
        cmake --build "$BUILD_DIR" --parallel "$(job_count)"
    fi
}

install_packages
if [ "$1" = run ] || [ "$1" = package ]; then
    build KELVOR21 # the program alone: the tests and benchmarks can wait
else
    build
fi

case "$1" in
    run)
        exec "$BUILD_DIR/bin/KELVOR21"
        ;;
    test)
        QT_QPA_PLATFORM=offscreen ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(job_count)"

        echo "== The same tests with AddressSanitizer and UndefinedBehaviorSanitizer ($SANITIZE_DIR)"
        configure asan "$SANITIZE_DIR"
        cmake --build "$SANITIZE_DIR" --parallel "$(job_count)"
        ctest --test-dir "$SANITIZE_DIR" --output-on-failure --parallel "$(job_count)"

        echo "== Fuzzing ($FUZZ_DIR)"
        KELVOR_FUZZ_BUILD_DIR="$FUZZ_DIR" fuzz/run.sh "${KELVOR_FUZZ_SECONDS:-30}"
        ;;
    bench)
        exec bench/run.sh "$BUILD_DIR"
        ;;
    package)
        exec cpack --config "$BUILD_DIR/CPackConfig.cmake"
        ;;
esac
