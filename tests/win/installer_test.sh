#!/usr/bin/env bash
# The installer as an administrator runs it and a standard user lives with it, in a fresh Wine
# prefix of its own. The prefix belongs to a standard user (scripts/standard-user.sh: as root an
# unprivileged Linux user, since root ignores permission bits); the installation folder is
# unlocked only while the administrator installs, upgrades or uninstalls, and is otherwise owned
# by root and read-only. Checked: a silent install (files, registry, the layout in the user's
# input list, the companion's Start-menu shortcut, no logon start unless chosen, nothing in the
# user's folder); typing, and saving as the standard user (an added word, a promotion, a
# setting); an upgrade that keeps the user's folder byte for byte and the user's words; the
# logon option; a silent uninstall that keeps the user's folder, and one told to remove it.
#   installer_test.sh BUILD-WIN-DIR
set -u
build=$(cd "${1:?build tree}" && pwd)
cd "$(dirname "$0")/../.."
session="$build/wine-installer"
setup="$build/dist/tovi-setup.exe"
typist="$build/bin/end_to_end_win_test.exe"
user_tool=scripts/standard-user.sh
failures=0

[ -f "$setup" ] || { echo "no $setup: run scripts/make-installer.sh"; exit 1; }
# A run that stopped half-way may have left the installation folder locked.
[ -d "$session" ] && chmod -R u+w "$session" 2>/dev/null
rm -rf "$session"
mkdir -p "$session/home"
"$user_tool" give "$session" || exit 1
export WINEPREFIX="$session/prefix" WINEDEBUG=-all STANDARD_USER_HOME="$session/home"
as_user() { "$user_tool" run "$@"; }
as_user scripts/wine-session.sh start "$session" >/dev/null || exit 1
trap 'as_user scripts/wine-session.sh stop "$session" >/dev/null 2>&1' EXIT
wine=/usr/lib/wine/wine64
drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/tovi"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/tovi 输入法"
shortcut="$menu/朔昕字典.lnk"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
preload='HKCU\Keyboard Layout\Preload'

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
wine_() { as_user "$wine" "$@" 2>/dev/null | tr -d '\r'; }
run() { timeout 300 "$user_tool" run scripts/wine-session.sh run "$session" "$@"; }
reg_has() { # view, key, value name, expected data
  wine_ reg query "$2" /v "$3" "/reg:$1" | grep -qF "$4"
}
reg_lacks() { # key, text: no value or subkey of the key mentions the text
  ! wine_ reg query "$1" /s /reg:64 | grep -qF "$2"
}
layout_key() { # the Keyboard Layouts key whose IME file is tovi.ime, in view $1 (64 by default)
  wine_ reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Keyboard Layouts' /s "/reg:${1:-64}" |
    awk '/^HKEY/ { key = $0 } /Ime File/ && tolower($NF) == "tovi.ime" { print key }'
}
preload_list() { # the user's Preload values in order, as "number=layout" lines
  wine_ reg query "$preload" | awk '$2 == "REG_SZ" { print $1 "=" tolower($3) }' | sort -n
}
# The folder, administrator's business: unlocked for an install, upgrade or uninstall.
install() { "$user_tool" unlock "$folder" 2>/dev/null; run "$setup" /S "$@"; }
# The uninstaller runs on from a copy of itself and removes the original last, as a user sees it.
uninstall() {
  "$user_tool" unlock "$folder"
  run "C:\\Program Files\\tovi\\uninstall.exe" /S "$@" || return 1
  for _ in $(seq 1 600); do
    [ -e "$folder/uninstall.exe" ] || { sleep 1; return 0; }
    sleep 0.2
  done
  return 1
}
lock() { "$user_tool" lock "$folder"; }
fingerprint() { # every file under $1 with its checksum
  (cd "$1" 2>/dev/null && find . -type f -print0 | sort -z | xargs -0r sha256sum)
}
setting_flags() { # IME_SETTINGS of config.ini $1
  tr -d '\r' <"$1" | awk '$1 == "IME_SETTINGS" { print $2 }'
}
companion_running() { # a process of the standard user runs the installed companion
  for _ in $(seq 1 150); do
    pgrep -u "$("$user_tool" name)" -f 'Program Files.tovi.PVemoraScreen\.exe' && return 0
    sleep 0.2
  done
  return 1
}
link_names_companion_alone() { # the shortcut's target is the companion, with no arguments
  local flags offset bit count
  u16() { od -An -tu2 -j "$1" -N2 "$shortcut" | tr -d ' '; }
  tr -d '\0' <"$shortcut" | grep -qa 'tovi.PVemoraScreen\.exe' || return 1
  # Shell link layout: LinkFlags at 20, the 76-byte header, the item list (flag 1) and the link
  # information (flag 2), then the counted UTF-16 strings: name, relative path, working folder
  # and the arguments (flags 4 to 32; without flag 32 there are none).
  flags=$(od -An -tu4 -j 20 -N4 "$shortcut" | tr -d ' ')
  offset=76
  [ $((flags & 1)) -ne 0 ] && offset=$((offset + 2 + $(u16 $offset)))
  [ $((flags & 2)) -ne 0 ] && offset=$((offset + $(od -An -tu4 -j $offset -N4 "$shortcut" | tr -d ' ')))
  for bit in 4 8 16 32; do
    [ $((flags & bit)) -eq 0 ] && continue
    count=$(u16 $offset)
    # No arguments: an empty string (Wine counts and writes its terminating zero too).
    [ "$bit" -eq 32 ] && { [ -z "$(od -An -tu2 -j $((offset + 2)) -N $((2 * count)) \
      "$shortcut" | tr -d ' 0\n')" ]; return; }
    offset=$((offset + 2 + 2 * count))
  done
  return 0
}

# The user's own folder, as Windows names it for this user.
appdata=$(wine_ cmd /c echo %APPDATA%)
userdir="$(wine_ winepath -u "$appdata")/tovi"
check "the user's folder is known ($userdir)" test -n "$appdata"

# A user's input list that already has a layout of its own.
wine_ reg add "$preload" /v 1 /t REG_SZ /d 00000409 /f >/dev/null

check "silent install" install
for f in toviwb.mb tovipy.mb codePyMain.pmt vemoraPY.pmt vemoraSP.pmt deduSPNum.pi config.ini \
  tovi.bmp tovi_cand.bmp skin/skin-02.bmp tovi.chm uninstall.exe; do
  check "installed $f" test -s "$folder/$f"
done
check "64-bit module in System32" test -s "$drive/windows/system32/tovi.ime"
check "32-bit module in SysWOW64" test -s "$drive/windows/syswow64/tovi.ime"
check "INSTALL_PATH, 64-bit view" reg_has 64 'HKLM\SOFTWARE\tovi' INSTALL_PATH 'C:\Program Files\tovi'
check "INSTALL_PATH, 32-bit view" reg_has 32 'HKLM\SOFTWARE\tovi' INSTALL_PATH 'C:\Program Files\tovi'
klid=$(layout_key 64)
klid=${klid##*\\}
check "keyboard layout registered for 64-bit programs ($klid)" test -n "$klid"
check "keyboard layout registered for 32-bit programs" test -n "$(layout_key 32)"
check "uninstaller entry" reg_has 64 \
  'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\tovi' DisplayName 'tovi'
# The text service, registered by a process of each bitness in its own registry view.
tsf_class='HKLM\Software\Classes\CLSID\{5462EFF2-091D-4035-BF47-FFAEBC6FB469}'
check "64-bit text service in System32" test -s "$drive/windows/system32/tovi_tsf.dll"
check "32-bit text service in SysWOW64" test -s "$drive/windows/syswow64/tovi_tsf.dll"
tsf_server() { # view, expected path: the class's in-process server in that view
  wine_ reg query "$tsf_class\InprocServer32" /ve "/reg:$1" | grep -qiF "$2"
}
check "text service registered for 64-bit programs" tsf_server 64 'C:\windows\system32\tovi_tsf.dll'
check "text service registered for 32-bit programs" tsf_server 32 'C:\windows\SysWOW64\tovi_tsf.dll'
list=$(preload_list | tr '\n' ' ')
check "the layout is next in the user's input list ($list)" \
  test "$list" = "1=00000409 2=${klid,,} "
check "the companion's Start-menu shortcut" test -s "$shortcut"
check "it starts the companion in its resident mode" link_names_companion_alone
check "no start at logon unless chosen" reg_lacks "$run_key" PVemoraScreen
check "the install writes nothing into the user's folder" test ! -e "$userdir"
lock
installed=$(fingerprint "$folder")

# The standard user types and saves: a word added in the word maker's way, a promotion of the
# second word of the code of 中国 to its front (as a Ctrl selection makes it), a setting changed
# with a key.
check "a keypad code types 中国" run "$typist" --type-installed 23212411
check "add a word" run "$typist" --add-installed 99119911 澜泽
check "the added word is in the saved table" run "$typist" --has-installed 99119911 澜泽
promoted=跨国
check "promote $promoted over 中国" run "$typist" --promote-in-table 23212411 "$promoted"
check "the promoted word comes first in the saved table" \
  run "$typist" --first-installed 23212411 "$promoted"
before=$(setting_flags "$folder/config.ini")
check "Ctrl with the period toggles a setting" run "$typist" --toggle-setting-installed
after=$(setting_flags "$userdir/config.ini" 2>/dev/null)
check "the setting is saved in the user's folder ($before -> $after)" \
  test -n "$after" -a "$((before ^ 1))" = "${after:-x}"
check "the user's keypad table is in the user's folder" test -s "$userdir/toviwb.mb"
check "the installation folder is unchanged" test "$(fingerprint "$folder")" = "$installed"
check "the companion starts from the installed folder" \
  run "C:\\Program Files\\tovi\\PVemoraScreen.exe" get 中

# Upgrade over it: the user's folder is left alone byte for byte, the words and the order stay.
saved=$(fingerprint "$userdir")
check "upgrade install" install
lock
check "the user's folder is unchanged by the upgrade" test "$(fingerprint "$userdir")" = "$saved"
check "the layout is in the input list once" test "$(preload_list | tr '\n' ' ')" = "$list"
check "the added word is still there" run "$typist" --has-installed 99119911 澜泽
check "the promoted word still comes first" run "$typist" --first-installed 23212411 "$promoted"

# The input list changes after the install: a layout the user added later moves up when ours goes.
wine_ reg add "$preload" /v 3 /t REG_SZ /d 00000407 /f >/dev/null

check "silent uninstall" uninstall
left=$(cd "$folder" 2>/dev/null && find . -type f | sort | tr '\n' ' ')
check "only the installation's code tables are left (left: $left)" \
  test "$left" = "./tovipy.mb ./toviwb.mb "
check "the user's folder stays" test "$(fingerprint "$userdir")" = "$saved"
check "64-bit module removed" test ! -e "$drive/windows/system32/tovi.ime"
check "32-bit module removed" test ! -e "$drive/windows/syswow64/tovi.ime"
check "text services removed" test ! -e "$drive/windows/system32/tovi_tsf.dll" -a \
  ! -e "$drive/windows/syswow64/tovi_tsf.dll"
tsf_gone() { ! as_user "$wine" reg query "$tsf_class" "/reg:$1" >/dev/null 2>&1; }
check "text service unregistered, 64-bit view" tsf_gone 64
check "text service unregistered, 32-bit view" tsf_gone 32
check "keyboard layout unregistered" test -z "$(layout_key)"
list=$(preload_list | tr '\n' ' ')
check "the layout left the input list, the rest closed up ($list)" \
  test "$list" = "1=00000409 2=00000407 "
check "the Start-menu shortcut removed" test ! -e "$menu"
check "INSTALL_PATH removed" reg_lacks 'HKLM\SOFTWARE\tovi' INSTALL_PATH
check "uninstaller entry removed" \
  reg_lacks 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\tovi' DisplayName

# The logon option, chosen in a silent install: the companion starts when the user's session
# starts again (wineboot runs the user's Run entries as Windows does at logon).
check "install with the logon option" install /AUTOSTART
check "the logon start is recorded" reg_has 64 "$run_key" PVemoraScreen \
  'C:\Program Files\tovi\PVemoraScreen.exe'
as_user scripts/wine-session.sh stop "$session" >/dev/null 2>&1
as_user scripts/wine-session.sh start "$session" >/dev/null 2>&1
check "the companion runs after the next logon" companion_running
check "an upgrade keeps the choice" install
check "the logon start is still recorded" reg_has 64 "$run_key" PVemoraScreen PVemoraScreen.exe

check "silent uninstall that removes the user's words and settings" uninstall /REMOVEUSERDATA
check "the user's folder is removed" test ! -e "$userdir"
check "the installation folder is removed" test ! -e "$folder"
check "the logon start is removed" reg_lacks "$run_key" PVemoraScreen

echo "installer test: $failures failed"
[ "$failures" -eq 0 ]
