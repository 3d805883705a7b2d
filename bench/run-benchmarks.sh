#!/usr/bin/env bash
# Runs every benchmark of a Release build tree and prints their "name: value" lines.
# The visible benchmark needs an X server; a private Xvfb is started for it.
set -euo pipefail
tree=${1:-build-release}

"$tree/bench/bench_headless"

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
DISPLAY=$display QT_QPA_PLATFORM=xcb "$tree/bench/bench_visible"
