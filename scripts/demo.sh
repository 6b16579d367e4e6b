#!/usr/bin/env bash
# The main job: shows what was built, runs the settings and conversion self-checks, then types
# with the real tovi.ime under Wine, installed with the real tables in a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build/tools/tovi-selfcheck build-win/bin/tovi.ime build-win32/bin/tovi.ime build-win/dist/toviwb.mb \
  build-win/dist/tovipy.mb

source scripts/installed-session.sh
scripts/wine-session.sh run "$session" "$root/build-win/bin/typing_demo.exe"
