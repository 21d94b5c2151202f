#!/bin/sh
# Runs a Wayland client test on a headless Weston of its own: a private
# runtime folder and socket, so no desktop session is touched, then checks
# that the client named its window after the desktop entry and that Weston
# outlived it.
#
#   tests/wayland.sh <test program> <Qt's Wayland platform plugin> <app id>
#
# Exits 77, which CTest reports as skipped, when Weston or the plugin is
# missing (Debian packages weston and qt6-wayland).
set -u

program=$1
plugin=$2
app_id=$3

if ! command -v weston >/dev/null 2>&1; then
    echo "SKIPPED: weston is not installed (Debian package weston)"
    exit 77
fi
if [ ! -f "$plugin" ]; then
    echo "SKIPPED: Qt's Wayland platform plugin $plugin is missing (Debian package qt6-wayland)"
    exit 77
fi

runtime=$(mktemp -d) || exit 1
chmod 700 "$runtime"
socket=kelvor-test
weston_pid=
stop() {
    if [ -n "$weston_pid" ]; then
        kill "$weston_pid" 2>/dev/null
        wait "$weston_pid" 2>/dev/null
    fi
    rm -rf "$runtime"
}
trap stop EXIT
trap 'exit 1' INT TERM

fail() {
    echo "FAILED: $*"
    echo "--- weston's log"
    cat "$runtime/weston.log"
    exit 1
}

# Weston 10 names its backend by file; the headless one draws into memory.
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=$socket --idle-time=0 \
    --no-config --log="$runtime/weston.log" &
weston_pid=$!
tries=0
until [ -S "$runtime/$socket" ]; do
    kill -0 "$weston_pid" 2>/dev/null || { weston_pid=; fail "weston ended before it opened its socket"; }
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || fail "weston opened no socket within 10 s"
    sleep 0.1
done

# WAYLAND_DEBUG logs every request the client sends; its own output stays apart.
run_client() {
    env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=1 \
        "$program" 2>"$runtime/protocol.log"
}
run_client
result=$?
# Qt 6.4's Wayland plugin can free one proxy from two threads (fixed in
# Qt 6.5); libwayland then aborts the client with this assertion, rarely and
# only on a loaded machine. That one crash of Qt's is retried once.
if [ "$result" -ne 0 ] && grep -q "wl_proxy_unref: Assertion" "$runtime/protocol.log"; then
    echo "The client hit Qt 6.4's Wayland proxy race (wl_proxy_unref); running it once more"
    run_client
    result=$?
fi
grep -v '^\[' "$runtime/protocol.log" # Qt's own messages, if any
[ "$result" -eq 0 ] || fail "$program failed ($result)"

# Compositors match the window to the menu entry, and so its icon, by app id.
grep -q "set_app_id(\"$app_id\")" "$runtime/protocol.log" ||
    fail "the window's app id is not $app_id: $(grep -o 'set_app_id([^)]*)' "$runtime/protocol.log")"
kill -0 "$weston_pid" 2>/dev/null || fail "weston did not outlive the client"
echo "Ran on Weston $(weston --version | cut -d' ' -f2) with app id $app_id"
