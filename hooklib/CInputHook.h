#pragma once

#include <windows.h>

#include <atomic>

#include "CTriggerConfig.h"
#include "CTriggerDetector.h"

// Owns the low-level mouse and keyboard hooks of the process and the thread
// they report to. There is one instance, inside HookLib.dll.
class CInputHook {
public:
    explicit CInputHook(CTriggerConfig& config);

    void SetModule(HINSTANCE module) { m_module = module; }
    // Both run on the thread that owns the hooks (CHookThread): the callbacks
    // are called in the context of the installing thread, on the desktop it
    // is attached to, which Install moves to the given one first.
    void Install(DWORD threadId, HDESK desktop);
    void Remove(DWORD threadId);

private:
    static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
    bool Deliver(InputVerdict verdict);
    void Unhook();

    static CInputHook* s_instance;
    CTriggerConfig& m_config;
    CTriggerDetector m_detector;
    HINSTANCE m_module = nullptr;
    HHOOK m_mouseHook = nullptr;
    HHOOK m_keyboardHook = nullptr;
    std::atomic<DWORD> m_targetThread{0};
};
