# Checks of a built Windows image without running it, for the module check scripts to source.
# Each check reports with `fail`, which marks the run failed; $objdump names the tool to use.
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# check_exports FILE HEADERS EXPECTED: the export table names exactly EXPECTED (one a line).
check_exports() {
  local exports
  # Export table rows look like "	[   0] +base[   1] 0000 ImeInquire".
  exports=$(echo "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort)
  [ "$exports" = "$(echo "$3" | sort)" ] || fail "$1's exports differ:
$(diff <(echo "$3" | sort) <(echo "$exports"))"
}

# check_no_shared_section FILE: no section is shared between the processes of one image (the
# 32-bit and the 64-bit image would each have their own). The section table is read from the
# file itself: IMAGE_SCN_MEM_SHARED is 0x10000000.
check_no_shared_section() {
  local pe count table i entry name chars
  u16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
  u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
  pe=$(u32 "$1" 60)
  count=$(u16 "$1" $((pe + 6)))
  table=$((pe + 24 + $(u16 "$1" $((pe + 20)))))
  [ "${count:-0}" -gt 0 ] || fail "$1 has no section table"
  for ((i = 0; i < count; i++)); do
    entry=$((table + 40 * i))
    name=$(dd if="$1" bs=1 skip="$entry" count=8 2>/dev/null | tr -d '\0')
    chars=$(u32 "$1" $((entry + 36)))
    [ $((chars & 0x10000000)) -eq 0 ] || fail "$1's section $name is shared between the processes of one image"
  done
}

# imports_of HEADERS: the DLLs the image imports, one a line.
imports_of() { echo "$1" | sed -n 's/^\s*DLL Name: //p' | sort -u; }

# check_imports FILE HEADERS: every DLL the file imports is one a bare Windows has.
check_imports() {
  local dll
  for dll in $(imports_of "$2"); do
    case "${dll,,}" in
    kernel32.dll | user32.dll | gdi32.dll | imm32.dll | advapi32.dll | shell32.dll | comctl32.dll | \
      msvcrt.dll | ole32.dll | oleaut32.dll | comdlg32.dll | winmm.dll) ;;
    *) fail "$1 imports $dll, which a bare Windows does not have" ;;
    esac
  done
}

# check_version FILE: it carries a version resource with the strings Windows shows.
check_version() {
  local texts name
  texts=$(strings -el "$1")
  for name in VS_VERSION_INFO FileDescription FileVersion ProductName ProductVersion; do
    echo "$texts" | grep -qx "$name" || fail "$1 has no $name in a version resource"
  done
}

# check_architecture FILE ARCH: x86_64, or anything else for 32-bit x86.
check_architecture() {
  local magic=pei-i386
  [ "$2" = x86_64 ] && magic=pei-x86-64
  "$objdump" -f "$1" | grep -q "file format $magic" || fail "$1 is not a $magic image"
}
