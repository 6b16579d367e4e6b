; The tovi installer: the two input-method modules where 64-bit and 32-bit processes load them,
; the installation folder with the tables, pictures, help and the companion, the folder's name in
; both registry views, the keyboard layout in the installing user's input list, the companion's
; Start-menu shortcut (and, when chosen, its start at logon), and an uninstaller. It never writes
; into a user's own folder (%APPDATA%\tovi, where the module keeps the words and settings a user
; saves). Made by scripts/make-installer.sh with -DVERSION=x.y.z -DSTAGE=<staged files>
; -DOUTFILE=<setup.exe>.
;
; Silent switches: setup.exe /S [/AUTOSTART] starts the companion at the installing user's logon;
; uninstall.exe /S [/REMOVEUSERDATA] removes the user's words and settings too (a silent uninstall
; keeps them otherwise).
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!ifndef VERSION | STAGE | OUTFILE
!error "make the installer with scripts/make-installer.sh"
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "nsDialogs.nsh"
!include "FileFunc.nsh"

!define PRODUCT "tovi 输入法"
!define LAYOUT_TEXT "中文(简体) - tovi 输入法"
!define SETTINGS_KEY "Software\tovi"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\tovi"
!define LAYOUTS_KEY "SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
!define PRELOAD_KEY "Keyboard Layout\Preload"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "PVemoraScreen"
!define COMPANION "朔昕字典"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
; input.dll's InstallLayoutOrTip: 0 adds to the user's list, ILOT_UNINSTALL takes it off again.
!define ILOT_UNINSTALL 1

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\tovi"
InstallDirRegKey HKLM "${SETTINGS_KEY}" "INSTALL_PATH"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "CompanyName" "tovi"
VIAddVersionKey /LANG=2052 "LegalCopyright" "tovi"

; Whether the companion starts at the installing user's logon: ticked on its page, or /AUTOSTART
; in a silent install. The box starts as the user has it today, so an upgrade keeps the choice.
Var AutoStart
Var AutoStartBox

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TEXT "${PRODUCT} 已经安装。在语言栏中选择“${LAYOUT_TEXT}”即可打字。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!if /FileExists "${STAGE}\files\PVemoraScreen.exe"
Page custom CompanionPage CompanionPageLeave
!endif
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.UserDataPage un.UserDataPageLeave
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Writes SOURCE as TARGET without ever leaving a half-written file: the new file is written whole
; beside the old one and then renamed over it. A file in use (the module is loaded into every
; application, the companion may be running) is renamed at the next restart instead.
!macro ReplaceFile SOURCE TARGET
  Delete "${TARGET}.new"
  File "/oname=${TARGET}.new" "${SOURCE}"
  Delete "${TARGET}"
  ${If} ${FileExists} "${TARGET}"
    Rename /REBOOTOK "${TARGET}.new" "${TARGET}"
  ${Else}
    Rename "${TARGET}.new" "${TARGET}"
  ${EndIf}
!macroend

; The keyboard layout whose IME file is tovi.ime, or "" in $R0.
!macro FindLayout UN
Function ${UN}FindLayout
  Push $R1
  Push $R2
  Push $R3
  StrCpy $R0 ""
  StrCpy $R1 0
  ${Do}
    EnumRegKey $R2 HKLM "${LAYOUTS_KEY}" $R1
    ${If} $R2 == ""
      ${Break}
    ${EndIf}
    ReadRegStr $R3 HKLM "${LAYOUTS_KEY}\$R2" "Ime File"
    ${If} $R3 == "tovi.ime"
      StrCpy $R0 $R2
      ${Break}
    ${EndIf}
    IntOp $R1 $R1 + 1
  ${Loop}
  Pop $R3
  Pop $R2
  Pop $R1
FunctionEnd
!macroend
!insertmacro FindLayout ""
!insertmacro FindLayout "un."

; Closes every running companion of this session (its windows' class is TFormVemoraScreen) and
; waits, a bounded time, for its process to end, so that its program file can be replaced or
; removed now rather than at the next restart.
!macro CloseCompanion UN
Function ${UN}CloseCompanion
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 0
  ${Do}
    FindWindow $0 "TFormVemoraScreen"
    ${If} $0 == 0
    ${OrIf} $3 >= 20
      ${Break}
    ${EndIf}
    IntOp $3 $3 + 1
    StrCpy $1 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    DetailPrint "关闭${COMPANION}"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 5000) i'
      System::Call 'kernel32::CloseHandle(p r2) i'
    ${EndIf}
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro CloseCompanion ""
!insertmacro CloseCompanion "un."

; The numbered values of the current user's HKCU\Keyboard Layout\Preload: the highest number in
; $R1 (0 when there are none), and in $R2 the number of one whose layout is $R0, or "".
!macro PreloadScan UN
Function ${UN}PreloadScan
  Push $0
  Push $1
  Push $2
  StrCpy $R1 0
  StrCpy $R2 ""
  StrCpy $0 0
  ${Do}
    EnumRegValue $1 HKCU "${PRELOAD_KEY}" $0
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    IntOp $0 $0 + 1
    ; Only the numbered values make the list.
    IntOp $2 $1 + 0
    ${If} "$2" != "$1"
    ${OrIf} $2 < 1
      ${Continue}
    ${EndIf}
    ${If} $2 > $R1
      StrCpy $R1 $2
    ${EndIf}
    ReadRegStr $2 HKCU "${PRELOAD_KEY}" $1
    ${If} $2 == $R0
      StrCpy $R2 $1
    ${EndIf}
  ${Loop}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro PreloadScan ""
!insertmacro PreloadScan "un."

; Calls input.dll's InstallLayoutOrTip for layout $R0 with the flags on the stack; $R1 is "done"
; when it did, "" where Windows has no such function (as under Wine).
!macro InputListCall UN
Function ${UN}InputListCall
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $R1 ""
  ; The list names a layout by its language (the KLID's low word, 0804 for Chinese in the PRC)
  ; and its KLID.
  StrCpy $4 $R0 4 -4
  System::Call 'kernel32::LoadLibraryW(w "input.dll") p .r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::GetProcAddress(p r1, m "InstallLayoutOrTip") p .r2'
    ${If} $2 P<> 0
      System::Call '::$2(w "$4:$R0", i r0) i .r3'
      StrCpy $R1 "done"
      ${If} $3 == 0
        DetailPrint "无法更改输入法列表"
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::FreeLibrary(p r1)'
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro InputListCall ""
!insertmacro InputListCall "un."

; Puts layout $R0 into the installing user's input list, once, so that it shows in the language
; bar straight away: through Windows' own function where it exists, otherwise as the next numbered
; value of the user's Preload list.
Function AddToInputList
  Push $R1
  Push $R2
  Push 0
  Call InputListCall
  ${If} $R1 == ""
    Call PreloadScan
    ${If} $R2 == ""
      IntOp $R1 $R1 + 1
      WriteRegStr HKCU "${PRELOAD_KEY}" $R1 $R0
    ${EndIf}
  ${EndIf}
  Pop $R2
  Pop $R1
FunctionEnd

; Takes layout $R0 out of the user's input list: through Windows' function where it exists,
; otherwise the Preload values that name it go and the ones after them move up, leaving no gap.
Function un.RemoveFromInputList
  Push $R1
  Push $R2
  Push $0
  Push $1
  Push $2
  Push ${ILOT_UNINSTALL}
  Call un.InputListCall
  ${If} $R1 == ""
    Call un.PreloadScan
    ; $0 reads each number in turn, $1 is the number it moves to.
    StrCpy $0 1
    StrCpy $1 1
    ${DoWhile} $0 <= $R1
      ClearErrors
      ReadRegStr $2 HKCU "${PRELOAD_KEY}" $0
      ${IfNot} ${Errors}
        ${If} $2 == $R0
          DeleteRegValue HKCU "${PRELOAD_KEY}" $0
        ${Else}
          ${If} $1 != $0
            WriteRegStr HKCU "${PRELOAD_KEY}" $1 $2
            DeleteRegValue HKCU "${PRELOAD_KEY}" $0
          ${EndIf}
          IntOp $1 $1 + 1
        ${EndIf}
      ${EndIf}
      IntOp $0 $0 + 1
    ${Loop}
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
  Pop $R2
  Pop $R1
FunctionEnd

; The Text Services Framework front end (tovi_tsf.dll), for the applications that load no IMM32
; module (Store applications, the Start menu's search, Settings): beside the modules, in both
; bitnesses, each registered by a process of its own bitness. 64-bit: loaded into this (64-bit)
; installer; 32-bit: SysWOW64's regsvr32, which writes the 32-bit registry view. Its sections come
; first, so that the uninstaller's last act is still the removal of uninstall.exe, which callers
; wait for.
!if /FileExists "${STAGE}\x64\tovi_tsf.dll"
Section "tovi text service"
  SetRegView 64
  SetOutPath "$SYSDIR"
  !insertmacro ReplaceFile "${STAGE}\x64\tovi_tsf.dll" "$SYSDIR\tovi_tsf.dll"
  SetOutPath "$WINDIR\SysWOW64"
  !insertmacro ReplaceFile "${STAGE}\x86\tovi_tsf.dll" "$WINDIR\SysWOW64\tovi_tsf.dll"
  SetOutPath "$INSTDIR"
  ClearErrors
  RegDLL "$SYSDIR\tovi_tsf.dll"
  ${If} ${Errors}
    DetailPrint "无法注册 64 位文本服务"
  ${EndIf}
  ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" /s "$WINDIR\SysWOW64\tovi_tsf.dll"' $0
  ${If} $0 != 0
    DetailPrint "无法注册 32 位文本服务"
  ${EndIf}
SectionEnd

Section "un.tovi text service"
  SetRegView 64
  UnRegDLL "$SYSDIR\tovi_tsf.dll"
  ExecWait '"$WINDIR\SysWOW64\regsvr32.exe" /s /u "$WINDIR\SysWOW64\tovi_tsf.dll"'
  Delete /REBOOTOK "$SYSDIR\tovi_tsf.dll"
  Delete /REBOOTOK "$WINDIR\SysWOW64\tovi_tsf.dll"
SectionEnd
!endif

Section "tovi"
  SetRegView 64

  ; The modules: 64-bit processes load from System32, 32-bit ones from SysWOW64.
  SetOutPath "$SYSDIR"
  !insertmacro ReplaceFile "${STAGE}\x64\tovi.ime" "$SYSDIR\tovi.ime"
  SetOutPath "$WINDIR\SysWOW64"
  !insertmacro ReplaceFile "${STAGE}\x86\tovi.ime" "$WINDIR\SysWOW64\tovi.ime"

  SetOutPath "$INSTDIR"
  ; The user's settings and code tables (they hold the words the user made) survive an upgrade.
  SetOverwrite off
  File "${STAGE}\files\config.ini"
  File "${STAGE}\files\toviwb.mb"
  File "${STAGE}\files\tovipy.mb"
  SetOverwrite on
  File "${STAGE}\files\codePyMain.pmt"
  File "${STAGE}\files\vemoraPY.pmt"
  File "${STAGE}\files\vemoraSP.pmt"
  File "${STAGE}\files\deduSPNum.pi"
  File "${STAGE}\files\tovi.bmp"
  File "${STAGE}\files\tovi_cand.bmp"
  File "${STAGE}\files\tovi.chm"
  ; The companion and its dictionary, and the code reference made from that dictionary.
  !if /FileExists "${STAGE}\files\PVemoraScreen.exe"
  Call CloseCompanion
  !insertmacro ReplaceFile "${STAGE}\files\PVemoraScreen.exe" "$INSTDIR\PVemoraScreen.exe"
  File "${STAGE}\files\dict.txt"
  !endif
  !if /FileExists "${STAGE}\files\codefind.chm"
  File "${STAGE}\files\codefind.chm"
  !endif
  SetOutPath "$INSTDIR\skin"
  File "${STAGE}\files\skin\*.bmp"
  SetOutPath "$INSTDIR"

  ; Both registry views: a 32-bit process reads the 32-bit one.
  WriteRegStr HKLM "${SETTINGS_KEY}" "INSTALL_PATH" "$INSTDIR"
  SetRegView 32
  WriteRegStr HKLM "${SETTINGS_KEY}" "INSTALL_PATH" "$INSTDIR"
  SetRegView 64

  ; The keyboard layout, once: an upgrade keeps the one the user already has.
  Call FindLayout
  ${If} $R0 == ""
    SetOutPath "$SYSDIR"
    System::Call 'imm32::ImmInstallIMEW(w "tovi.ime", w "${LAYOUT_TEXT}") p .r0'
    SetOutPath "$INSTDIR"
    ${If} $0 P= 0
      DetailPrint "无法注册键盘布局"
      SetErrors
    ${EndIf}
    Call FindLayout
  ${EndIf}
  ${If} $R0 != ""
    Call AddToInputList
  ${EndIf}

  ; The companion in its resident mode (no arguments): a Start-menu shortcut for everyone, and
  ; for the installing user, when chosen, a start at logon.
  !if /FileExists "${STAGE}\files\PVemoraScreen.exe"
  SetShellVarContext all
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${COMPANION}.lnk" "$INSTDIR\PVemoraScreen.exe" "" \
    "$INSTDIR\PVemoraScreen.exe" 0
  SetShellVarContext current
  ${If} $AutoStart == ${BST_CHECKED}
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\PVemoraScreen.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  !endif

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "tovi"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\PVemoraScreen.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function .onInit
  SetRegView 64
  StrCpy $AutoStart ${BST_UNCHECKED}
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 != ""
    StrCpy $AutoStart ${BST_CHECKED}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    StrCpy $AutoStart ${BST_CHECKED}
  ${EndIf}
FunctionEnd

Function CompanionPage
  !insertmacro MUI_HEADER_TEXT "${COMPANION}" "显示字词的输入编码和说明。"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "${COMPANION}常驻在通知区域，显示鼠标指向的字的编码。开始菜单中的“${COMPANION}”随时可以启动它。"
  Pop $0
  ${NSD_CreateCheckbox} 0 42u 100% 12u "登录 Windows 时启动${COMPANION}"
  Pop $AutoStartBox
  ${NSD_SetState} $AutoStartBox $AutoStart
  nsDialogs::Show
FunctionEnd

Function CompanionPageLeave
  ${NSD_GetState} $AutoStartBox $AutoStart
FunctionEnd

; The uninstaller asks whether the user's words and settings go too: the user's own folder
; %APPDATA%\tovi and the code tables of the installation folder (older versions kept the words
; there). A silent uninstall keeps them unless /REMOVEUSERDATA is given.
Var RemoveUserData
Var RemoveUserDataBox

Function un.onInit
  SetRegView 64
  StrCpy $RemoveUserData ${BST_UNCHECKED}
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVEUSERDATA" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveUserData ${BST_CHECKED}
  ${EndIf}
FunctionEnd

Function un.UserDataPage
  !insertmacro MUI_HEADER_TEXT "我的词和设置" "您造的词、调过的字词顺序和您的设置保存在您的用户文件夹中。"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 12u "同时删除我造的词和我的设置"
  Pop $RemoveUserDataBox
  ${NSD_SetState} $RemoveUserDataBox $RemoveUserData
  nsDialogs::Show
FunctionEnd

Function un.UserDataPageLeave
  ${NSD_GetState} $RemoveUserDataBox $RemoveUserData
FunctionEnd

Section "Uninstall"
  SetRegView 64
  Call un.FindLayout
  ${If} $R0 != ""
    Call un.RemoveFromInputList
    DeleteRegKey HKLM "${LAYOUTS_KEY}\$R0"
  ${EndIf}

  SetShellVarContext all
  Delete "${MENU_FOLDER}\${COMPANION}.lnk"
  RMDir "${MENU_FOLDER}"
  SetShellVarContext current
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"

  Delete /REBOOTOK "$SYSDIR\tovi.ime"
  Delete /REBOOTOK "$WINDIR\SysWOW64\tovi.ime"

  Delete "$INSTDIR\config.ini"
  Delete "$INSTDIR\codePyMain.pmt"
  Delete "$INSTDIR\vemoraPY.pmt"
  Delete "$INSTDIR\vemoraSP.pmt"
  Delete "$INSTDIR\deduSPNum.pi"
  Delete "$INSTDIR\tovi.bmp"
  Delete "$INSTDIR\tovi_cand.bmp"
  Delete "$INSTDIR\tovi.chm"
  Delete "$INSTDIR\codefind.chm"
  Delete "$INSTDIR\dict.txt"
  Call un.CloseCompanion
  Delete /REBOOTOK "$INSTDIR\PVemoraScreen.exe"
  Delete "$INSTDIR\skin\*.bmp"
  RMDir "$INSTDIR\skin"
  ${If} $RemoveUserData == ${BST_CHECKED}
    Delete "$INSTDIR\toviwb.mb"
    Delete "$INSTDIR\tovipy.mb"
    SetShellVarContext current
    RMDir /r "$APPDATA\tovi"
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${SETTINGS_KEY}"
  SetRegView 32
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  SetRegView 64
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
