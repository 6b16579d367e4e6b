#!/usr/bin/env bash
# Makes docs/screenshots/screen-card.png: PVemoraScreen's one-shot card for 行 with the real
# dict.txt of build-win/dist, drawn under Wine on the Xvfb display and converted with ImageMagick.
#   scripts/screen-screenshot.sh [BUILD_DIR]   (default build-win; needs dist/dict.txt there)
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:-build-win}
[ -f "$tree/dist/dict.txt" ] || { echo "no $tree/dist/dict.txt: run scripts/build.sh" >&2; exit 1; }
cmake --build "$tree" --target screen_win_test >/dev/null
session="$tree/wine"
scripts/wine-session.sh start "$session" >/dev/null
trap 'scripts/wine-session.sh stop "$session" >/dev/null' EXIT
bmp=$(mktemp --suffix=.bmp)
scripts/wine-session.sh run "$session" "$tree/bin/screen_win_test.exe" --screenshot 884C "Z:$bmp"
mkdir -p docs/screenshots
convert "$bmp" -strip docs/screenshots/screen-card.png
rm -f "$bmp"
echo "docs/screenshots/screen-card.png"
