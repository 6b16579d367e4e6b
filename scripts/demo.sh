#!/usr/bin/env bash
# The main job: shows what was built and runs the settings and conversion self-checks.
set -euo pipefail
cd "$(dirname "$0")/.."
build/tools/tovi-selfcheck build-win/bin/tovi.ime build-win32/bin/tovi.ime
