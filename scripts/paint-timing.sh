#!/usr/bin/env bash
# How long the candidate window takes to paint a full page: the real tovi.ime with the real
# tables under Wine on Xvfb. Run after README command 1.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/installed-session.sh
scripts/wine-session.sh run "$session" "$root/build-win/bin/paint_timing.exe"
