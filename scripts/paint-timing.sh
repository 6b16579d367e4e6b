#!/usr/bin/env bash
# How long the candidate window takes to paint a full page: the real tovi.ime with the real
# tables under Wine on Xvfb. Run after README command 1.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

session="$root/build-win/wine"
install=$(mktemp -d /tmp/tovi-paint.XXXXXX)
cleanup() {
  scripts/wine-session.sh stop "$session" >/dev/null 2>&1 || true
  rm -rf "$install"
}
trap cleanup EXIT

cp -r build-win/dist/* "$install/"
scripts/wine-session.sh start "$session" >/dev/null
export WINEPREFIX="$session/prefix" WINEDEBUG=-all
/usr/lib/wine/wine64 reg add 'HKLM\SOFTWARE\tovi' /v INSTALL_PATH /t REG_SZ \
  /d "Z:${install//\//\\}" /f >/dev/null 2>&1
scripts/wine-session.sh run "$session" "$root/build-win/bin/paint_timing.exe"
