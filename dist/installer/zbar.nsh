; An installed ZBar, found and offered as Torvane itself does (src/core/zbar_finder.h):
; the folder its Uninstall entry names (ZBar 0.10's installer writes InstallLocation
; in quotes, and its uninstaller's path), then ZBar in the Program Files folders the
; environment names (64-bit first); its bin folder counts when it holds zbarcam.exe
; or zbarimg.exe. Under Wine, $PROGRAMFILES32 of a 64-bit installer names the 64-bit
; folder, hence the environment.
; The files copied are listed in ${ZBAR_LIST}, so that the uninstaller removes those only.

!define ZBAR_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZBar"

Var ZbarBin

; $0: a folder as a registry value holds it, perhaps quoted; out: $0 unquoted, no
; trailing backslash.
Function UnquoteFolder
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
  ${EndIf}
  StrCpy $1 $0 1 -1
  ${If} $1 == '"'
    StrCpy $0 $0 -1
  ${EndIf}
  StrCpy $1 $0 1 -1
  ${If} $1 == "\"
    StrCpy $0 $0 -1
  ${EndIf}
FunctionEnd

; $0: a ZBar folder; sets $ZbarBin to its bin folder when that holds a decoder.
Function TakeZbarFolder
  ${If} $ZbarBin != ""
  ${OrIf} $0 == ""
    Return
  ${EndIf}
  ${If} ${FileExists} "$0\bin\zbarcam.exe"
  ${OrIf} ${FileExists} "$0\bin\zbarimg.exe"
    StrCpy $ZbarBin "$0\bin"
  ${EndIf}
FunctionEnd

; The ZBar that the Uninstall entry under `root` (HKCU or HKLM, in the current view) names.
!macro TakeZbarUninstallEntry root
  ReadRegStr $0 ${root} "${ZBAR_UNINSTALL_KEY}" "InstallLocation"
  Call UnquoteFolder
  Call TakeZbarFolder
  ReadRegStr $0 ${root} "${ZBAR_UNINSTALL_KEY}" "UninstallString"
  ${If} $0 != ""
    Call UnquoteFolder
    ${GetParent} $0 $0
    Call TakeZbarFolder
  ${EndIf}
!macroend

!macro TakeZbarInProgramFiles variable
  ReadEnvStr $0 "${variable}"
  ${If} $0 != ""
    Call UnquoteFolder
    StrCpy $0 "$0\ZBar"
    Call TakeZbarFolder
  ${EndIf}
!macroend

Function FindZbarBin
  StrCpy $ZbarBin ""
  !insertmacro TakeZbarUninstallEntry HKCU
  SetRegView 64
  !insertmacro TakeZbarUninstallEntry HKLM
  SetRegView 32
  !insertmacro TakeZbarUninstallEntry HKLM
  SetRegView default
  !insertmacro TakeZbarInProgramFiles "ProgramW6432"
  !insertmacro TakeZbarInProgramFiles "ProgramFiles"
  !insertmacro TakeZbarInProgramFiles "ProgramFiles(x86)"
FunctionEnd

; Copies every file of $ZbarBin beside Torvane.exe and lists it in ${ZBAR_LIST}.
Function CopyZbarFiles
  FileOpen $R7 "$INSTDIR\${ZBAR_LIST}" a
  FindFirst $R5 $R6 "$ZbarBin\*"
  ${DoWhile} $R6 != ""
    ${IfNot} ${FileExists} "$ZbarBin\$R6\*.*"
      DetailPrint "复制 $R6"
      CopyFiles /SILENT "$ZbarBin\$R6" "$INSTDIR"
      FileWrite $R7 "$R6$\r$\n"
    ${EndIf}
    FindNext $R5 $R6
  ${Loop}
  FindClose $R5
  FileClose $R7
FunctionEnd

!macro OfferInstalledZbar
  ${IfNot} ${FileExists} "$INSTDIR\zbarcam.exe"
  ${OrIfNot} ${FileExists} "$INSTDIR\zbarimg.exe"
    Call FindZbarBin
    ${If} $ZbarBin != ""
      ; The answer is kept where Torvane keeps its own (kZbarCopyAnswerSetting), so
      ; that Torvane does not ask again.
      MessageBox MB_YESNO|MB_ICONQUESTION "找到已安装的 ZBar：$ZbarBin，是否复制到 Torvane 文件夹？" /SD IDYES IDNO zbar_declined
        WriteRegStr HKCU "Software\Torvane\Setting" "ZBarCopyAnswer" "1"
        Call CopyZbarFiles
        Goto zbar_offered
      zbar_declined:
        WriteRegStr HKCU "Software\Torvane\Setting" "ZBarCopyAnswer" "0"
      zbar_offered:
    ${Else}
      DetailPrint "未找到已安装的 ZBar：请安装 ZBar，并把它 bin 文件夹中的文件复制到 $INSTDIR"
    ${EndIf}
  ${EndIf}
!macroend

; $R6: a name from ${ZBAR_LIST}; $R8 is 1 when it is a bare file name (no folder,
; no drive, not . or ..), so that the list cannot reach outside the folder.
Function un.IsBareName
  StrCpy $R8 1
  ${If} $R6 == ""
  ${OrIf} $R6 == "."
  ${OrIf} $R6 == ".."
    StrCpy $R8 0
    Return
  ${EndIf}
  StrCpy $R9 0
  ${Do}
    StrCpy $1 $R6 1 $R9
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    ${If} $1 == "\"
    ${OrIf} $1 == "/"
    ${OrIf} $1 == ":"
      StrCpy $R8 0
      ${Break}
    ${EndIf}
    IntOp $R9 $R9 + 1
  ${Loop}
FunctionEnd

!macro RemoveCopiedZbarFiles
  ClearErrors
  FileOpen $R5 "$INSTDIR\${ZBAR_LIST}" r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileRead $R5 $R6
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ${Do}
        StrCpy $1 $R6 1 -1
        ${If} $1 == "$\r"
        ${OrIf} $1 == "$\n"
          StrCpy $R6 $R6 -1
        ${Else}
          ${Break}
        ${EndIf}
      ${Loop}
      Call un.IsBareName
      ${If} $R8 == 1
        Delete "$INSTDIR\$R6"
      ${EndIf}
    ${Loop}
    FileClose $R5
  ${EndIf}
  Delete "$INSTDIR\${ZBAR_LIST}"
!macroend
