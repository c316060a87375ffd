#!/usr/bin/env bash
# Draws the application icon (a play triangle beside an eighth note on a blue tile) with ImageMagick
# and writes res/app.ico with 16, 32 and 48 pixel images. The .ico is committed; run this only to
# change the picture. Each size is drawn large and scaled down on its own, and the 16 pixel one
# leaves the note out so that the triangle stays readable.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

tile() {  # out, with-note (1/0)
  local note=()
  if [ "$2" = 1 ]; then
    # Eighth note at the left: head, stem and flag.
    note=(-fill '#ffd24a' -stroke none
          -draw 'ellipse 70,176 26,19 0,360'
          -draw 'rectangle 86,70 100,176'
          -draw 'path "M 100,70 C 130,86 150,104 136,140 C 134,116 120,104 100,102 Z"')
  fi
  local tri='polygon 118,72 118,184 206,128'
  [ "$2" = 1 ] || tri='polygon 86,62 86,194 200,128'
  convert -size 256x256 xc:none \
    \( -size 232x232 gradient:'#3d8fe0-#163f80' \) -geometry +12+12 -compose over -composite \
    \( -size 256x256 xc:none -fill white -draw 'roundrectangle 12,12 243,243 44,44' \) \
    -compose dst-in -composite -compose over \
    -fill none -stroke '#0e2a57' -strokewidth 6 -draw 'roundrectangle 14,14 241,241 42,42' \
    -stroke none -fill white -draw "$tri" \
    "${note[@]}" \
    "$1"
}

tile "$tmp/full.png" 1
tile "$tmp/plain.png" 0
convert "$tmp/full.png" -filter Lanczos -resize 48x48 "$tmp/48.png"
convert "$tmp/full.png" -filter Lanczos -resize 32x32 "$tmp/32.png"
convert "$tmp/plain.png" -filter Lanczos -resize 16x16 "$tmp/16.png"
convert "$tmp/16.png" "$tmp/32.png" "$tmp/48.png" app.ico
