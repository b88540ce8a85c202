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
; Quillow's main thread waits on this event (src/app/CExitRequestEvent.h):
; set, every Quillow of the session saves its settings and ends, asking
; nothing, from whichever desktop it is on.
!define EXIT_EVENT "Local\Orvane.Quillow.Exit"
; How long Quillow is given to end, in all.
!define END_WAIT_MS 15000
; Kept at 1 by Quillow while a DisableTaskMgr=1 that it wrote stands.
!define TASKMGR_MARK "TASKMGR_APPLIED"
!define POLICY_KEY "Software\Microsoft\Windows\CurrentVersion\Policies\System"
!define EVENT_MODIFY_STATE 0x0002
; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION: to wait, and to read the image path.
!define WAIT_AND_QUERY 0x00101000
!define TH32CS_SNAPPROCESS 0x2
; PROCESSENTRY32W on 64-bit Windows: its size, and where the process id and
; the file name lie in it.
!define PROCESSENTRY_SIZE 568
!define PROCESSENTRY_PID 8
!define PROCESSENTRY_EXE 44

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
Var ExitEvent

; Ends every running Quillow of this folder the way its tray menu's "Exit"
; does, so that it saves its settings, and waits for the processes
; themselves to end: only then are its files free to replace. When one
; cannot be ended it says so and stops Setup before anything is changed.
!macro DEFINE_END_RUNNING prefix
Function ${prefix}EndRunningQuillow
    StrCpy $WasRunning 0
    StrCpy $ExitEvent 0
    ; The event reaches Quillow on any desktop; a window only on this one.
    System::Call 'kernel32::OpenEventW(i ${EVENT_MODIFY_STATE}, i 0, w "${EXIT_EVENT}") p .r0'
    ${If} $0 P<> 0
        StrCpy $ExitEvent $0
        StrCpy $WasRunning 1
        System::Call 'kernel32::SetEvent(p r0)'
    ${Else}
        ; An older Quillow, which has no event, if its frame is on this desktop.
        FindWindow $0 "${FRAME_CLASS}"
        ${If} $0 <> 0
            StrCpy $WasRunning 1
            SendMessage $0 ${WM_COMMAND} ${ID_TRAY_EXIT} 0 /TIMEOUT=10000
        ${EndIf}
    ${EndIf}
    Call ${prefix}WaitForInstalledQuillow
    Pop $1
    ; Reset once we are done with it, whatever came of it: a Quillow started
    ; afterwards, the new one among them, must not read it as a request.
    ${If} $ExitEvent P<> 0
        System::Call 'kernel32::ResetEvent(p $ExitEvent)'
        System::Call 'kernel32::CloseHandle(p $ExitEvent)'
        StrCpy $ExitEvent 0
    ${EndIf}
    ${If} $1 == 0
        Call ${prefix}StopBecauseQuillowRuns
    ${EndIf}
    ; The watchdog ends a moment after Quillow; its file is in use until then.
    Push "$INSTDIR\QuillowWatch.exe"
    Call ${prefix}WaitUntilWritable
    Pop $1
    Push "$INSTDIR\Quillow.exe"
    Call ${prefix}WaitUntilWritable
    Pop $2
    Push "$INSTDIR\HookLib.dll"
    Call ${prefix}WaitUntilWritable
    Pop $3
    ${If} $1 == 0
    ${OrIf} $2 == 0
    ${OrIf} $3 == 0
        Call ${prefix}StopBecauseQuillowRuns
    ${EndIf}
FunctionEnd

; Waits, up to END_WAIT_MS in all, until no Quillow.exe started from this
; folder runs any more; it is found by its image path, on any desktop.
; Leaves 1 on the stack when none is left, 0 when one still runs. When the
; processes cannot be listed it leaves 1: the files' own test that follows
; still tells whether a program holds them.
Function ${prefix}WaitForInstalledQuillow
    System::Store "s"
    StrCpy $7 1
    StrCpy $9 "$INSTDIR\Quillow.exe"
    Push $9
    Call ${prefix}LongPath
    Pop $9
    System::Call 'kernel32::GetTickCount() i .r8'
    System::Call 'kernel32::CreateToolhelp32Snapshot(i ${TH32CS_SNAPPROCESS}, i 0) p .r0'
    ${If} $0 P<> -1
        System::Alloc ${PROCESSENTRY_SIZE}
        Pop $1
        System::Call '*$1(i ${PROCESSENTRY_SIZE})'
        System::Call 'kernel32::Process32FirstW(p r0, p r1) i .r2'
        ${DoWhile} $2 <> 0
            IntPtrOp $3 $1 + ${PROCESSENTRY_PID}
            System::Call '*$3(i .r4)'
            IntPtrOp $3 $1 + ${PROCESSENTRY_EXE}
            System::Call '*$3(&w260 .r5)'
            ${If} $5 == "Quillow.exe"
                System::Call 'kernel32::OpenProcess(i ${WAIT_AND_QUERY}, i 0, i r4) p .r6'
                ${If} $6 P<> 0
                    System::Call 'kernel32::QueryFullProcessImageNameW(p r6, i 0, w .r5, *i ${NSIS_MAX_STRLEN}) i .R0'
                    ${If} $R0 <> 0
                        Push $5
                        Call ${prefix}LongPath
                        Pop $5
                        ${If} $5 == $9
                            StrCpy $WasRunning 1
                            System::Call 'kernel32::GetTickCount() i .R1'
                            IntOp $R1 $R1 - $8
                            IntOp $R1 ${END_WAIT_MS} - $R1
                            ${If} $R1 < 0
                                StrCpy $R1 0
                            ${EndIf}
                            System::Call 'kernel32::WaitForSingleObject(p r6, i R1) i .R0'
                            ${If} $R0 <> 0
                                StrCpy $7 0
                            ${EndIf}
                        ${EndIf}
                    ${EndIf}
                    System::Call 'kernel32::CloseHandle(p r6)'
                ${EndIf}
            ${EndIf}
            System::Call 'kernel32::Process32NextW(p r0, p r1) i .r2'
        ${Loop}
        System::Free $1
        System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
    Push $7
    System::Store "l"
FunctionEnd

; The long form of the path on the stack, so that a path given in short
; names still compares equal; the path as it is when there is none.
Function ${prefix}LongPath
    Exch $0
    Push $1
    Push $2
    System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
    ${If} $2 <> 0
    ${AndIf} $2 < ${NSIS_MAX_STRLEN}
        StrCpy $0 $1
    ${EndIf}
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

; Waits, up to ten seconds, until no running program holds the file on the
; stack: a running program's file cannot be opened for writing. Leaves 1 on
; the stack when the file is free or not there, 0 when it is still held.
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
            StrCpy $R1 -1
            ${Break}
        ${EndIf}
        Sleep 100
    ${Loop}
    ${If} $R1 == -1
        StrCpy $R0 0
    ${Else}
        StrCpy $R0 1
    ${EndIf}
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd
!macroend
!insertmacro DEFINE_END_RUNNING ""
!insertmacro DEFINE_END_RUNNING "un."

Function StopBecauseQuillowRuns
    MessageBox MB_OK|MB_ICONSTOP \
        "Quillow is running and could not be ended, so Setup has changed nothing.$\r$\n$\r$\nEnd Quillow with $\"Exit$\" in its tray menu, then run Setup again." \
        /SD IDOK
    Abort
FunctionEnd

Function un.StopBecauseQuillowRuns
    MessageBox MB_OK|MB_ICONSTOP \
        "Quillow is running and could not be ended, so nothing has been removed.$\r$\n$\r$\nEnd Quillow with $\"Exit$\" in its tray menu, then uninstall it again." \
        /SD IDOK
    Abort
FunctionEnd

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
    Call un.RepairTaskManagerPolicy
    ; The program's files first, the uninstaller and its entry only once they
    ; are gone: while anything of the program is left it stays listed, and
    ; its uninstaller with it, so that another run can finish the work. A
    ; file a closing program still holds is tried again, for a few seconds.
    StrCpy $R3 0
    ${Do}
        Delete "$INSTDIR\Quillow.exe"
        Delete "$INSTDIR\HookLib.dll"
        Delete "$INSTDIR\QuillowWatch.exe"
        Delete "$INSTDIR\README.txt"
        Delete "$INSTDIR\LICENSE.txt"
        Call un.ProgramFilesLeft
        Pop $R4
        ${If} $R4 == 0
            Delete "$INSTDIR\Uninstall.exe"
            RMDir "$INSTDIR"
        ${EndIf}
        IntOp $R3 $R3 + 1
        ${If} ${FileExists} "$INSTDIR\*.*"
        ${AndIf} $R3 < 25
            Sleep 200
        ${Else}
            ${Break}
        ${EndIf}
    ${Loop}
    ${If} $R4 <> 0
    ${OrIf} ${FileExists} "$INSTDIR\Uninstall.exe"
        MessageBox MB_OK|MB_ICONSTOP \
            "Some of Quillow's files are in use and could not be removed. Quillow stays listed in Apps & features.$\r$\n$\r$\nRestart Windows, then uninstall Quillow again." \
            /SD IDOK
        Abort
    ${EndIf}
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

; Leaves on the stack how many of the program's own files are still there.
Function un.ProgramFilesLeft
    Push $0
    StrCpy $0 0
    ${If} ${FileExists} "$INSTDIR\Quillow.exe"
        IntOp $0 $0 + 1
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\HookLib.dll"
        IntOp $0 $0 + 1
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\QuillowWatch.exe"
        IntOp $0 $0 + 1
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\README.txt"
        IntOp $0 $0 + 1
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\LICENSE.txt"
        IntOp $0 $0 + 1
    ${EndIf}
    Exch $0
FunctionEnd

; A Quillow that ended without undoing its "Disable Task Manager" (killed,
; or the power went) leaves the policy set and its mark at 1; with Quillow
; gone nothing else would ever enable the task manager again. A policy that
; someone else set carries no mark and is left alone.
Function un.RepairTaskManagerPolicy
    ClearErrors
    ReadRegDWORD $0 HKCU "${SETTINGS_KEY}" "${TASKMGR_MARK}"
    ${If} ${Errors}
    ${OrIf} $0 <> 1
        Return
    ${EndIf}
    ClearErrors
    WriteRegDWORD HKCU "${POLICY_KEY}" "DisableTaskMgr" 0
    ${IfNot} ${Errors}
        DeleteRegValue HKCU "${SETTINGS_KEY}" "${TASKMGR_MARK}"
    ${EndIf}
FunctionEnd

Function un.RemoveSettings
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
FunctionEnd
