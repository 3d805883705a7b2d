#!/usr/bin/env bash
# Draws the application icon: nine bars on the black frame the editor shows in design mode, in the
# colours of the eight instructions and one data grey. Writes the scalable SVG and the PNG sizes of
# the hicolor theme from the one layout below, so the two never disagree. The results are committed;
# run this again (needs ImageMagick) only when the drawing changes.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/desktop/icons/hicolor
sizes=(16 32 48 64 128 256)

# The drawing is 256 units square: a frame with rounded corners, and a 3 x 3 grid of 64-unit bars
# with 16-unit gaps, so that every edge falls on a whole pixel at every size in $sizes.
# Row by row, the codes 1 3 2 / 4 0 5 / 6 7 128, in the editor's colours for those codes.
frame='#000000'
bars=('#ff0000' '#00ff00' '#0000ff'
      '#ffff00' '#ffffff' '#00ffff'
      '#ff00ff' '#c0c0c0' '#808080')

mkdir -p "$out/scalable/apps"
{
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">'
    echo '  <title>Mosaiq</title>'
    echo "  <rect x=\"0\" y=\"0\" width=\"256\" height=\"256\" rx=\"24\" ry=\"24\" fill=\"$frame\"/>"
    for i in "${!bars[@]}"; do
        x=$((16 + 80 * (i % 3)))
        y=$((16 + 80 * (i / 3)))
        echo "  <rect x=\"$x\" y=\"$y\" width=\"64\" height=\"64\" fill=\"${bars[$i]}\"/>"
    done
    echo '</svg>'
} >"$out/scalable/apps/mosaiq.svg"

# The PNGs: the same layout drawn without anti-aliasing at 768 pixels (3 per unit, a whole
# multiple of every size), then averaged down, so edges stay sharp and only the corners blend.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
draw=(-fill "$frame" -draw 'roundrectangle 0,0 767,767 72,72')
for i in "${!bars[@]}"; do
    x=$((3 * (16 + 80 * (i % 3))))
    y=$((3 * (16 + 80 * (i / 3))))
    draw+=(-fill "${bars[$i]}" -draw "rectangle $x,$y $((x + 191)),$((y + 191))")
done
convert -size 768x768 xc:none +antialias "${draw[@]}" "png32:$tmp/big.png"
for n in "${sizes[@]}"; do
    mkdir -p "$out/${n}x${n}/apps"
    convert "$tmp/big.png" -scale "${n}x${n}" -strip -depth 8 "png32:$out/${n}x${n}/apps/mosaiq.png"
done
echo "wrote $out"
