#!/usr/bin/env bash
# Soaks the window against fake devices on loopback, in a network namespace of its own under
# Xvfb: Vimo-E sessions switched to Fenk-U beside busy threads, then a Fenk-U flooding frames
# without a data-type mask, on a quiet machine and beside busy threads. Bounded in time:
# about 2 x <seconds> + 3 s a switch. Prints the figures and whether each goal was met.
#   bash scripts/soak_session.sh [seconds of each flood] [switches]    (defaults 30 and 10)
set -euo pipefail
exec bash "$(dirname "$0")/isolated.sh" soak_session "$@"
