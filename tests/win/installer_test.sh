#!/usr/bin/env bash
# The installer as a user runs it, in a fresh Wine prefix of its own: a silent install, then the
# layout and the registry values are there, a keypad code and a pinyin word type through the
# installed layout, the companion starts from the installed folder; a silent uninstall leaves
# nothing but the code tables; an upgrade keeps a word the user added.
#   installer_test.sh BUILD-WIN-DIR
set -u
build=$(cd "${1:?build tree}" && pwd)
cd "$(dirname "$0")/../.."
session="$build/wine-installer"
setup="$build/dist/tovi-setup.exe"
typist="$build/bin/end_to_end_win_test.exe"
failures=0

[ -f "$setup" ] || { echo "no $setup: run scripts/make-installer.sh"; exit 1; }
rm -rf "$session"
scripts/wine-session.sh start "$session" >/dev/null || exit 1
trap 'scripts/wine-session.sh stop "$session" >/dev/null 2>&1' EXIT
export WINEPREFIX="$session/prefix" WINEDEBUG=-all
wine=/usr/lib/wine/wine64
drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/tovi"

check() { # description, then a command that must succeed
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then
    echo "ok: $what"
  else
    echo "FAILED: $what"
    failures=$((failures + 1))
  fi
}
run() { scripts/wine-session.sh run "$session" "$@"; }
reg_has() { # view, key, value name, expected data
  "$wine" reg query "$2" /v "$3" "/reg:$1" 2>/dev/null | tr -d '\r' | grep -qF "$4"
}
layout_key() { # the Keyboard Layouts key whose IME file is tovi.ime, in view $1 (64 by default)
  "$wine" reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Keyboard Layouts' /s \
    "/reg:${1:-64}" 2>/dev/null |
    tr -d '\r' | awk '/^HKEY/ { key = $0 } /Ime File/ && tolower($NF) == "tovi.ime" { print key }'
}
install() { run "$setup" /S; }
# The uninstaller runs on from a copy of itself and removes the original last, as a user sees it.
uninstall() {
  run "C:\\Program Files\\tovi\\uninstall.exe" /S || return 1
  for _ in $(seq 1 600); do
    [ -e "$folder/uninstall.exe" ] || { sleep 1; return 0; }
    sleep 0.2
  done
  return 1
}

check "silent install" install
for f in toviwb.mb tovipy.mb codePyMain.pmt vemoraPY.pmt vemoraSP.pmt deduSPNum.pi config.ini \
  tovi.bmp tovi_cand.bmp skin/skin-02.bmp tovi.chm uninstall.exe; do
  check "installed $f" test -s "$folder/$f"
done
check "64-bit module in System32" test -s "$drive/windows/system32/tovi.ime"
check "32-bit module in SysWOW64" test -s "$drive/windows/syswow64/tovi.ime"
check "INSTALL_PATH, 64-bit view" reg_has 64 'HKLM\SOFTWARE\tovi' INSTALL_PATH 'C:\Program Files\tovi'
check "INSTALL_PATH, 32-bit view" reg_has 32 'HKLM\SOFTWARE\tovi' INSTALL_PATH 'C:\Program Files\tovi'
check "keyboard layout registered for 64-bit programs" test -n "$(layout_key 64)"
check "keyboard layout registered for 32-bit programs" test -n "$(layout_key 32)"
check "uninstaller entry" reg_has 64 \
  'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\tovi' DisplayName 'tovi'
# The text service, registered by a process of each bitness in its own registry view.
tsf_class='HKLM\Software\Classes\CLSID\{5462EFF2-091D-4035-BF47-FFAEBC6FB469}'
check "64-bit text service in System32" test -s "$drive/windows/system32/tovi_tsf.dll"
check "32-bit text service in SysWOW64" test -s "$drive/windows/syswow64/tovi_tsf.dll"
tsf_server() { # view, expected path: the class's in-process server in that view
  "$wine" reg query "$tsf_class\InprocServer32" /ve "/reg:$1" 2>/dev/null | tr -d '\r' |
    grep -qiF "$2"
}
check "text service registered for 64-bit programs" tsf_server 64 'C:\windows\system32\tovi_tsf.dll'
check "text service registered for 32-bit programs" tsf_server 32 'C:\windows\SysWOW64\tovi_tsf.dll'

check "a keypad code types 中国" run "$typist" --type-installed 23212411
# The scheme is chosen as the settings record keeps it (Wine does not pass the key release of the
# right-Ctrl tap that switches schemes).
printf 'IME_SETTINGS 193\r\n' >"$folder/config.ini"
check "pinyin types 你好" run "$typist" --type-installed nihao
check "the companion is installed" test -s "$folder/PVemoraScreen.exe"
if [ -f "$folder/PVemoraScreen.exe" ]; then
  check "its dictionary" test -s "$folder/dict.txt"
  check "the code reference made from it" test -s "$folder/codefind.chm"
  check "the companion starts from the installed folder" \
    timeout 60 scripts/wine-session.sh run "$session" "C:\\Program Files\\tovi\\PVemoraScreen.exe" get 中
fi

check "silent uninstall" uninstall
left=$(cd "$folder" 2>/dev/null && find . -type f | sort | tr '\n' ' ')
check "only the code tables are left (left: $left)" test "$left" = "./tovipy.mb ./toviwb.mb "
check "64-bit module removed" test ! -e "$drive/windows/system32/tovi.ime"
check "32-bit module removed" test ! -e "$drive/windows/syswow64/tovi.ime"
check "text services removed" test ! -e "$drive/windows/system32/tovi_tsf.dll" -a \
  ! -e "$drive/windows/syswow64/tovi_tsf.dll"
check "text service unregistered, 64-bit view" bash -c "! '$wine' reg query '$tsf_class' /reg:64"
check "text service unregistered, 32-bit view" bash -c "! '$wine' reg query '$tsf_class' /reg:32"
check "keyboard layout unregistered" test -z "$(layout_key)"
check "INSTALL_PATH removed" bash -c "! '$wine' reg query 'HKLM\\SOFTWARE\\tovi' /reg:64"
check "uninstaller entry removed" bash -c \
  "! '$wine' reg query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tovi'"

# Upgrade: the kept tables of the first installation, with a word added, survive installing again.
check "install again" install
check "add a word" run "$typist" --add-installed 99119911 澜泽
check "upgrade install" install
check "the added word is still there" run "$typist" --has-installed 99119911 澜泽

echo "installer test: $failures failed"
[ "$failures" -eq 0 ]
