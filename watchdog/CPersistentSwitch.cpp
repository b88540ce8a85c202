#include "CPersistentSwitch.h"

#include <wtsapi32.h>

namespace {
constexpr UINT kChance = WM_APP;
const wchar_t kWindowClass[] = L"QuillowWatchChances";
// Windows 8 and later tell of every change of the input desktop.
constexpr DWORD kEventSystemDesktopSwitch = 0x0020;
}  // namespace

bool CPersistentSwitch::Show(HDESK desktop, SwitchFn switchDesktop, WaitFn waitForChance,
                             void* context)
{
    while (!switchDesktop(desktop)) {
        if (!waitForChance(context))
            return false;
    }
    return true;
}

CSwitchChances::CSwitchChances()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    m_window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               windowClass.hInstance, nullptr);
    if (m_window)
        m_sessionWatched = WTSRegisterSessionNotification(m_window, NOTIFY_FOR_THIS_SESSION) != FALSE;
    m_switchHook = SetWinEventHook(kEventSystemDesktopSwitch, kEventSystemDesktopSwitch, nullptr,
                                   OnDesktopSwitch, 0, 0, WINEVENT_OUTOFCONTEXT);
}

CSwitchChances::~CSwitchChances()
{
    if (m_switchHook)
        UnhookWinEvent(m_switchHook);
    if (m_sessionWatched)
        WTSUnRegisterSessionNotification(m_window);
    if (m_window)
        DestroyWindow(m_window);
}

bool CSwitchChances::Wait(void* self)
{
    auto* chances = static_cast<CSwitchChances*>(self);
    // Told of nothing, it would wait for ever: better to give up at once.
    if (!chances->m_sessionWatched && !chances->m_switchHook)
        return false;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kChance)
            return true;
        DispatchMessageW(&msg);
    }
    return false;
}

LRESULT CALLBACK CSwitchChances::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam)
{
    if (message == WM_WTSSESSION_CHANGE && wParam == WTS_SESSION_UNLOCK)
        PostThreadMessageW(GetCurrentThreadId(), kChance, 0, 0);
    return DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK CSwitchChances::OnDesktopSwitch(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD,
                                              DWORD)
{
    PostThreadMessageW(GetCurrentThreadId(), kChance, 0, 0);
}
