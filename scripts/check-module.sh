#!/usr/bin/env bash
# Checks a built tovi.ime without running it: the exports IMM32 looks up, no shared image section
# (what processes share lives in named objects), the version resource, the architecture, and
# that it imports nothing but system DLLs (it must load on a bare Windows). Each PROGRAM given
# after them (the companion PVemoraScreen.exe) is checked for the same imports, the version
# resource and the architecture.
#   check-module.sh OBJDUMP MODULE ARCH [PROGRAM...]
set -u
objdump=${1:?objdump}
module=${2:?module}
arch=${3:?arch}
shift 3
programs=("$@")
source "$(dirname "$0")/pe-checks.sh"

headers=$("$objdump" -p "$module") || { echo "cannot read $module"; exit 1; }
check_exports "$module" "$headers" "$(printf '%s\n' CandWndProc CompWndProc ImeConfigure \
  ImeConversionList ImeDestroy ImeEnumRegisterWord ImeEscape ImeGetRegisterWordStyle ImeInquire \
  ImeProcessKey ImeRegisterWord ImeSelect ImeSetActiveContext ImeSetCompositionString \
  ImeToAsciiEx ImeUnregisterWord NotifyIME StatusWndProc UIWndProc)"
check_no_shared_section "$module"
check_imports "$module" "$headers"
check_version "$module"
check_architecture "$module" "$arch"

for program in "${programs[@]}"; do
  program_headers=$("$objdump" -p "$program") || { fail "cannot read $program"; continue; }
  check_imports "$program" "$program_headers"
  check_version "$program"
  check_architecture "$program" "$arch"
  echo "$program_headers" | grep -q 'Subsystem.*(Windows GUI)' || fail "$program is not a GUI program"
  [ "$failed" -eq 0 ] && echo "$program ($arch): imports: $(echo $(imports_of "$program_headers"))"
done

[ "$failed" -eq 0 ] && echo "$module ($arch): 19 exports, no shared section, a version resource," \
  "imports: $(echo $(imports_of "$headers"))"
exit "$failed"
