#!/usr/bin/env bash
# Checks a built tovi_tsf.dll without running it: exactly the four exports of a self-registering
# in-process COM server, no shared image section, a version resource, the architecture, and
# imports of system DLLs only (it loads into every application on a bare Windows).
#   check-tsf-dll.sh OBJDUMP DLL ARCH
set -u
objdump=${1:?objdump}
dll=${2:?dll}
arch=${3:?arch}
failed=0
fail() { echo "FAIL: $*"; failed=1; }

headers=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }

expected=$(printf '%s\n' DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
exports=$(echo "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort)
[ "$exports" = "$expected" ] || fail "exports differ:
$(diff <(echo "$expected") <(echo "$exports"))"

u16() { od -An -tu2 -j "$1" -N2 "$dll" | tr -d ' '; }
u32() { od -An -tu4 -j "$1" -N4 "$dll" | tr -d ' '; }
pe=$(u32 60)
count=$(u16 $((pe + 6)))
table=$((pe + 24 + $(u16 $((pe + 20)))))
for ((i = 0; i < count; i++)); do
  entry=$((table + 40 * i))
  chars=$(u32 $((entry + 36)))
  [ $((chars & 0x10000000)) -eq 0 ] || fail "section $i is shared between the processes of one image"
done

imports=$(echo "$headers" | sed -n 's/^\s*DLL Name: //p' | sort -u)
for name in $imports; do
  case "${name,,}" in
  kernel32.dll | user32.dll | gdi32.dll | imm32.dll | advapi32.dll | shell32.dll | msvcrt.dll | \
    ole32.dll | oleaut32.dll | comdlg32.dll) ;;
  *) fail "$dll imports $name, which a bare Windows does not have" ;;
  esac
done

texts=$(strings -el "$dll")
for name in VS_VERSION_INFO FileDescription FileVersion ProductName ProductVersion; do
  echo "$texts" | grep -qx "$name" || fail "$dll has no $name in a version resource"
done

case "$arch" in
x86_64) magic="pei-x86-64" ;;
*) magic="pei-i386" ;;
esac
"$objdump" -f "$dll" | grep -q "file format $magic" || fail "not a $magic DLL"

[ "$failed" -eq 0 ] && echo "$dll ($arch): 4 exports, no shared section, a version resource," \
  "imports: $(echo $imports)"
exit "$failed"
