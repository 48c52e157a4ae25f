#!/usr/bin/env bash
# Installs what is missing, builds, and starts QuorvelView3D.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

qv_install_deps
qv_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting under a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1920x1080x24" ./build/QuorvelView3D "$@"
fi
exec ./build/QuorvelView3D "$@"
