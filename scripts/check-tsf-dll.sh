#!/usr/bin/env bash
# Checks a built tovi_tsf.dll without running it: exactly the four exports of a self-registering
# in-process COM server, no shared image section, a version resource, the architecture, and
# imports of system DLLs only (it loads into every application on a bare Windows).
#   check-tsf-dll.sh OBJDUMP DLL ARCH
set -u
objdump=${1:?objdump}
dll=${2:?dll}
arch=${3:?arch}
source "$(dirname "$0")/pe-checks.sh"

headers=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
check_exports "$dll" "$headers" "$(printf '%s\n' DllCanUnloadNow DllGetClassObject \
  DllRegisterServer DllUnregisterServer)"
check_no_shared_section "$dll"
check_imports "$dll" "$headers"
check_version "$dll"
check_architecture "$dll" "$arch"

[ "$failed" -eq 0 ] && echo "$dll ($arch): 4 exports, no shared section, a version resource," \
  "imports: $(echo $(imports_of "$headers"))"
exit "$failed"
