#pragma once

#include <windows.h>

#include <atomic>

#include "CTriggerConfig.h"
#include "CTriggerDetector.h"

// The two desktops HookLib watches, each with a pair of hooks of its own.
enum HookDesktop : int { kHookOriginal = 0, kHookPrivate = 1, kHookDesktops = 2 };

// Owns the low-level mouse and keyboard hooks of the process, a pair for each
// desktop, and the one trigger decision they share. There is one instance,
// inside HookLib.dll.
class CInputHook {
public:
    explicit CInputHook(CTriggerConfig& config);

    void SetModule(HINSTANCE module) { m_module = module; }
    void SetTarget(DWORD threadId) { m_targetThread.store(threadId); }
    DWORD Target() const { return m_targetThread.load(); }

    // Runs on the thread that is to hold the desktop's hooks: Windows calls a
    // low-level hook on the thread that installed it, with the input of that
    // thread's desktop. Given a desktop handle, the thread moves there first.
    // False unless the thread is on the desktop and both hooks are in place.
    bool Install(HookDesktop desktop, HDESK handle);
    void Remove(HookDesktop desktop);

private:
    template <HookDesktop Desktop>
    static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);
    template <HookDesktop Desktop>
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
    bool OnMouse(HookDesktop desktop, UINT message);
    bool OnKey(HookDesktop desktop, const KBDLLHOOKSTRUCT& event);
    bool Deliver(HookDesktop desktop, InputVerdict verdict);
    void Unhook(HookDesktop desktop);
    bool Attach(HookDesktop desktop, HDESK handle);

    struct HookPair {
        HHOOK mouse = nullptr;
        HHOOK keyboard = nullptr;
    };

    static CInputHook* s_instance;
    CTriggerConfig& m_config;
    // One decision for both desktops: a button pressed on one may be let go
    // on the other, and its release must still vanish. The lock is never
    // contended on Windows, where only the shown desktop gets input.
    SRWLOCK m_decisionLock = SRWLOCK_INIT;
    CTriggerDetector m_detector;
    // A pair may be replaced by its hook thread or, as a last resort, by the
    // caller's thread.
    SRWLOCK m_hooksLock = SRWLOCK_INIT;
    HookPair m_hooks[kHookDesktops];
    HDESK m_attachedWith[kHookDesktops] = {};  // the hook threads' own desktop handles
    HINSTANCE m_module = nullptr;
    std::atomic<DWORD> m_targetThread{0};
};
