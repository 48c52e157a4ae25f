#!/usr/bin/env bash
# Runs a window program of build/ (a soak, a window benchmark) the way the tests run: in a network
# namespace of its own (loopback only, multicast routed to lo, so the heartbeat group is real and
# nothing leaves the machine), under Xvfb, with a private TMPDIR. Builds what is missing first.
#   bash scripts/isolated.sh <program> [arguments...]      e.g. bash scripts/isolated.sh bench_view3d
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--inside" ]; then
    source scripts/deps.sh
    qv_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare -n bash "$0" --inside "$@"
    else
        exec unshare -rn bash "$0" --inside "$@"
    fi
fi
shift
program="$1"
shift

ip link set lo up
ip route add 224.0.0.0/4 dev lo
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 LP_NUM_THREADS=0 LANG=en_US.UTF-8
unset LC_ALL LANGUAGE
TMPDIR="$(mktemp -d "${TMPDIR:-/tmp}/qv-$program.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "build/$program" "$@"
