; The Windows installer: per user, no administrator rights, a Start-menu entry and an uninstaller.
; scripts/package-windows.sh writes programs.nsh (the files to install) and passes
; VERSION, STAGE (the folder holding the files) and OUTFILE.
; A 64-bit installer: the programs are 64-bit, and Wine without its 32-bit half runs it too.
Target amd64-unicode
!include "MUI2.nsh"
!include "LogicLib.nsh"

!define APPNAME "Velor Bootloader"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelorBootloader"

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${APPNAME}"
InstallDirRegKey HKCU "Software\Velor\Bootloader" "InstallDir"
SetCompressor /SOLID lzma

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Ukrainian"
!insertmacro MUI_LANGUAGE "English"

!include "${STAGE}\programs.nsh"

; The window's class and title: what tells a running velor-bootloader.exe from other programs.
!define WINDOW_CLASS "TMainForm"
!define WINDOW_TITLE "KALMIRA-5K-2 Bootloader (від 04.10.24)"
LangString RunningText ${LANG_UKRAINIAN} "${APPNAME} зараз працює. Закрийте програму (якщо йде запис, дочекайтеся його завершення) і натисніть «Повторити»."
LangString RunningText ${LANG_ENGLISH} "${APPNAME} is running. Close it (let a running write finish first), then press Retry."

; A running program keeps its files: an uninstall would leave them behind without its entry, and
; an install could not replace them. Asks to close it first; a silent run stops with exit code 2.
!macro VelorRefuseWhileRunning
    ${Do}
        FindWindow $0 "${WINDOW_CLASS}" "${WINDOW_TITLE}"
        ${If} $0 == 0
            ${Break}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(RunningText)" /SD IDCANCEL IDRETRY +3
        SetErrorLevel 2
        Abort
    ${Loop}
!macroend

Function .onInit
    !insertmacro VelorRefuseWhileRunning
FunctionEnd

Function un.onInit
    !insertmacro VelorRefuseWhileRunning
FunctionEnd

Section "Install"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    !insertmacro VelorInstallFiles
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateDirectory "$SMPROGRAMS\${APPNAME}"
    !insertmacro VelorShortcuts
    ; The readme in the system's language: Ukrainian on a Ukrainian Windows.
    ${If} $LANGUAGE == ${LANG_UKRAINIAN}
        CreateShortcut "$SMPROGRAMS\${APPNAME}\README.lnk" "$INSTDIR\README-uk.txt"
    ${Else}
        CreateShortcut "$SMPROGRAMS\${APPNAME}\README.lnk" "$INSTDIR\README-en.txt"
    ${EndIf}
    CreateShortcut "$SMPROGRAMS\${APPNAME}\Видалити ${APPNAME}.lnk" "$INSTDIR\Uninstall.exe"
    WriteRegStr HKCU "Software\Velor\Bootloader" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APPNAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Velor"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    !insertmacro VelorRemoveFiles
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    RMDir /r "$SMPROGRAMS\${APPNAME}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "Software\Velor\Bootloader"
    DeleteRegKey /ifempty HKCU "Software\Velor"
SectionEnd
