; The Windows installer, made by scripts/windows-build.sh with makensis:
;   makensis -DVERSION=1.0 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> tunedeck.nsi
; It installs for the current user (no administrator needed; the default, and what /S
; does) or for all users (/AllUsers, run as an administrator). Tunedeck keeps the
; player's files (Tunedeck.ini, the reference copies, the save history) in
; %LOCALAPPDATA%\Tunedeck, never in the installation folder; the uninstaller removes only
; the files it installed, so those stay.

Unicode true
; A 64-bit installer for a 64-bit program; it also runs where Wine has no 32-bit part.
Target amd64-unicode
!define APP "Tunedeck"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tunedeck"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
; Per user by default; /AllUsers needs the installer to be run as an administrator.
RequestExecutionLevel user
SetCompressor /SOLID lzma
InstallDir "$LOCALAPPDATA\Programs\${APP}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var Mode ; "/AllUsers" or "/CurrentUser", passed on to the uninstaller

!macro ChooseMode UN
Function ${UN}ChooseMode
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AllUsers" $1
  ${If} ${Errors}
    StrCpy $Mode "/CurrentUser"
    SetShellVarContext current
  ${Else}
    StrCpy $Mode "/AllUsers"
    SetShellVarContext all
  ${EndIf}
FunctionEnd
!macroend
!insertmacro ChooseMode ""
!insertmacro ChooseMode "un."

Function .onInit
  Call ChooseMode
  ${If} $Mode == "/AllUsers"
    StrCpy $INSTDIR "$PROGRAMFILES64\${APP}"
  ${EndIf}
FunctionEnd

Function un.onInit
  Call un.ChooseMode
FunctionEnd

Section "Tunedeck"
  SetOutPath "$INSTDIR"
  File "${STAGE}\tunedeck.exe"
  File "${STAGE}\tunedeck-cli.exe"
  File "${STAGE}\README.md"
  SetOutPath "$INSTDIR\licences"
  File "${STAGE}\licences\*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The working folder is the player's own folder, so that is where the program starts.
  CreateShortcut "$SMPROGRAMS\Tunedeck.lnk" "$INSTDIR\tunedeck.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Tunedeck"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Tunedeck developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" $Mode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" $Mode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; Only what the installer put there; a folder that still holds anything else stays.
  Delete "$INSTDIR\tunedeck.exe"
  Delete "$INSTDIR\tunedeck-cli.exe"
  Delete "$INSTDIR\README.md"
  !include "${UNINSTALL_LIST}"
  RMDir "$INSTDIR\licences"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tunedeck.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
