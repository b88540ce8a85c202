#pragma once

#include <windows.h>

#include <atomic>

// If Quillow crashes while the private desktop is shown, the user must not be
// left on it with no way back: the unhandled-exception filter shows the
// original desktop again before the process dies.
class CCrashGuard {
public:
    using SwitchDesktopFn = BOOL(WINAPI*)(HDESK);

    explicit CCrashGuard(SwitchDesktopFn switchDesktop = ::SwitchDesktop)
        : m_switchDesktop(switchDesktop) {}

    static CCrashGuard& Instance();

    // Makes this guard the process's unhandled-exception filter; whatever
    // filter was there before still runs after it.
    void Install();
    void SetOriginalDesktop(HDESK original) { m_original.store(original); }
    void SetPrivateShown(bool shown) { m_privateShown.store(shown); }
    // While the way back asks for a password, a crash must not open the
    // original desktop: the watchdog starts Quillow again instead, and its
    // prompt guards the way back as before.
    void SetRestoreGuarded(bool guarded) { m_restoreGuarded.store(guarded); }

    // Shows the original desktop if the private one is shown and the way back
    // is not guarded; true if it did.
    bool SwitchBackIfPrivateShown();
    LONG OnUnhandledException(EXCEPTION_POINTERS* exception);

private:
    static LONG WINAPI Filter(EXCEPTION_POINTERS* exception);

    static CCrashGuard* s_installed;

    SwitchDesktopFn m_switchDesktop;
    std::atomic<HDESK> m_original{nullptr};
    std::atomic<bool> m_privateShown{false};
    std::atomic<bool> m_restoreGuarded{false};
    LPTOP_LEVEL_EXCEPTION_FILTER m_previous = nullptr;
};
