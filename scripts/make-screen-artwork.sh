#!/usr/bin/env bash
# Draws the pictures of PVemoraScreen.exe with ImageMagick and a CJK outline font:
#
#   OUTDIR/screen_card.bmp   card background, 283 x 206, 24-bit BMP
#   OUTDIR/screen.ico        tray and about-box icon, 16 x 16 and 32 x 32
#
# usage: scripts/make-screen-artwork.sh OUTDIR
# TOVI_ART_FONT names the font file to use; CONVERT the convert program. Needs the Debian
# packages imagemagick and fonts-wqy-zenhei. The output is deterministic.
set -euo pipefail
export LC_ALL=C.UTF-8

out=${1:?usage: make-screen-artwork.sh OUTDIR}
if [ -n "${CONVERT:-}" ]; then
  convert=$CONVERT
else
  convert=$(command -v convert || true)
fi
if [ -z "$convert" ]; then
  echo "make-screen-artwork: ImageMagick's convert not found (apt-get install imagemagick)" >&2
  exit 1
fi
font=${TOVI_ART_FONT:-/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc}
if [ ! -f "$font" ]; then
  echo "make-screen-artwork: no font $font (apt-get install fonts-wqy-zenhei)" >&2
  exit 1
fi
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The card: the program's light blue, a title band with the dictionary's name, and thin rules
# that frame the three labels (character at y 45, code at y 70, description from y 96 to 180).
"$convert" -size 283x206 'xc:rgb(240,251,255)' \
  -fill 'rgb(58,110,165)' -draw 'rectangle 0,0 282,31' \
  -fill 'rgb(94,146,201)' -draw 'rectangle 0,29 282,31' \
  -fill white -font "$font" -pointsize 16 -annotate +12+22 '朔昕字典' \
  -fill 'rgb(190,222,240)' -pointsize 11 -annotate +210+21 'tovi' \
  -stroke 'rgb(168,204,228)' -fill none \
  -draw 'line 12,65 270,65' -draw 'line 12,90 270,90' \
  -draw 'roundrectangle 8,38 274,198 6,6' \
  -stroke none -fill 'rgb(120,160,190)' -pointsize 10 \
  -annotate +208+196 '澜泽墨石' \
  -alpha off -type TrueColor -define bmp:format=bmp3 "BMP3:$out/screen_card.bmp"

# The icon: a dictionary page with 字 on the same blue.
icon() {
  local size=$1 point=$2 offset=$3
  "$convert" -size "${size}x${size}" xc:none \
    -fill 'rgb(58,110,165)' -draw "roundrectangle 0,0 $((size - 1)),$((size - 1)) 3,3" \
    -fill white -font "$font" -pointsize "$point" -gravity center -annotate "+0+$offset" '字' \
    "PNG32:$work/icon-$size.png"
}
icon 16 13 0
icon 32 26 0
"$convert" "$work/icon-16.png" "$work/icon-32.png" "$out/screen.ico"
