#!/usr/bin/env bash
# Floods a live session of each kind from the device's own address, against the real window with a
# recording on, in a network namespace of its own under Xvfb (see bench/soak_flood.cpp). Bounded
# in time: about <seconds> + 15 s a kind, and a window that stops answering is given up two
# minutes after its flood. Prints the figures and whether each goal was met.
#   bash scripts/soak_flood.sh [seconds of each flood] [kinds]   (defaults 30 and all five:
#                                                               raxo-s,raxo-e,vimo-e,fenk-u,box)
set -euo pipefail
exec bash "$(dirname "$0")/isolated.sh" soak_flood "$@"
