#!/usr/bin/env bash
# The main job: shows what was built, runs the settings and conversion self-checks, then types
# with the real tovi.ime under Wine, installed with the real tables in a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

build/tools/tovi-selfcheck build-win/bin/tovi.ime build-win32/bin/tovi.ime build-win/dist/toviwb.mb \
  build-win/dist/tovipy.mb

session="$root/build-win/wine"
install=$(mktemp -d /tmp/tovi-demo.XXXXXX)
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
scripts/wine-session.sh run "$session" "$root/build-win/bin/typing_demo.exe"
