#!/usr/bin/env bash
# End to end: the real program in a real X server, driven with xdotool as a person would, read back
# through window titles and screenshots. A program named on the command line, shown in its colours
# after the splash; a stroke that runs for ever; a close request cancelled during the run; Stop and
# Run through the menu; closing for good, with status 0.
#
# Usage: test_e2e.sh MOSAIQ   (exit status 77: skipped, a tool is missing)
set -uo pipefail
editor=$1
for tool in Xvfb xdotool import; do command -v $tool >/dev/null || { echo "needs $tool"; exit 77; }; done
/usr/bin/python3 -c 'import Xlib' 2>/dev/null || { echo "needs python3-xlib"; exit 77; }
tmp=$(mktemp -d)
exec 3< <(exec Xvfb -displayfd 1 -noreset -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
xvfb=$!
pid=
trap 'kill $pid $xvfb 2>/dev/null; rm -rf "$tmp"' EXIT
read -r -t 10 number <&3 || { echo "FAIL: the X server did not start"; exit 1; }
export DISPLAY=:$number QT_QPA_PLATFORM=xcb

fail() { echo "FAIL: $*"; exit 1; }
# within SECONDS WHAT COMMAND...: waits until COMMAND succeeds
within() {
    local end=$((SECONDS + $1)) what=$2
    shift 2
    until "$@" >/dev/null 2>&1; do ((SECONDS < end)) || fail "waited for $what"; sleep 0.1; done
}
shown() { xdotool search --onlyvisible --pid "$pid" | wc -l; }
at_least() { [ "$(shown)" -ge "$1" ]; }
named() { xdotool search --onlyvisible --name "$1" | head -1; }
title_has() { xdotool getwindowname "$window" | grep -qF -- "$1"; }
place() { eval "$(xdotool getwindowgeometry --shell "$1")"; } # sets X, Y, WIDTH and HEIGHT
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'; }
# The centre of bar C (1 to 1024) on screen: steps of 299 and 236 twips, 15 to a pixel at 96 dpi.
bar() { echo $((ox + 65 + (299 * (($1 - 1) % 32) + 7) / 15)) $((oy + 15 + (236 * (($1 - 1) / 32) + 7) / 15)); }
click() { xdotool mousemove "$1" "$2" sleep 0.05 click "${3:-1}"; }
# Asks the window to close as a window manager's close button does: a WM_DELETE_WINDOW message.
close_window() {
    /usr/bin/python3 - "$1" <<'EOF'
import sys
from Xlib import X, display, protocol
d = display.Display()
w = d.create_resource_object('window', int(sys.argv[1], 0))
message = [d.intern_atom('WM_DELETE_WINDOW'), X.CurrentTime, 0, 0, 0]
w.send_event(protocol.event.ClientMessage(window=w, client_type=d.intern_atom('WM_PROTOCOLS'), data=(32, message)))
d.sync()
EOF
}
close_and_answer() {
    close_window "$window"
    within 3 "the Shutdown? question" named '^Mosaiq$'
    xdotool windowfocus "$(named '^Mosaiq$')" sleep 0.05 key "$1"
}

codes=(1 7 0 2 3 4 5 6 128 255 1) # Next Pixel and Run loop for ever; the rest is only shown
program=$tmp/Colours.mq
for i in $(seq 0 1023); do printf '%02X\r\n' "${codes[i]:-0}"; done >"$program"
"$editor" "$program" >/dev/null 2>&1 &
pid=$!
within 10 "the splash" at_least 1
place "$(xdotool search --onlyvisible --pid "$pid")"
[ "$WIDTH $HEIGHT" = "390 281" ] || fail "the splash is ${WIDTH}x$HEIGHT, not 5850 by 4215 twips"
(((X + WIDTH / 2 - 512) ** 2 + (Y + HEIGHT / 2 - 384) ** 2 <= 8)) || fail "the splash is not centred"
within 10 "the editor" named '^Mosaiq \[Design\]'
window=$(named '^Mosaiq \[Design\]')
within 5 "the first-time menu" at_least 2
# On a busy machine the first Escape may come before the menu holds the keyboard: press it again
# while the menu is still up.
menu_gone() { [ "$(shown)" -eq 1 ] || { xdotool key Escape; false; }; }
within 5 "Escape to close the first-time menu" menu_gone
place "$window" && ox=$X oy=$Y
bar=1 # bar 1 carries the X; 128 shows grey, 255 black
for want in C0C0C0 FFFFFF 0000FF 00FF00 FFFF00 00FFFF FF00FF 808080 000000 FF0000; do
    bar=$((bar + 1))
    [ "$(pixel $(bar $bar))" = "#$want" ] || fail "bar $bar is not #$want"
done
click $((ox + 28)) $((oy + 20 + 32 * 3)) # the palette's Plus Color, green
click $(bar 40)                          # paints, and runs up to bar 40
green_and_running() { [ "$(pixel $(bar 40))" = "#00FF00" ] && title_has "[Running]"; }
within 3 "bar 40 green, and a run" green_and_running
close_and_answer Escape # Cancel
within 3 "Cancel to close Shutdown?" [ -z "$(named '^Mosaiq$')" ]
kill -0 "$pid" && title_has "[Running]" || fail "Cancel ended the run or the program"
for mode in "[Design]" "[Running]"; do # Load, Save and Stop (or Run) are the first three items
    click $(bar 500) 3
    within 3 "the menu" at_least 2
    xdotool key Down Down Down Return
    within 3 "$mode" title_has "$mode"
done
close_and_answer Return # OK, during the run
within 3 "the program to end" eval '! kill -0 $pid'
wait "$pid" || fail "the program ended with status $?"
echo "the session went as expected"
