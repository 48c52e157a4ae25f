#!/usr/bin/env bash
# Floods a live session of each kind from the device's own address, against the real window with a
# recording on, in a network namespace of its own under Xvfb (see bench/soak_flood.cpp). Bounded
# in time: about <seconds> + 15 s a kind, and a window that stops answering is given up two
# minutes after its flood. Prints the figures and whether each goal was met.
#   bash scripts/soak_flood.sh [seconds of each flood] [kinds]   (defaults 30 and all five:
#                                                               raxo-s,raxo-e,vimo-e,fenk-u,box)
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
TMPDIR="$(mktemp -d "${TMPDIR:-/tmp}/qv-flood.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT
xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" build/soak_flood "$@"
