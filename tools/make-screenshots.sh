#!/usr/bin/env bash
# Makes the README's pictures: the editor with a program painted and the pointer on a cell, whose
# code the status line names, and a run in progress, its step and X in the status line.
# Runs the real program in a private Xvfb and drives it with xdotool.
#
#   tools/make-screenshots.sh [BUILD-DIR] [PROGRAM]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
program=${2:-examples/carry-counter.mq}
out=docs

exec 3< <(exec Xvfb -displayfd 1 -noreset -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xvfb_pid=$!
read -r number <&3
export DISPLAY=:$number QT_QPA_PLATFORM=xcb
editor_pid=
trap 'kill $editor_pid $xvfb_pid 2>/dev/null || true' EXIT

"$build/startup/mosaiq" "$program" >/dev/null 2>&1 &
editor_pid=$!

wait_for() { # wait_for SECONDS COMMAND...: until COMMAND succeeds
    local until=$((SECONDS + $1)); shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $until ] || { echo "timed out waiting for: $*" >&2; exit 1; }
        sleep 0.1
    done
}
wait_for 15 xdotool search --onlyvisible --name '^Mosaiq \[Design\]'
window=$(xdotool search --onlyvisible --name '^Mosaiq \[Design\]' | head -1)
sleep 1.5
xdotool key Escape # the first-time menu
sleep 0.3
# The pointer on the fourth bar, a painted one.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 126)) $((Y + 15))
sleep 0.3
import -window "$window" "$out/editor.png"

# Run through the menu: Load, Save and Run are the first three enabled items.
xdotool mousemove $((X + 400)) $((Y + 300)) click 3
sleep 0.5
xdotool key Down Down Down Return
wait_for 5 bash -c "xdotool getwindowname $window | grep -q Running"
sleep 4
import -window "$window" "$out/running.png"
echo "wrote $out/editor.png and $out/running.png"
