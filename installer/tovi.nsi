; The tovi installer: the two input-method modules where 64-bit and 32-bit processes load them,
; the installation folder with the tables, pictures, help and the companion, the folder's name in
; both registry views, the keyboard layout, and an uninstaller. Made by scripts/make-installer.sh
; with -DVERSION=x.y.z -DSTAGE=<staged files> -DOUTFILE=<setup.exe>.
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

!define PRODUCT "tovi 输入法"
!define LAYOUT_TEXT "中文(简体) - tovi 输入法"
!define SETTINGS_KEY "Software\tovi"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\tovi"
!define LAYOUTS_KEY "SYSTEM\CurrentControlSet\Control\Keyboard Layouts"

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

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TEXT "${PRODUCT} 已经安装。在语言栏中选择“${LAYOUT_TEXT}”即可打字。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.TablesPage un.TablesPageLeave
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
    ${If} $0 == 0
      DetailPrint "无法注册键盘布局"
      SetErrors
    ${EndIf}
  ${EndIf}

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
FunctionEnd

; The uninstaller asks whether the code tables, with the words the user made, go too; a silent
; uninstall keeps them.
Var RemoveTables
Var RemoveTablesBox

Function un.onInit
  SetRegView 64
  StrCpy $RemoveTables ${BST_UNCHECKED}
FunctionEnd

Function un.TablesPage
  !insertmacro MUI_HEADER_TEXT "码表" "您造的词保存在码表中。"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 12u "同时删除码表（包括我造的词）"
  Pop $RemoveTablesBox
  nsDialogs::Show
FunctionEnd

Function un.TablesPageLeave
  ${NSD_GetState} $RemoveTablesBox $RemoveTables
FunctionEnd

Section "Uninstall"
  SetRegView 64
  Call un.FindLayout
  ${If} $R0 != ""
    DeleteRegKey HKLM "${LAYOUTS_KEY}\$R0"
  ${EndIf}

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
  Delete /REBOOTOK "$INSTDIR\PVemoraScreen.exe"
  Delete "$INSTDIR\skin\*.bmp"
  RMDir "$INSTDIR\skin"
  ${If} $RemoveTables == ${BST_CHECKED}
    Delete "$INSTDIR\toviwb.mb"
    Delete "$INSTDIR\tovipy.mb"
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${SETTINGS_KEY}"
  SetRegView 32
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  SetRegView 64
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; The Text Services Framework front end (tovi_tsf.dll), for the applications that load no IMM32
; module (Store applications, the Start menu's search, Settings): beside the modules, in both
; bitnesses, each registered by a process of its own bitness. 64-bit: loaded into this (64-bit)
; installer; 32-bit: SysWOW64's regsvr32, which writes the 32-bit registry view.
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
