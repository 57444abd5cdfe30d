; The Windows installer of Ryd Configurator, made by tools/windows.sh:
;   makensis -DVERSION=1.1.14 -DSTAGE=<folder of the portable form> -DOUTFILE=<setup.exe> installer.nsi
; Installs per machine under Program Files, adds a Start-menu entry, opens
; .ryd files in the program and registers the uninstaller. /S installs and
; uninstalls silently.
Unicode true
; A 64-bit installer for a 64-bit program; it also runs where only 64-bit Wine is.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"
!include "x64.nsh"

!define NAME "Ryd Configurator"
!define PUBLISHER "Morvell"
!define EXE "ryd-configurator.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\RydConfigurator"
!define PROGID "Morvell.RydConfigurator.Settings"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
InstallDirRegKey HKLM "Software\${PUBLISHER}\${NAME}" "InstallDir"
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${NAME} setup"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${STAGE}\ryd-configurator.ico"
!define MUI_UNICON "${STAGE}\ryd-configurator.ico"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
    SetRegView 64
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "${NAME} needs a 64-bit Windows." /SD IDOK
        Abort
    ${EndIf}
FunctionEnd

Section "Install"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    ; Every file of the portable form, listed by tools/windows.sh.
    !include "${STAGE}\..\installer-files.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "Software\${PUBLISHER}\${NAME}" "InstallDir" "$INSTDIR"

    ; The program writes its start-up file "test_ryd" in its working folder,
    ; which must not be Program Files: the entry starts it in a folder of the
    ; public documents, which every user may write. CreateShortcut takes the
    ; working folder from the output path.
    SetOutPath "$DOCUMENTS\${NAME}"
    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
    SetOutPath "$INSTDIR"

    ; A double click on a .ryd file opens it in the program, with its own icon.
    WriteRegStr HKLM "Software\Classes\.ryd" "" "${PROGID}"
    WriteRegStr HKLM "Software\Classes\${PROGID}" "" "Ryd settings file"
    WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\${EXE},1"
    WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${NAME}.lnk"
    ; The working folder goes when only the program's start-up file is in it;
    ; the operator's settings files stay.
    Delete "$DOCUMENTS\${NAME}\test_ryd"
    RMDir "$DOCUMENTS\${NAME}"
    !include "${STAGE}\..\uninstaller-files.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ; The file type only while it is still the program's own.
    ReadRegStr $0 HKLM "Software\Classes\.ryd" ""
    StrCmp $0 "${PROGID}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.ryd"
    DeleteRegKey HKLM "Software\Classes\${PROGID}"
    DeleteRegKey HKLM "Software\${PUBLISHER}\${NAME}"
    DeleteRegKey /ifempty HKLM "Software\${PUBLISHER}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
