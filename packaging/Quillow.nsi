; The per-user installer: no administrator rights, files under
; %LOCALAPPDATA%\Programs\Quillow, a Start-menu shortcut and an entry in
; "Apps & features". scripts/dist builds it with
;   makensis -DVERSION=... -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe>
; Quillow's settings live in HKCU\Software\Orvane\Quillow, which installing
; never touches, so an update keeps them.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT "Orvane Quillow Veil Key"
!define FRAME_CLASS "WTL_QuillowFrame"
!define ID_TRAY_EXIT 32780 ; the tray menu's "Exit": saves the settings, then ends
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillow"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Quillow"
!define SETTINGS_KEY "Software\Orvane\Quillow"
!define MAKER_KEY "Software\Orvane"
!define SYNCHRONIZE 0x00100000

Name "Quillow"
Caption "Quillow ${VERSION} Setup"
BrandingText "Orvane"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quillow"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "Orvane"
VIAddVersionKey "FileDescription" "Quillow ${VERSION} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright © 2026 Orvane Software."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quillow.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Quillow now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartQuillow

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var WasRunning

; Ends a running Quillow the way its tray menu does, so that it saves its
; settings and switches back if it is on its private desktop, and waits for
; the process itself to end: only then are its files free to replace.
!macro DEFINE_END_RUNNING prefix
Function ${prefix}EndRunningQuillow
    StrCpy $WasRunning 0
    FindWindow $0 "${FRAME_CLASS}"
    ${If} $0 == 0
        Return
    ${EndIf}
    StrCpy $WasRunning 1
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
    SendMessage $0 ${WM_COMMAND} ${ID_TRAY_EXIT} 0 /TIMEOUT=10000
    ${If} $2 P<> 0
        System::Call 'kernel32::WaitForSingleObject(p r2, i 15000) i .r3'
        System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    ; The watchdog ends a moment after Quillow; its file is in use until then.
    Push "$INSTDIR\QuillowWatch.exe"
    Call ${prefix}WaitUntilWritable
    Push "$INSTDIR\Quillow.exe"
    Call ${prefix}WaitUntilWritable
FunctionEnd

; Waits, up to ten seconds, until no running program holds the file on the
; stack: a running program's file cannot be opened for writing.
Function ${prefix}WaitUntilWritable
    Exch $R0
    Push $R1
    Push $R2
    StrCpy $R1 0
    ${DoWhile} ${FileExists} $R0
        ClearErrors
        FileOpen $R2 $R0 a
        ${IfNot} ${Errors}
            FileClose $R2
            ${Break}
        ${EndIf}
        IntOp $R1 $R1 + 1
        ${If} $R1 >= 100
            ${Break}
        ${EndIf}
        Sleep 100
    ${Loop}
    Pop $R2
    Pop $R1
    Pop $R0
FunctionEnd
!macroend
!insertmacro DEFINE_END_RUNNING ""
!insertmacro DEFINE_END_RUNNING "un."

Function StartQuillow
    ; Started by the installer already when it replaced a running one.
    ${If} $WasRunning == 0
        Exec '"$INSTDIR\Quillow.exe"'
    ${EndIf}
FunctionEnd

Section "Quillow"
    SetShellVarContext current
    Call EndRunningQuillow
    SetOutPath "$INSTDIR"
    File "${STAGE}/Quillow.exe"
    File "${STAGE}/HookLib.dll"
    File "${STAGE}/QuillowWatch.exe"
    File "${STAGE}/README.txt"
    File "${STAGE}/LICENSE.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Quillow.lnk" "$INSTDIR\Quillow.exe" "" "$INSTDIR\Quillow.exe" 0 \
        SW_SHOWNORMAL "" "Hide everything on the screen at once"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quillow"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Orvane"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quillow.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; The one that was running comes back, now the new one, also when
    ; installed silently.
    ${If} $WasRunning == 1
        Exec '"$INSTDIR\Quillow.exe"'
    ${EndIf}
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Call un.EndRunningQuillow
    ; A file a closing program still holds is tried again, for a few seconds.
    StrCpy $R3 0
    ${Do}
        Delete "$INSTDIR\Quillow.exe"
        Delete "$INSTDIR\HookLib.dll"
        Delete "$INSTDIR\QuillowWatch.exe"
        Delete "$INSTDIR\README.txt"
        Delete "$INSTDIR\LICENSE.txt"
        Delete "$INSTDIR\Uninstall.exe"
        RMDir "$INSTDIR"
        IntOp $R3 $R3 + 1
        ${If} ${FileExists} "$INSTDIR\*.*"
        ${AndIf} $R3 < 25
            Sleep 200
        ${Else}
            ${Break}
        ${EndIf}
    ${Loop}
    Delete "$SMPROGRAMS\Quillow.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; After Quillow has ended: its own save writes the start-up entry again.
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"

    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/PURGE" $R1
    ${IfNot} ${Errors}
        Call un.RemoveSettings
    ${Else}
        MessageBox MB_YESNO|MB_ICONQUESTION \
            "Keep your Quillow settings (triggers, passwords and actions) for a later install?" \
            /SD IDYES IDYES kept
        Call un.RemoveSettings
        kept:
    ${EndIf}
SectionEnd

Function un.RemoveSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
FunctionEnd
