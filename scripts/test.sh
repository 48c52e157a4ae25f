#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: inside a network namespace of its own
# (loopback only, multicast routed to lo, so the heartbeat group is real and nothing leaves the
# machine), under one Xvfb, with a private TMPDIR.
#   SANITIZE=1  builds with ASan+UBSan in build-asan/ and runs the same suite.
#   TSAN=1      builds with ThreadSanitizer in build-tsan/ and runs the tests labelled "tsan"
#               (the detector's threads). Qt's queued signals pass through a Qt that is not
#               instrumented, so the rest of the suite shows races that are not there; TSAN_ALL=1
#               runs it all the same (the window tests are left out of that build).
#   CTEST_ARGS  extra ctest arguments (e.g. "-R Frames").
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--inside" ]; then
    source scripts/deps.sh
    qv_install_deps
    if [ "${SANITIZE:-0}" = "1" ]; then
        qv_build build-asan -DQV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DQV_BUILD_BENCH=OFF
    elif [ "${TSAN:-0}" = "1" ]; then
        qv_build build-tsan -DQV_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BUILD_BENCH=OFF
    else
        qv_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare -n bash "$0" --inside
    else
        exec unshare -rn bash "$0" --inside
    fi
fi

# From here on: inside the namespace.
ip link set lo up
ip route add 224.0.0.0/4 dev lo

BUILD=build
if [ "${SANITIZE:-0}" = "1" ]; then
    BUILD=build-asan
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
elif [ "${TSAN:-0}" = "1" ]; then
    BUILD=build-tsan
    export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp:second_deadlock_stack=1"
    if [ "${TSAN_ALL:-0}" != "1" ]; then
        CTEST_ARGS="-L tsan ${CTEST_ARGS:-}"
    fi
fi

export QT_QPA_PLATFORM=xcb
export LIBGL_ALWAYS_SOFTWARE=1
# Mesa's llvmpipe can deadlock joining its worker threads when a GL program exits (seen with
# the program's own start-and-close test); rendering on the calling thread avoids it.
export LP_NUM_THREADS=0
export LANG=en_US.UTF-8
unset LC_ALL LANGUAGE
TMPDIR="$(mktemp -d "${TMPDIR:-/tmp}/qv-tests.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

# -noreset: Xvfb resets itself whenever its last client leaves, and a test starting during that
# reset cannot connect; between two parallel tests that moment comes now and then.
xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" \
    ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j "$(nproc)" ${CTEST_ARGS:-}
