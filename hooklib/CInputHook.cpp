#include "CInputHook.h"

#include "base/CTrace.h"
#include "CKeyState.h"
#include "HookLib.h"

CInputHook* CInputHook::s_instance = nullptr;

CInputHook::CInputHook(CTriggerConfig& config) : m_config(config)
{
    s_instance = this;
}

bool CInputHook::Install(HookDesktop desktop, HDESK handle)
{
    AcquireSRWLockExclusive(&m_hooksLock);
    // Installing again replaces the pair, so a desktop never has two. The
    // thread must hold none to change its desktop.
    Unhook(desktop);
    const bool onDesktop = handle == nullptr || Attach(desktop, handle);
    if (onDesktop) {
        AcquireSRWLockExclusive(&m_decisionLock);
        m_detector.Resync(CKeyState::HeldButtons());
        ReleaseSRWLockExclusive(&m_decisionLock);
        HookPair& pair = m_hooks[desktop];
        pair.mouse = SetWindowsHookExW(
            WH_MOUSE_LL, desktop == kHookOriginal ? MouseProc<kHookOriginal> : MouseProc<kHookPrivate>,
            m_module, 0);
        pair.keyboard = SetWindowsHookExW(
            WH_KEYBOARD_LL,
            desktop == kHookOriginal ? KeyboardProc<kHookOriginal> : KeyboardProc<kHookPrivate>,
            m_module, 0);
        if (!pair.mouse || !pair.keyboard)
            CTrace::LastError(L"SetWindowsHookExW", desktop == kHookOriginal
                                                        ? L"the original desktop's hooks"
                                                        : L"the private desktop's hooks");
    }
    const bool inPlace = onDesktop && m_hooks[desktop].mouse && m_hooks[desktop].keyboard;
    ReleaseSRWLockExclusive(&m_hooksLock);
    return inPlace;
}

bool CInputHook::Attach(HookDesktop desktop, HDESK handle)
{
    // The thread moves with a handle of its own: the caller may close the
    // one it gave, which it could not while a thread of ours used that one.
    HANDLE own = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &own, 0, FALSE,
                         DUPLICATE_SAME_ACCESS)) {
        CTrace::LastError(L"DuplicateHandle", L"a desktop for the hook thread");
        return false;
    }
    if (!SetThreadDesktop(static_cast<HDESK>(own))) {
        CTrace::LastError(L"SetThreadDesktop", L"the hook thread");
        CloseDesktop(static_cast<HDESK>(own));
        return false;
    }
    if (m_attachedWith[desktop])
        CloseDesktop(m_attachedWith[desktop]);
    m_attachedWith[desktop] = static_cast<HDESK>(own);
    return true;
}

void CInputHook::Remove(HookDesktop desktop)
{
    AcquireSRWLockExclusive(&m_hooksLock);
    Unhook(desktop);
    ReleaseSRWLockExclusive(&m_hooksLock);
}

void CInputHook::Unhook(HookDesktop desktop)
{
    HookPair& pair = m_hooks[desktop];
    if (pair.mouse)
        UnhookWindowsHookEx(pair.mouse);
    if (pair.keyboard)
        UnhookWindowsHookEx(pair.keyboard);
    pair = HookPair{};
}

// The callbacks stay a few lines: Windows drops a low-level hook that keeps
// input waiting, so all they do is decide and post.
template <HookDesktop Desktop>
LRESULT CALLBACK CInputHook::MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && s_instance->OnMouse(Desktop, static_cast<UINT>(wParam)))
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

template <HookDesktop Desktop>
LRESULT CALLBACK CInputHook::KeyboardProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION &&
        s_instance->OnKey(Desktop, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)))
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CInputHook::OnMouse(HookDesktop desktop, UINT message)
{
    AcquireSRWLockExclusive(&m_decisionLock);
    m_detector.NoteInputDesktop(desktop);
    const InputVerdict verdict = m_detector.OnMouse(message, m_config.Snapshot());
    ReleaseSRWLockExclusive(&m_decisionLock);
    return Deliver(desktop, verdict);
}

bool CInputHook::OnKey(HookDesktop desktop, const KBDLLHOOKSTRUCT& event)
{
    const bool down = (event.flags & LLKHF_UP) == 0;
    const auto key = static_cast<uint8_t>(event.vkCode);
    const KeyModifiers modifiers = CKeyState::Modifiers();
    AcquireSRWLockExclusive(&m_decisionLock);
    m_detector.NoteInputDesktop(desktop);
    const InputVerdict verdict =
        m_detector.OnKey(key, down, event.time, modifiers, m_config.Snapshot());
    ReleaseSRWLockExclusive(&m_decisionLock);
    return Deliver(desktop, verdict);
}

namespace {
WPARAM DesktopParam(HookDesktop desktop)
{
    return desktop == kHookPrivate ? kSwitchFromPrivateDesktop : kSwitchFromOriginalDesktop;
}
}  // namespace

bool CInputHook::Deliver(HookDesktop desktop, InputVerdict verdict)
{
    if (verdict == InputVerdict::Trigger) {
        const DWORD target = m_targetThread.load();
        // The trigger's input never reaches a window, so no window of ours
        // would otherwise have the right to come to the front: a password
        // prompt would open behind whatever the user was typing into. The
        // right goes with the input this process just took.
        AllowSetForegroundWindow(GetCurrentProcessId());
        if (target != 0)
            PostThreadMessageW(target, kSwitchRequest, DesktopParam(desktop), kSwitchAskPassword);
    }
    return verdict != InputVerdict::PassOn;
}
