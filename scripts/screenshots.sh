#!/usr/bin/env bash
# Pictures of the module's windows for the README: the real tovi.ime with the real tables under
# Wine on Xvfb, saved as PNG files in docs/screenshots/. Run after README command 1.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/installed-session.sh
shots="$install/screenshots"
mkdir -p "$shots" docs/screenshots
scripts/wine-session.sh run "$session" "$root/build-win/bin/window_screens.exe" \
  "Z:${shots//\//\\}"
if [ -f build-win/dist/tovi-setup.exe ]; then
  scripts/wine-session.sh run "$session" "$root/build-win/bin/window_screens.exe" --installer \
    "Z:${root//\//\\}\\build-win\\dist\\tovi-setup.exe" "Z:${shots//\//\\}"
fi
for bmp in "$shots"/*.bmp; do
  convert "$bmp" "docs/screenshots/$(basename "${bmp%.bmp}").png"
done
ls docs/screenshots
