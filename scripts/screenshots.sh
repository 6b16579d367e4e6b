#!/usr/bin/env bash
# Pictures of the module's windows for the README: the real tovi.ime with the real tables under
# Wine on Xvfb, saved as PNG files in docs/screenshots/. Run after README command 1.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

session="$root/build-win/wine"
install=$(mktemp -d /tmp/tovi-screens.XXXXXX)
shots=$(mktemp -d /tmp/tovi-shots.XXXXXX)
cleanup() {
  scripts/wine-session.sh stop "$session" >/dev/null 2>&1 || true
  rm -rf "$install" "$shots"
}
trap cleanup EXIT

cp -r build-win/dist/* "$install/"
scripts/wine-session.sh start "$session" >/dev/null
export WINEPREFIX="$session/prefix" WINEDEBUG=-all
/usr/lib/wine/wine64 reg add 'HKLM\SOFTWARE\tovi' /v INSTALL_PATH /t REG_SZ \
  /d "Z:${install//\//\\}" /f >/dev/null 2>&1
scripts/wine-session.sh run "$session" "$root/build-win/bin/window_screens.exe" "Z:${shots//\//\\}"
mkdir -p docs/screenshots
for bmp in "$shots"/*.bmp; do
  convert "$bmp" "docs/screenshots/$(basename "${bmp%.bmp}").png"
done
ls docs/screenshots
