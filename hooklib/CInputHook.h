#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "CTriggerConfig.h"
#include "CTriggerDetector.h"

// Owns the low-level mouse and keyboard hooks of the process and the thread
// they report to. There is one instance, inside HookLib.dll.
class CInputHook {
public:
    explicit CInputHook(CTriggerConfig& config);

    void SetModule(HINSTANCE module) { m_module = module; }
    // Both run on the thread that owns the hooks: the callbacks are called in
    // the context of the installing thread, on the desktop it is attached to.
    void Install(DWORD threadId);
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
    uint8_t m_lastHotKey = 0;  // the key whose press fired last, to resync its release
};
