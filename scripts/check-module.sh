#!/usr/bin/env bash
# Checks a built tovi.ime without running it: the exports IMM32 looks up, no shared image section
# (the 32-bit and the 64-bit image would each have their own: what processes share lives in named
# objects), the version resource, and that it imports nothing but system DLLs (it must load on a
# bare Windows). Each PROGRAM given after them (the companion PVemoraScreen.exe) is checked for
# the same imports, the version resource and the architecture.
#   check-module.sh OBJDUMP MODULE ARCH [PROGRAM...]
set -u
objdump=${1:?objdump}
module=${2:?module}
arch=${3:?arch}
shift 3
programs=("$@")
failed=0
fail() { echo "FAIL: $*"; failed=1; }

headers=$("$objdump" -p "$module") || { echo "cannot read $module"; exit 1; }

expected="CandWndProc CompWndProc ImeConfigure ImeConversionList ImeDestroy ImeEnumRegisterWord
ImeEscape ImeGetRegisterWordStyle ImeInquire ImeProcessKey ImeRegisterWord ImeSelect
ImeSetActiveContext ImeSetCompositionString ImeToAsciiEx ImeUnregisterWord NotifyIME
StatusWndProc UIWndProc"
expected=$(echo $expected | tr ' ' '\n' | sort)
# Export table rows look like "	[   0] +base[   1] 0000 ImeInquire".
exports=$(echo "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort)
[ "$exports" = "$expected" ] || fail "exports differ:
$(diff <(echo "$expected") <(echo "$exports"))"

# The section table is read from the file itself: IMAGE_SCN_MEM_SHARED is 0x10000000.
u16() { od -An -tu2 -j "$1" -N2 "$module" | tr -d ' '; }
u32() { od -An -tu4 -j "$1" -N4 "$module" | tr -d ' '; }
pe=$(u32 60)
count=$(u16 $((pe + 6)))
table=$((pe + 24 + $(u16 $((pe + 20)))))
[ "${count:-0}" -gt 0 ] || fail "no section table"
for ((i = 0; i < count; i++)); do
  entry=$((table + 40 * i))
  name=$(dd if="$module" bs=1 skip="$entry" count=8 2>/dev/null | tr -d '\0')
  chars=$(u32 $((entry + 36)))
  [ $((chars & 0x10000000)) -eq 0 ] || fail "section $name is shared between the processes of one image"
done

# check_imports FILE HEADERS: every DLL the file imports is one a bare Windows has.
check_imports() {
  local dll
  for dll in $(echo "$2" | sed -n 's/^\s*DLL Name: //p' | sort -u); do
    case "${dll,,}" in
    kernel32.dll | user32.dll | gdi32.dll | imm32.dll | advapi32.dll | shell32.dll | comctl32.dll | \
      msvcrt.dll | ole32.dll | oleaut32.dll | comdlg32.dll | winmm.dll) ;;
    *) fail "$1 imports $dll, which a bare Windows does not have" ;;
    esac
  done
}
imports=$(echo "$headers" | sed -n 's/^\s*DLL Name: //p' | sort -u)
check_imports "$module" "$headers"

# check_version FILE: it carries a version resource with the strings Windows shows.
check_version() {
  local texts
  texts=$(strings -el "$1")
  for name in VS_VERSION_INFO FileDescription FileVersion ProductName ProductVersion; do
    echo "$texts" | grep -qx "$name" || fail "$1 has no $name in a version resource"
  done
}
check_version "$module"

case "$arch" in
x86_64) magic="pei-x86-64" ;;
*) magic="pei-i386" ;;
esac
"$objdump" -f "$module" | grep -q "file format $magic" || fail "not a $magic module"

for program in "${programs[@]}"; do
  program_headers=$("$objdump" -p "$program") || { fail "cannot read $program"; continue; }
  check_imports "$program" "$program_headers"
  check_version "$program"
  "$objdump" -f "$program" | grep -q "file format $magic" || fail "$program is not $magic"
  echo "$program_headers" | grep -q 'Subsystem.*(Windows GUI)' || fail "$program is not a GUI program"
  [ "$failed" -eq 0 ] && echo "$program ($arch): imports: $(echo "$program_headers" |
    sed -n 's/^\s*DLL Name: //p' | sort -u | tr '\n' ' ')"
done

if [ "$failed" -eq 0 ]; then
  echo "$module ($arch): 19 exports, no shared section, a version resource," \
    "imports: $(echo $imports)"
fi
exit "$failed"
