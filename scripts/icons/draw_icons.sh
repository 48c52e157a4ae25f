#!/usr/bin/env bash
# Redraws the program's icons into resource/ from draw_icons.cpp. The PNGs are committed; run
# this only after changing a drawing.
set -euo pipefail
cd "$(dirname "$0")/../.."
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++17 -fPIC -O1 scripts/icons/draw_icons.cpp -o "$tmp/draw_icons" \
    $(pkg-config --cflags --libs Qt5Gui)
QT_QPA_PLATFORM=offscreen "$tmp/draw_icons" resource
