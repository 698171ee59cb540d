; The Windows installer of Tessaro: installs the deployable folder into the
; program folder, adds a Start-menu shortcut and an entry in the list of
; installed programs, and writes an uninstaller. The uninstaller removes
; exactly what was installed: the user's tessaro.ini, logs and archives stay.
;
; makensis -DVERSION=<version> -DDEPLOY_DIR=<folder> -DFILE_LIST=<nsh>
;          -DICON=<tessaro.ico> -DOUTFILE=<setup.exe> tessaro.nsi

; A 64-bit installer for a 64-bit program; it also runs where no 32-bit
; subsystem is installed.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"

!define PRODUCT "Tessaro"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaro"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ManifestDPIAware true
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "(c) 2026 the Tessaro project"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\tessaro.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Tessaro"
    SetOutPath "$INSTDIR"
    File /r "${DEPLOY_DIR}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    SetShellVarContext all
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tessaro.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Tessaro project"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tessaro.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    ; Only what the installer put there; a folder that still holds the
    ; user's files is left in place.
    !include "${FILE_LIST}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
