#include "CInputHook.h"

#include "CKeyState.h"

namespace {
constexpr UINT kSwitchRequest = WM_USER;
constexpr LPARAM kAskForPassword = 1;
}

CInputHook* CInputHook::s_instance = nullptr;

CInputHook::CInputHook(CTriggerConfig& config) : m_config(config)
{
    s_instance = this;
}

void CInputHook::Install(DWORD threadId, HDESK desktop)
{
    // Installing again replaces the pair, so a thread never holds two hooks.
    // It must hold none to change its desktop, and low-level hooks watch the
    // input of the desktop their thread is on.
    Unhook();
    if (desktop)
        SetThreadDesktop(desktop);
    m_detector.Resync(CKeyState::HeldButtons());
    m_targetThread.store(threadId);
    m_mouseHook = SetWindowsHookExW(WH_MOUSE_LL, MouseProc, m_module, 0);
    m_keyboardHook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, m_module, 0);
}

void CInputHook::Remove(DWORD threadId)
{
    if (threadId != m_targetThread.load())
        return;
    m_targetThread.store(0);
    Unhook();
}

void CInputHook::Unhook()
{
    if (m_mouseHook)
        UnhookWindowsHookEx(m_mouseHook);
    if (m_keyboardHook)
        UnhookWindowsHookEx(m_keyboardHook);
    m_mouseHook = nullptr;
    m_keyboardHook = nullptr;
}

// The callbacks stay a few lines: Windows drops a low-level hook that keeps
// input waiting, so all they do is decide and post.
LRESULT CALLBACK CInputHook::MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    CInputHook& self = *s_instance;
    if (code == HC_ACTION &&
        self.Deliver(self.m_detector.OnMouse(static_cast<UINT>(wParam), self.m_config.Snapshot())))
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CInputHook::KeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    CInputHook& self = *s_instance;
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool down = (event->flags & LLKHF_UP) == 0;
        const auto key = static_cast<uint8_t>(event->vkCode);
        const InputVerdict verdict = self.m_detector.OnKey(key, down, event->time,
                                                           CKeyState::Modifiers(),
                                                           self.m_config.Snapshot());
        if (self.Deliver(verdict))
            return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CInputHook::Deliver(InputVerdict verdict)
{
    if (verdict == InputVerdict::Trigger) {
        const DWORD target = m_targetThread.load();
        if (target != 0)
            PostThreadMessageW(target, kSwitchRequest, 0, kAskForPassword);
    }
    return verdict != InputVerdict::PassOn;
}
