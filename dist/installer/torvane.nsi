; Torvane's installer for one user: no administrator rights, the program in
; %LOCALAPPDATA%\Programs\Torvane (a folder it may write), a Start-menu shortcut,
; an entry under the user's installed programs, and an uninstaller.
; Built by scripts/package-installer.py with makensis -INPUTCHARSET UTF8 and
;   -DVERSION=2.6 -DWIDTH=win64|win32 -DSTAGE=<folder of the files> -DOUTFILE=<setup.exe>
; Silent use: setup.exe /S [/STARTWITHWINDOWS] [/NOZBAR]; uninstall.exe /S [/REMOVEDATA] [/REMOVESETTINGS]

Unicode true
!if "${WIDTH}" == "win64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Torvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvane"
!define SETTINGS_KEY "Software\Torvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The main window's class (src/app/control_classes.h).
!define MAIN_WINDOW_CLASS "TorvaneMainForm"
; The names of the ZBar files copied beside Torvane.exe, one a line, for the uninstaller.
!define ZBAR_LIST "zbar-files.txt"
!include "zbar.nsh"

Name "Torvane ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Torvane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Torvane ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "Torvane"
VIAddVersionKey /LANG=2052 "FileDescription" "Torvane ${VERSION} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright (c) 2026 The Torvane developers"

!define MUI_ICON "${STAGE}\torvane.ico"
!define MUI_UNICON "${STAGE}\torvane.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "本向导将把 Torvane ${VERSION} 安装到您的用户文件夹，无需管理员权限。$\r$\n$\r$\nTorvane 用 ZBar 的程序识别条码：如果电脑上已安装 ZBar，安装程序会询问是否把它的文件复制到 Torvane 文件夹。$\r$\n$\r$\n点击 [下一步(N)] 继续。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; The finish page's two boxes: start now, and start with Windows.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "现在启动 Torvane"
!define MUI_FINISHPAGE_RUN_FUNCTION StartNow
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "开机时启动 Torvane"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION StartWithWindows
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; What the start-with-Windows box of Torvane writes (settings_panel.cpp): the
; quoted path and RUN, which starts it hidden.
!define RUN_COMMAND '"$INSTDIR\Torvane.exe" RUN'

; Asks a running Torvane.exe of this folder to quit as 退出 does and ends the
; decoders started from this folder; waits until it has done so.
!macro EndRunningTorvane
  ${If} ${FileExists} "$INSTDIR\Torvane.exe"
    DetailPrint "正在结束运行中的 Torvane……"
    ExecWait '"$INSTDIR\Torvane.exe" QUIT'
  ${EndIf}
!macroend

Function StartWithWindows
  WriteRegStr HKCU "${RUN_KEY}" "Torvane" '${RUN_COMMAND}'
FunctionEnd

Function StartNow
  ; The box below is handled after this one: write the entry first, so that
  ; Torvane shows 开机时启动程序 checked from its first start.
  ${NSD_GetState} $mui.FinishPage.ShowReadme $0
  ${If} $0 == ${BST_CHECKED}
    Call StartWithWindows
  ${EndIf}
  Exec '"$INSTDIR\Torvane.exe"'
FunctionEnd

Section "Torvane" SectionProgram
  SectionIn RO
  SetShellVarContext current
  !insertmacro EndRunningTorvane
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}\Torvane.exe"
  File "${STAGE}\使用说明.txt"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Torvane.lnk" "$INSTDIR\Torvane.exe" "" "$INSTDIR\Torvane.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Torvane ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Torvane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Torvane developers"
  ; Torvane reads this to know it was installed for this user only (startup_entries.h).
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/STARTWITHWINDOWS" $R1
  ${IfNot} ${Errors}
    Call StartWithWindows
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/NOZBAR" $R1
  ${If} ${Errors}
    !insertmacro OfferInstalledZbar
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro EndRunningTorvane
  ${GetParameters} $R0

  Delete "$INSTDIR\Torvane.exe"
  Delete "$INSTDIR\使用说明.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  ; What Torvane writes into its folder while it runs.
  Delete "$INSTDIR\bar.dat"
  Delete "$INSTDIR\bar2.dat"
  Delete "$INSTDIR\bar2-image.*"
  !insertmacro RemoveCopiedZbarFiles

  ClearErrors
  ${GetOptions} $R0 "/REMOVEDATA" $R1
  ${IfNot} ${Errors}
    StrCpy $R2 ${IDYES}
  ${Else}
    StrCpy $R2 ${IDNO}
    ${If} ${FileExists} "$INSTDIR\data.txt"
    ${OrIf} ${FileExists} "$INSTDIR\scans.csv"
      MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "是否同时删除扫码记录（data.txt 和 scans.csv）？$\r$\n选择 [否] 将保留它们在：$INSTDIR" /SD IDNO IDNO +2
      StrCpy $R2 ${IDYES}
    ${EndIf}
  ${EndIf}
  ${If} $R2 == ${IDYES}
    Delete "$INSTDIR\data.txt"
    Delete "$INSTDIR\scans.csv"
  ${EndIf}

  ; The start-with-Windows entry, when it is this copy's.
  ReadRegStr $R3 HKCU "${RUN_KEY}" "Torvane"
  ${If} $R3 == '${RUN_COMMAND}'
    DeleteRegValue HKCU "${RUN_KEY}" "Torvane"
  ${EndIf}

  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${Else}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "是否同时删除 Torvane 的设置（HKEY_CURRENT_USER\${SETTINGS_KEY}）？" /SD IDNO IDNO +2
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${EndIf}

  Delete "$SMPROGRAMS\Torvane.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files of the user's own stay.
  RMDir "$INSTDIR"
SectionEnd
