; Nimbrel's installer: per user, no administrator rights. Built by tools/package with
;   makensis -DARCH=x64|x86 -DVERSION=1.2.3.4 -DEXE=<Nimbrel.exe> -DTHEMES=<folder> -DOUTFILE=<setup.exe>
; Silent use: Setup.exe /S installs with the start-up shortcut, Setup.exe /S /NOSTARTUP without it;
; Uninstall.exe /S removes the program and keeps the settings and themes. Over a newer installed version
; the setup refuses (a message, or exit code EXIT_DOWNGRADE when silent) unless run /S /ALLOWDOWNGRADE.
; An upgrade ends a running Nimbrel, which saves its settings, and a silent one starts it again after.
Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma
; No file times in the archive: two builds of one commit give the same installer.
SetDateSave off
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "WordFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel"
!define MAIN_WINDOW_CLASS "TFrmNimbrelMain"
; Package managers tell a refused downgrade by this code (the winget manifest names it).
!define EXIT_DOWNGRADE 3

Var RunningBefore

Name "Nimbrel"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Nimbrel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Nimbrel ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "Nimbrel"
VIAddVersionKey /LANG=2052 "CompanyName" "Vostrand"
VIAddVersionKey /LANG=2052 "FileDescription" "Nimbrel 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Vostrand"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Nimbrel.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
; The language file names the font by its Chinese name only; the English one finds the same font on
; every system, and its substitutes where it is missing.
SetFont /LANG=${LANG_SIMPCHINESE} "SimSun" 9

; A running Nimbrel is ended the way the end of the Windows session ends it, so that it saves its
; settings; then its file is free once the process is gone.
!macro DEFINE_CLOSE_RUNNING PREFIX
Function ${PREFIX}CloseRunning
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  ${If} $0 <> 0
    SendMessage $0 ${WM_QUERYENDSESSION} 0 0 $1 /TIMEOUT=5000
    SendMessage $0 ${WM_ENDSESSION} 1 0 $1 /TIMEOUT=5000
  ${EndIf}
  StrCpy $2 0
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 = 0
    ${AndIf} ${FileExists} "$INSTDIR\Nimbrel.exe"
      ClearErrors
      FileOpen $3 "$INSTDIR\Nimbrel.exe" a
      ${IfNot} ${Errors}
        FileClose $3
        ${Break}
      ${EndIf}
    ${ElseIf} $0 = 0
      ${Break}
    ${EndIf}
    Sleep 100
    IntOp $2 $2 + 1
  ${LoopUntil} $2 >= 100
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_RUNNING ""
!insertmacro DEFINE_CLOSE_RUNNING "un."

Section "Nimbrel" SecMain
  SectionIn RO
  SetShellVarContext current
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  ${If} $0 <> 0
    StrCpy $RunningBefore 1
  ${EndIf}
  Call CloseRunning
  SetOutPath "$INSTDIR"
  File "/oname=Nimbrel.exe" "${EXE}"
  ; The themes go where the installed program looks for them; the user's own files stay untouched.
  SetOutPath "$APPDATA\Vostrand\Nimbrel\Themes"
  SetOverwrite off
  File "${THEMES}\*.Nimbrel Theme"
  SetOverwrite on
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Nimbrel.lnk" "$INSTDIR\Nimbrel.exe"
  ; The start-up section puts it back when it is chosen.
  Delete "$SMSTARTUP\Nimbrel.lnk"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Nimbrel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Vostrand"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Nimbrel.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Windows 启动时运行 Nimbrel" SecStartup
  SetShellVarContext current
  CreateShortcut "$SMSTARTUP\Nimbrel.lnk" "$INSTDIR\Nimbrel.exe"
SectionEnd

Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NOSTARTUP" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecStartup}
  ${EndIf}
  ; Before anything is ended or written: a refused downgrade leaves the newer copy running as it was.
  ReadRegStr $R2 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $R2 != ""
    ${VersionCompare} "$R2" "${VERSION}" $R3
    ${If} $R3 = 1
      ClearErrors
      ${GetOptions} $R0 "/ALLOWDOWNGRADE" $R1
      ${If} ${Errors}
      ${OrIfNot} ${Silent}
        MessageBox MB_OK|MB_ICONSTOP "已安装较新版本的 Nimbrel ($R2)，不能用此旧版本 (${VERSION}) 覆盖它。$\r$\n$\r$\n如要换回旧版本，请先卸载已安装的 Nimbrel，再运行此安装程序。" /SD IDOK
        SetErrorLevel ${EXIT_DOWNGRADE}
        Quit
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

; The finish page offers to start the program; a silent upgrade puts back the copy it ended.
Function .onInstSuccess
  ${If} ${Silent}
  ${AndIf} $RunningBefore == 1
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Nimbrel.exe"'
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.CloseRunning
  Delete "$INSTDIR\Nimbrel.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Nimbrel.lnk"
  Delete "$SMSTARTUP\Nimbrel.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The settings file and the themes under the application-data folder are the user's: they stay.
SectionEnd
