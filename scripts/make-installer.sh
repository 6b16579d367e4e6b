#!/usr/bin/env bash
# Makes build-win/dist/tovi-setup.exe from the built trees: stripped copies of both modules and
# the companion, the package folder's tables and pictures, the default settings and the help
# files compiled from installer/help, packed by NSIS.
set -euo pipefail
cd "$(dirname "$0")/.."

stage=build-win/installer
out=build-win/dist/tovi-setup.exe
rm -rf "$stage"
mkdir -p "$stage/x64" "$stage/x86" "$stage/files/skin" "$stage/help"

size() { stat -c %s "$1"; }
# Release copies: the trees keep their debug information for the debugger and the benchmarks.
x86_64-w64-mingw32-strip -o "$stage/x64/tovi.ime" build-win/bin/tovi.ime
i686-w64-mingw32-strip -o "$stage/x86/tovi.ime" build-win32/bin/tovi.ime
echo "tovi.ime 64-bit: $(size build-win/bin/tovi.ime) bytes, stripped $(size "$stage/x64/tovi.ime")"
echo "tovi.ime 32-bit: $(size build-win32/bin/tovi.ime) bytes, stripped $(size "$stage/x86/tovi.ime")"
# The text service DLLs, when both trees built them.
if [ -f build-win/bin/tovi_tsf.dll ] && [ -f build-win32/bin/tovi_tsf.dll ]; then
  x86_64-w64-mingw32-strip -o "$stage/x64/tovi_tsf.dll" build-win/bin/tovi_tsf.dll
  i686-w64-mingw32-strip -o "$stage/x86/tovi_tsf.dll" build-win32/bin/tovi_tsf.dll
fi
if [ -f build-win/bin/PVemoraScreen.exe ]; then
  x86_64-w64-mingw32-strip -o "$stage/files/PVemoraScreen.exe" build-win/bin/PVemoraScreen.exe
  echo "PVemoraScreen.exe: $(size build-win/bin/PVemoraScreen.exe) bytes, stripped" \
    "$(size "$stage/files/PVemoraScreen.exe")"
fi

for f in toviwb.mb tovipy.mb codePyMain.pmt vemoraPY.pmt vemoraSP.pmt deduSPNum.pi tovi.bmp \
  tovi_cand.bmp; do
  cp "build-win/dist/$f" "$stage/files/"
done
[ -f build-win/dist/dict.txt ] && cp build-win/dist/dict.txt "$stage/files/"
cp build-win/dist/skin/*.bmp "$stage/files/skin/"
build/installer/tovi-default-config "$stage/files"

cp installer/help/* "$stage/help/"
(cd "$stage/help" && chmcmd tovi.hhp >/dev/null 2>&1)
cp "$stage/help/tovi.chm" "$stage/files/"
if [ -x build/installer/tovi-codefind ] && [ -f "$stage/files/dict.txt" ]; then
  mkdir -p "$stage/codefind"
  build/installer/tovi-codefind "$stage/files/dict.txt" "$stage/codefind"
  (cd "$stage/codefind" && chmcmd codefind.hhp >/dev/null 2>&1)
  cp "$stage/codefind/codefind.chm" "$stage/files/"
fi

version=$(sed -n 's/^#define TOVI_VERSION_TEXT "\(.*\)"$/\1/p' build-win/version/tovi_version.h)
makensis -V2 -DVERSION="$version" -DSTAGE="$(pwd)/$stage" -DOUTFILE="$(pwd)/$out" \
  installer/tovi.nsi
echo "$out: $(size "$out") bytes, version $version"
