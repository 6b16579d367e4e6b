#!/usr/bin/env bash
# Runs every test: native, native under AddressSanitizer and UBSan, the background table load
# under ThreadSanitizer, the fuzz targets on their seeds, and the Windows tests of both modules
# under Wine. Ends with one "N passed, N failed" line.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh || exit 1
scripts/build.sh --with-sanitizers || exit 1

passed=0
failed=0
status=0
run() {
  local dir=$1
  shift
  echo "== tests in $dir"
  local log="$dir/test.log"
  ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    status=1
    return
  fi
  local total fails
  fails=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
  total=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
  passed=$((passed + total - fails))
  failed=$((failed + fails))
}

run build -j 2
run build-asan -j 2
# Several abandoned loaders at once lock the cross-process mutex through separate mappings,
# which ThreadSanitizer cannot pair; the module never has more than one loader.
run build-tsan -R 'LoaderTest.(Readers|TheLast|AMissing|ALoadThatThrows)|ModuleSchemeSwitch|ModuleTest.ATableLoadThatThrows|ModuleGate|ModuleThreads'
# Each fuzz target on its committed seeds and a fixed number of mutations.
run build-fuzz -R '^fuzz\.'
run build-win
run build-win32

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && exit "$status" || exit 1
