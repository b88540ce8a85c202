#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "base/CFixedText.h"
#include "base/CSnapshot.h"
#include "QuillowVersion.h"
#include "win/CAppModule.h"

using ProcessNameList = std::vector<std::wstring>;

// The one application object: product identity, the ids of the worker
// threads, and the live settings the worker threads act on.
//
// The live settings are written only by the settings code on the
// user-interface thread and read by the switcher and password threads at any
// moment, so each is an atomic or a snapshot: a reader may see a change half
// applied across fields, but never a torn value.
class CMyAppModule : public CAppModule {
public:
    CMyAppModule();

    // Live settings.
    CSnapshot<CFixedText<16>> m_switchPassword;   // guards going to the private desktop
    CSnapshot<CFixedText<16>> m_restorePassword;  // guards coming back
    std::atomic<LONG> m_updateCheckOn{0};
    std::atomic<LONG> m_muteOn{0};
    std::atomic<LONG> m_monitorOffOn{0};
    std::atomic<LONG> m_taskManagerOffOn{0};
    std::atomic<LONG> m_browserHistoryOn{0};
    std::atomic<LONG> m_typedUrlsOn{0};
    std::atomic<LONG> m_recentDocsOn{0};
    CSnapshot<CFixedText<261>> m_fileToOpen;
    CSnapshot<CFixedText<261>> m_webSiteToOpen;
    CSnapshot<CFixedText<261>> m_windowTitle;
    std::atomic<LONG> m_terminateProcessesOn{0};
    CSnapshot<ProcessNameList> m_processNames;

    // Called after every change of the restore password, so the guards that
    // outlive a kill or a crash learn whether the way back asks for it.
    void RestorePasswordApplied();
    using GuardMarkFn = void (*)(bool restoreGuarded);
    void SetRestoreGuardMark(GuardMarkFn mark) { m_restoreGuardMark = mark; }

    // The restore-password thread is on the private desktop, so its prompt
    // can appear where the user is.
    std::atomic<bool> m_restorePromptReady{false};
    // The watchdog started this run again while the private desktop was
    // shown: it still is.
    std::atomic<bool> m_restartedOnPrivate{false};

    // Thread ids, 0 while (or when) a thread does not exist.
    std::atomic<DWORD> m_uiThreadId{0};
    std::atomic<DWORD> m_switcherThreadId{0};
    std::atomic<DWORD> m_switchPasswordThreadId{0};
    std::atomic<DWORD> m_restorePasswordThreadId{0};
    std::atomic<DWORD> m_updateCheckThreadId{0};

    // Product identity.
    const wchar_t* const m_desktopName = L"qwdesk";
    const wchar_t* const m_settingsKey = L"Software\\Orvane\\Quillow";
    const wchar_t* const m_autostartKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const wchar_t* const m_shortName = L"Quillow";
    const wchar_t* const m_fullName = L"Orvane Quillow Veil Key";
    const wchar_t* const m_version = QUILLOW_VERSION_WIDE;
    const int m_revision = 10;
    const wchar_t* const m_programFileName = L"Quillow.exe";
    CFixedText<50> m_windowsDirectory;  // "SystemRoot", cut to fit
    const char* const m_updateHost = "www.orvane.com";
    char m_updatePath[64] = {};
    const wchar_t* const m_helpPage = L"http://www.orvane.com/help/orvane-quillow-veil-key/";
    const wchar_t* const m_homePage = L"http://www.orvane.com/";
    const wchar_t* const m_productsPage = L"http://www.orvane.com/product/";
    const wchar_t* const m_supportAddress = L"support@orvane.com";

private:
    GuardMarkFn m_restoreGuardMark = nullptr;
};

extern CMyAppModule g_module;
