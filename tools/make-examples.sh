#!/usr/bin/env bash
# Writes the example programs in examples/ from the code lists below: the listed codes fill the
# first cells, every other cell is white (0). The .mq files are committed; run this again only
# when a program changes, and update examples/expected.txt and examples/README.md with it.
#
# Codes: 0 white, 1 Next Pixel (X), 2 Previous Pixel (X), 3 Plus Color, 4 Minus Color,
# 5 Repeat Until Pixel (X) Turns White, 6 End Repeat, 7 Run.
set -euo pipefail

dir=$(cd "$(dirname "$0")/../examples" && pwd)

# write NAME CODE... : a program file of 1024 lines, two upper-case hex digits and CR LF each.
write() {
    local name=$1
    shift
    local codes=("$@")
    local i
    (( ${#codes[@]} <= 1024 )) || { echo "$name: too many cells" >&2; exit 1; }
    {
        for ((i = 0; i < 1024; i++)); do
            printf '%02X\r\n' "${codes[i]:-0}"
        done
    } >"$dir/$name"
}

# X steps back from cell 1 round to cell 1024 and lowers it from white to black.
write first-step.mq 2 4
# Two strokes: cell 1024 black, then cell 1023 lowered twice; a click on bar 2 runs only the first.
write two-strokes.mq 2 4 2 4 4
# X on the white cell 1024: the Repeat skips its body, only the last Minus Color runs.
write skip-loop.mq 2 5 4 4 6 4
# [>] then -: X walks over the program's own cells to the first white one and blackens it.
write find-white.mq 5 1 6 4
# 5 into cell 1024, then [- < +++ >]: cell 1023 gets 5 x 3.
write multiply.mq 2 3 3 3 3 3 5 4 2 3 3 3 1 6
# 8 into cell 1024, then [- [<+>-] - <]: each round moves the count one cell to the left, less
# one, and leaves a black cell behind.
write black-bar.mq 2 3 3 3 3 3 3 3 3 5 4 5 2 3 1 4 6 4 2 6
# Every pass adds 1 to cell 1024, and Run starts the next pass.
write counter.mq 2 3 7
# Low digit in cell 1024, a flag in 1023, high digit in 1021; cell 1022 stays white.
# < + : X to 1024, low + 1.  < + > : flag = 1.  [<-] : clears the flag, only when low is not 0.
# < [- <<+>> ] : when the flag is still 1 (low wrapped to 0), clear it and carry 1 into 1021.
# Run: the next pass.
write carry-counter.mq 2 3 2 3 1 5 2 4 6 2 5 4 2 2 3 1 1 6 7
# Cell 1 is its own target: Plus Color turns it into Minus Color, which turns it back.
write blinker.mq 3 7
# Cell 1 raises itself four times, from Plus Color to Run; the second pass starts with that Run.
write rewrite-to-stop.mq 3 3 3 3 7

echo "wrote $dir"
