#include "actions/CProtectedTargets.h"

#include "app/CMyAppModule.h"

namespace {

struct ProtectedProcess {
    const wchar_t* imageName;
    // True for the programs whose windows are the user's to close: only the
    // process itself is spared.
    bool windowsMayBeClosed;
};

// Ending any of these logs the user off, crashes the session, takes away the
// taskbar and the desktop, or leaves the private desktop without the program
// that brings the user back. The first two are the names the snapshot gives
// the idle and the kernel process.
constexpr ProtectedProcess kProtected[] = {
    {L"[System Process]", false},
    {L"System", false},
    {L"Registry", false},
    {L"Secure System", false},
    {L"Memory Compression", false},
    {L"smss.exe", false},
    {L"csrss.exe", false},
    {L"wininit.exe", false},
    {L"winlogon.exe", false},
    {L"services.exe", false},
    {L"lsass.exe", false},
    {L"lsaiso.exe", false},
    {L"svchost.exe", false},
    {L"dwm.exe", false},
    {L"fontdrvhost.exe", false},
    {L"LogonUI.exe", false},
    {L"sihost.exe", false},
    {L"ctfmon.exe", false},
    {L"taskhostw.exe", false},
    {L"RuntimeBroker.exe", false},
    {L"StartMenuExperienceHost.exe", false},
    {L"ShellExperienceHost.exe", false},
    {L"SearchHost.exe", false},
    {L"SearchApp.exe", false},
    {L"SearchUI.exe", false},
    {L"TextInputHost.exe", false},
    // A console window belongs to its host: closing it closes the console
    // the user sees, ending the host would take other consoles with it.
    {L"conhost.exe", true},
    {L"explorer.exe", true},
    {L"Quillow.exe", true},
    {L"QuillowWatch.exe", true},
};

// Made by Windows or a runtime for every thread that has windows, whatever
// the program: the default IME window ("Default IME"), the text services'
// windows ("MSCTFIME UI", "CicMarshalWnd", the floating language bar), GDI+'s
// hook window ("GDI+ Window (app.exe)"), the OLE apartment and DDE windows
// and the common controls' tool tips. Then the shell's desktop ("Program
// Manager", whose WM_CLOSE brings up the shut-down dialog), the window behind
// the wallpaper and the taskbars.
constexpr const wchar_t* kNeverClosedClasses[] = {
    L"IME",
    L"MSCTFIME UI",
    L"MSCTFIME Composition",
    L"CicMarshalWndClass",
    L"CiceroUIWndFrame",
    L"GDI+ Hook Window Class",
    L"OleMainThreadWndClass",
    L"OleDdeWndClass",
    L"DDEMLEvent",
    L"DDEMLMom",
    L"tooltips_class32",
    L"Progman",
    L"WorkerW",
    L"Shell_TrayWnd",
    L"Shell_SecondaryTrayWnd",
};

// Window classes are at most 256 characters long.
constexpr int kClassNameChars = 257;

bool IsSame(const wchar_t* left, const wchar_t* right)
{
    return left && right && CompareStringOrdinal(left, -1, right, -1, TRUE) == CSTR_EQUAL;
}

const ProtectedProcess* FindProtected(const wchar_t* imageName)
{
    for (const ProtectedProcess& entry : kProtected) {
        if (IsSame(imageName, entry.imageName))
            return &entry;
    }
    return nullptr;
}

}  // namespace

bool CProtectedTargets::IsNeverEnded(const wchar_t* imageName)
{
    if (!imageName)
        return false;
    // The program file may have been renamed; its own name counts as well.
    return FindProtected(imageName) || IsSame(imageName, g_module.m_programFileName);
}

bool CProtectedTargets::AreWindowsLeftAlone(const wchar_t* imageName)
{
    const ProtectedProcess* entry = FindProtected(imageName);
    return entry && !entry->windowsMayBeClosed;
}

bool CProtectedTargets::IsNeverClosedClass(const wchar_t* className)
{
    for (const wchar_t* neverClosed : kNeverClosedClasses) {
        if (IsSame(className, neverClosed))
            return true;
    }
    return false;
}

bool CProtectedTargets::IsNeverClosedWindow(HWND window)
{
    wchar_t className[kClassNameChars] = L"";
    // A window whose class cannot be read is gone, or not ours to judge;
    // either way it is not posted to.
    if (GetClassNameW(window, className, kClassNameChars) <= 0)
        return true;
    return IsNeverClosedClass(className);
}
