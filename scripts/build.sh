#!/usr/bin/env bash
# Configures (once) and builds the trees: build/ (native), build-win/ (Windows 64-bit),
# build-win32/ (Windows 32-bit), and with --with-sanitizers build-asan/ (native, ASan + UBSan),
# build-tsan/ (the native tests under ThreadSanitizer) and build-fuzz/ (the fuzz targets, clang).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)

tree() {
  local dir=$1
  shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVI_WERROR=ON "$@" >/dev/null
  fi
  echo "building $dir"
  cmake --build "$dir" -j "$jobs" ${TARGET:+--target "$TARGET"} >"$dir/build.log" 2>&1 ||
    { cat "$dir/build.log"; echo "build of $dir failed" >&2; exit 1; }
}

tree build
tree build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
tree build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

# The code tables and data files, generated in the native tree from the Debian dictionaries,
# go into the Windows package folder, and into the 32-bit tree's for its tests on real tables.
data_files=(toviwb.mb tovipy.mb codePyMain.pmt vemoraPY.pmt vemoraSP.pmt deduSPNum.pi dict.txt)
if [ -f build/dist/toviwb.mb ]; then
  for tree in build-win build-win32; do
    mkdir -p "$tree/dist"
    for f in "${data_files[@]}"; do cp build/dist/"$f" "$tree/dist/"; done
  done
  grep -E '^(toviwb|tovipy)\.mb: ' build/build.log || true
  echo "data files in build-win/dist and build-win32/dist"
else
  echo "no code tables: install rime-data-wubi and rime-data-pinyin-simp (scripts/setup.sh)" >&2
fi
# The installer, from both Windows trees and the package folder.
if [ -f build-win/dist/toviwb.mb ]; then
  scripts/make-installer.sh
fi
if [ "${1:-}" = --with-sanitizers ]; then
  tree build-asan -DCMAKE_BUILD_TYPE=Debug -DTOVI_SANITIZE=address,undefined
  # ThreadSanitizer needs only the native tests, for the background table load.
  TARGET=tovi_native_tests tree build-tsan -DCMAKE_BUILD_TYPE=Debug -DTOVI_SANITIZE=thread
  # The libFuzzer targets (clang), run on their seeds by the tests.
  TARGET=tovi_fuzz_targets tree build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTOVI_FUZZ=ON
fi
