; The Windows installer, made by scripts/windows-build.sh with makensis:
;   makensis -DVERSION=1.0 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> tunedeck.nsi
; It installs for the current user (no administrator needed; the default, and what /S
; does) or for all users (/AllUsers, or the choice on its first page). Tunedeck keeps the
; player's files (Tunedeck.ini, the reference copies, the save history) in
; %LOCALAPPDATA%\Tunedeck, never in the installation folder; the uninstaller removes only
; the files it installed, so those stay.

Unicode true
!define APP "Tunedeck"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tunedeck"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_USE_PROGRAMFILES64
!include MultiUser.nsh
!include MUI2.nsh
!include x64.nsh

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
SetCompressor /SOLID lzma

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
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
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
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
