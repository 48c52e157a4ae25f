#!/usr/bin/env bash
# Soaks the window against fake devices on loopback, in a network namespace of its own under
# Xvfb: Vimo-E sessions switched to Fenk-U beside busy threads, then a Fenk-U flooding frames
# without a data-type mask, on a quiet machine and beside busy threads. Bounded in time:
# about 2 x <seconds> + 3 s a switch. Prints the figures and whether each goal was met.
#   bash scripts/soak_session.sh [seconds of each flood] [switches]    (defaults 30 and 10)
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

ip link set lo up
ip route add 224.0.0.0/4 dev lo
export QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 LP_NUM_THREADS=0 LANG=en_US.UTF-8
unset LC_ALL LANGUAGE
TMPDIR="$(mktemp -d "${TMPDIR:-/tmp}/qv-soak.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" build/soak_session "$@"
