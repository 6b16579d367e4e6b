#!/usr/bin/env bash
# Draws every picture of tovi.ime with ImageMagick and a CJK outline font, as Windows BMP files:
#
#   OUTDIR/tovi.bmp               status bar, 120 x 40 (also the module's built-in bitmap)
#   OUTDIR/tovi_cand.bmp          candidate window background (the default skin's)
#   OUTDIR/skin/default.bmp       status bar of skin 0; skin-01.bmp ... skin-04.bmp of skins 1-4
#   OUTDIR/skin/cand-0.bmp ...    candidate window background of skins 0-4, 470 x 210
#   OUTDIR/chart-one-char.bmp     keypad prompt chart for one-character input, 160 x 85, 16 colours
#   OUTDIR/chart-keyboard.bmp     keypad prompt chart for longer input, 500 x 188, 16 colours
#
# usage: scripts/make-artwork.sh OUTDIR [KEYPAD_KEYS_FILE]
# The key file (default data/keypad_keys.txt) gives the root mnemonic of every key of the
# keyboard chart. TOVI_ART_FONT names the font file to use; CONVERT the convert program.
# Needs the Debian packages imagemagick and fonts-wqy-zenhei. The output is deterministic.
set -euo pipefail
# Character counts and slicing of the Chinese texts below need a UTF-8 locale.
export LC_ALL=C.UTF-8

here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: make-artwork.sh OUTDIR [KEYPAD_KEYS_FILE]}
keys_file=${2:-$here/../data/keypad_keys.txt}

if [ -n "${CONVERT:-}" ]; then
  convert=$CONVERT
elif [ -x /usr/bin/convert ]; then
  convert=/usr/bin/convert
else
  convert=$(command -v convert || true)
fi
if [ -z "$convert" ]; then
  echo "make-artwork: ImageMagick's convert not found (apt-get install imagemagick)" >&2
  exit 1
fi

# WenQuanYi Zen Hei: an outline font with all the characters below, Latin included.
font=${TOVI_ART_FONT:-/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc}
if [ ! -f "$font" ]; then
  echo "make-artwork: no font $font (apt-get install fonts-wqy-zenhei, or set TOVI_ART_FONT)" >&2
  exit 1
fi
[ -f "$keys_file" ] || { echo "make-artwork: $keys_file not found" >&2; exit 1; }

mkdir -p "$out/skin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 24-bit BMP with the plain Windows 3 header, no alpha, no palette: what LoadImageW and
# LoadBitmapW read everywhere.
# usage: bmp24 CONVERT-ARGUMENTS... OUTPUT-FILE
bmp24() {
  local file=${!#}
  "$convert" "${@:1:$#-1}" -alpha off -type TrueColor -define bmp:format=bmp3 "BMP3:$file"
}

# ---------------------------------------------------------------------------------------------
# Status bar: six 20 x 20 buttons, row 0 (y 0-19) and row 1 (y 20-39) the two looks of each.
# Row 0: 汉, empty (the module draws the scheme letter over it), full circle, Chinese full stop
# and comma, keyboard, 词. Row 1: 数, empty, crescent moon, ASCII period and comma, grey
# keyboard, 词.
# The backgrounds stay light: the module writes the scheme letter in navy and draws the raised
# and sunken button edges in white and grey over the picture.
#
# keyboard_keys Y: drawing primitives for the keys of the keyboard button, whose body spans x
# 81-98: two rows of two-pixel keys from row Y and a space bar four rows below.
keyboard_keys() {
  local y=$1 x keys=""
  for x in 84 87 90 93; do keys+="rectangle $x,$y $((x + 1)),$y "; done
  keys+="rectangle 96,$y 96,$y "
  for x in 85 88 91 94; do keys+="rectangle $x,$((y + 2)) $((x + 1)),$((y + 2)) "; done
  echo "${keys}rectangle 86,$((y + 4)) 93,$((y + 4))"
}

# status_bar FILE TOP BOTTOM FRAME CHINESE ENGLISH MARK WORD
#   TOP, BOTTOM  background gradient of each row
#   FRAME        one-pixel outline of the bar, drawn in both rows
#   CHINESE      the 汉 of Chinese mode; ENGLISH the 数 of English mode
#   MARK         circle, moon, punctuation and keyboard; WORD the 词 of the word maker
status_bar() {
  local file=$1 top=$2 bottom=$3 frame=$4 chinese=$5 english=$6 mark=$7 word=$8
  local row=('(' -size 120x20 "gradient:$top-$bottom" ')')
  # Glyphs of 14 pixels: ink from 11 above to 2 below the baseline, so baseline 15 centres them.
  # The moon is a disc with a second, shifted disc cut out of it. The commas are a dot with a
  # curved tail.
  bmp24 "${row[@]}" "${row[@]}" -append \
    -font "$font" -pointsize 14 -stroke none \
    -fill "$chinese" -annotate +3+15 '汉' \
    -fill "$english" -annotate +3+35 '数' \
    -fill "$word" -annotate +103+15 '词' -annotate +103+35 '词' \
    -fill "$mark" -draw "circle 50,10 50,4.5" \
    \( -size 20x20 xc:none -fill "$mark" -draw "circle 9,10 9,3.8" \
       \( -size 20x20 xc:none -fill black -draw "circle 12.5,7.8 12.5,2.6" \) \
       -compose DstOut -composite \) -geometry +40+20 -compose over -composite \
    -fill none -stroke "$mark" -strokewidth 1.3 -draw "circle 65.5,13 65.5,10.6" -stroke none \
    -fill "$mark" -draw "circle 73.5,12 73.5,10.2" \
    -draw "path 'M 74.8,11.5 Q 75.2,15.5 71.8,17.2 L 71.4,16.5 Q 73.4,15 73,13 Z'" \
    -draw "rectangle 64,31 66,33" -draw "rectangle 72,31 74,33" \
    -draw "path 'M 74,33 Q 74.3,35.8 72,37 L 71.6,36.3 Q 72.8,35.3 72.8,33 Z'" \
    -fill white -stroke "$mark" -strokewidth 1 -draw "roundrectangle 81.5,5.5 98.5,14.5 1.5,1.5" \
    -stroke none -fill "$mark" -draw "$(keyboard_keys 8)" \
    -fill '#9a9a9a' -stroke '#9a9a9a' -draw "roundrectangle 81.5,25.5 98.5,34.5 1.5,1.5" \
    -stroke none -fill white -draw "$(keyboard_keys 28)" \
    -fill none -stroke "$frame" -strokewidth 1 \
    -draw "rectangle 0,0 119,19" -draw "rectangle 0,20 119,39" \
    "$file"
}

# ---------------------------------------------------------------------------------------------
# Candidate window background, 470 x 210: wide enough for the horizontal window (470 x 50) and
# tall enough for the vertical one (210 x 210). The module draws its border and text over it in
# the skin's colours (white text on the first two skins, dark text on the others), so skins 0-1
# are dark and 2-4 light. The colour settles over the first 50 rows, which is all the horizontal
# window shows, and changes only slightly below.
#
# candidate_background FILE TOP MIDDLE BOTTOM SHEEN
candidate_background() {
  local file=$1 top=$2 middle=$3 bottom=$4 sheen=$5
  # A soft light patch in the top right corner, behind the paging arrows, blended in through a
  # blurred grey ellipse used as mask.
  bmp24 \( -size 470x50 gradient:"$top-$middle" \) \( -size 470x160 gradient:"$middle-$bottom" \) \
    -append \( -size 470x210 xc:"$sheen" \) \
    \( -size 470x210 xc:black -fill '#606060' -draw "ellipse 470,0 230,80 0,360" -blur 0x30 \) \
    -compose over -composite "$file"
}

# Skin 0 (the default) in greys, skins 1-4 tinted like their candidate windows' borders.
# Arguments: file, background top and bottom, frame, 汉, 数, marks, 词.
status_bar "$out/tovi.bmp" '#fdfdfd' '#dde3ea' '#7a8696' '#c0392b' '#1f5faf' '#333333' '#2e6b3a'
cp "$out/tovi.bmp" "$out/skin/default.bmp"
status_bar "$out/skin/skin-01.bmp" \
  '#f5faff' '#c6e0f5' '#4a8cc4' '#1d4f91' '#7a3e9d' '#1d3557' '#1d4f91'
status_bar "$out/skin/skin-02.bmp" \
  '#fff6fb' '#f7cde5' '#cf4f9c' '#a01c62' '#5e002d' '#5e002d' '#a01c62'
status_bar "$out/skin/skin-03.bmp" \
  '#fcfdec' '#dfe8a6' '#8a9a12' '#4f5e00' '#7a4a00' '#3d4700' '#4f5e00'
status_bar "$out/skin/skin-04.bmp" \
  '#f3fbff' '#bde5f7' '#3aa6d6' '#0b5e8a' '#0000de' '#0b3f5c' '#0b5e8a'

# Skins 0 and 1 dark (slate, brown) under white text, 2-4 light (pink, lime, sky) under dark text.
# Arguments: file, background top, middle (row 50) and bottom, light patch behind the arrows.
candidate_background "$out/skin/cand-0.bmp" '#4a5568' '#2d3544' '#1e232d' '#8b9bb4'
candidate_background "$out/skin/cand-1.bmp" '#5a4636' '#3b2d23' '#2a201a' '#a08a78'
candidate_background "$out/skin/cand-2.bmp" '#fff4fa' '#fbdcee' '#f6c6e1' '#ffffff'
candidate_background "$out/skin/cand-3.bmp" '#fcfdea' '#eef3c6' '#e2eaa8' '#ffffff'
candidate_background "$out/skin/cand-4.bmp" '#f3fbff' '#d8effb' '#c2e5f7' '#ffffff'
cp "$out/skin/cand-0.bmp" "$out/tovi_cand.bmp"

# ---------------------------------------------------------------------------------------------
# Prompt charts of the keypad scheme: 16-colour pictures on white, which the module draws with
# white as the transparent colour. The text is drawn smoothed in full colour and then mapped onto
# a palette of white, black, red, magenta and blue with two lighter tints of each, so the
# smoothed edges survive in 16 colours and pure white stays the only background colour.
palette=$work/palette.png
"$convert" xc:white \
  xc:black xc:'#555555' xc:'#aaaaaa' \
  xc:red xc:'#ff5555' xc:'#ffaaaa' \
  xc:magenta xc:'#ff55ff' xc:'#ffaaff' \
  xc:blue xc:'#5555ff' xc:'#aaaaff' \
  +append "$palette"

# usage: bmp16 CONVERT-ARGUMENTS... OUTPUT-FILE
bmp16() {
  local file=${!#}
  "$convert" "${@:1:$#-1}" -alpha off +dither -remap "$palette" -type Palette \
    -define bmp:format=bmp3 "BMP3:$file"
}

# annotate_row X Y ADVANCE TEXT: ImageMagick arguments that draw TEXT one character every
# ADVANCE pixels from X, on the baseline Y, so that every character sits on an exact grid.
annotate_row() {
  local x=$1 y=$2 advance=$3 text=$4 i
  for ((i = 0; i < ${#text}; i++)); do
    args+=(-annotate "+$((x + i * advance))+$y" "${text:i:1}")
  done
}

# Chart for one-character input, 160 x 85: the red heading, the 25 first-level short codes in
# magenta as five groups of five, two groups to a line, and the red line of the word-forming rule.
# Five lines of 14-pixel characters 17 pixels apart; a 14-pixel character's ink lies from 11
# above to 2 below its baseline.
args=(-size 160x85 xc:white -font "$font" -pointsize 14)
args+=(-fill red -annotate +4+13 '一级简码:')
args+=(-fill magenta)
annotate_row 4 30 14 '一地在要工'
annotate_row 82 30 14 '上是中国同'
annotate_row 4 47 14 '和的有人我'
annotate_row 82 47 14 '主产不为这'
annotate_row 4 64 14 '民了发以经'
args+=(-fill red -annotate +4+81 '组词法:横竖撇捺折')
bmp16 "${args[@]}" "$out/chart-one-char.bmp"

# Chart for longer input, 500 x 188: the letter keys in three rows of ten cells, 50 pixels wide
# and 62 high, in a magenta grid. A letter cell lists the roots of its key in blue (the key's
# mnemonic from the key file, 12-pixel characters, four to a row, each phrase on a row of its
# own where four rows suffice; a 12-pixel character's ink lies from 10 above to 1 below its
# baseline) and ends with the label of its zone-position code and letter at the bottom right.
# Z has only its letter; the last cells show the two characters of their punctuation keys.
declare -A code_of roots_of
while read -r code letter roots; do
  case "$code" in [1-5][1-5]) ;; *) continue ;; esac
  letter=${letter^^}
  code_of[$letter]=$code
  roots_of[$letter]=$roots
done <"$keys_file"

# root_lines ROOTS: the rows of a letter cell, one per output line.
root_lines() {
  local roots=$1 phrase rows=() rest
  IFS='，' read -r -a phrases <<<"$roots"
  for phrase in "${phrases[@]}"; do
    while [ ${#phrase} -gt 4 ]; do
      rows+=("${phrase:0:4}")
      phrase=${phrase:4}
    done
    [ -z "$phrase" ] || rows+=("$phrase")
  done
  if [ ${#rows[@]} -gt 4 ]; then
    # Too long for a row per phrase: run the phrases on, four characters to every row.
    rest=${roots//，/}
    rows=()
    while [ -n "$rest" ]; do
      rows+=("${rest:0:4}")
      rest=${rest:4}
    done
  fi
  printf '%s\n' "${rows[@]}"
}

keyboard_rows=(QWERTYUIOP 'ASDFGHJKL;' 'ZXCVBNM,./')
declare -A shifted=([';']=':' [',']='<' ['.']='>' ['/']='?')
cell_w=50
cell_h=62
args=(-size 500x188 xc:white +antialias -fill magenta -stroke none)
for x in 0 50 100 150 200 250 300 350 400 450 499; do args+=(-draw "rectangle $x,0 $x,187"); done
for y in 0 62 124 187; do args+=(-draw "rectangle 0,$y 499,$y"); done
args+=(-antialias -font "$font")
labels=(-gravity SouthEast -pointsize 11 -fill black)
for row in 0 1 2; do
  keys=${keyboard_rows[row]}
  for col in {0..9}; do
    key=${keys:col:1}
    x0=$((col * cell_w))
    y0=$((row * cell_h))
    # The label's box, as offsets from the picture's bottom right corner: its right edge 3 pixels
    # inside the cell, its baseline (4 pixels above the box's bottom) 60 pixels below the cell's
    # top, under the fourth row of roots.
    label_offset="+$((500 - x0 - cell_w + 3))+$((188 - y0 - 64))"
    if [ -n "${shifted[$key]:-}" ]; then
      args+=(-pointsize 22 -fill black -stroke black -strokewidth 0.6
        -annotate "+$((x0 + 20))+$((y0 + 25))" "${shifted[$key]}"
        -annotate "+$((x0 + 20))+$((y0 + 50))" "$key" -stroke none)
    elif [ -n "${code_of[$key]:-}" ]; then
      args+=(-pointsize 12 -fill blue)
      line=0
      while IFS= read -r text; do
        annotate_row $((x0 + 1)) $((y0 + 12 + 12 * line)) 12 "$text"
        line=$((line + 1))
      done < <(root_lines "${roots_of[$key]}")
      labels+=(-annotate "$label_offset" "${code_of[$key]}$key")
    else
      labels+=(-annotate "$label_offset" "$key")
    fi
  done
done
bmp16 "${args[@]}" "${labels[@]}" "$out/chart-keyboard.bmp"
