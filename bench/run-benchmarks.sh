#!/usr/bin/env bash
# Runs every benchmark of a Release build tree and prints their "name: value" lines.
# The visible benchmark needs an X server; a private Xvfb is started for it.
set -euo pipefail
tree=${1:-build-release}

"$tree/bench/bench_headless"

# -displayfd: the server picks a free display and names it, so the benchmark never lands on
# another X server. -noreset keeps it up between clients.
exec 3< <(exec Xvfb -displayfd 1 -noreset -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
read -r -t 10 number <&3 || { echo "Xvfb did not start" >&2; exit 1; }
display=:$number
DISPLAY=$display QT_QPA_PLATFORM=xcb "$tree/bench/bench_visible"

# The browser edition's figures, when its build is there (make build-web).
web=$(dirname "$0")/../build-web/web
if [ -f "$web/mosaiq.wasm" ]; then
    node "$(dirname "$0")/web-bench.mjs" "$web"
else
    echo "no browser edition in $web: make build-web for its figures" >&2
fi
