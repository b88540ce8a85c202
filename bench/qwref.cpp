// qwref.exe: the floor that Quillow's trigger-to-switch latency is compared
// with. It does the least any hook-driven switcher can do: one thread owns a
// low-level mouse hook, the hook turns a middle-button press into a thread
// message, and the thread switches desktops on that message. Whatever Quillow
// takes beyond this is its own doing.
//
// Every WM_USER flips the shown desktop, whoever posts it: the hook for the
// measured direction, the benchmark (through qwprobe) to come back. Under Wine
// a low-level hook only sees input of the desktop it was installed on, so a
// posted message is the one way back that needs no window on the private
// desktop; that is why nothing is started there. WM_USER + 1 ends the program.
#include <windows.h>

namespace {

constexpr UINT kFlipRequest = WM_USER;
constexpr UINT kStopRequest = WM_USER + 1;
constexpr wchar_t kPrivateDesktopName[] = L"qwref";

DWORD g_ownThreadId = 0;
HHOOK g_mouseHook = nullptr;

// Kept to one post so the floor holds no work Quillow could skip; the release
// is passed on, which costs nothing either way.
LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == WM_MBUTTONDOWN) {
        PostThreadMessageW(g_ownThreadId, kFlipRequest, 0, 0);
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void InstallHook()
{
    g_mouseHook = SetWindowsHookExW(WH_MOUSE_LL, MouseProc, GetModuleHandleW(nullptr), 0);
}

void RemoveHook()
{
    if (g_mouseHook)
        UnhookWindowsHookEx(g_mouseHook);
    g_mouseHook = nullptr;
}

// The same order as Quillow's switcher: a thread may change its desktop only
// while it holds no hook, and the hook must follow it to keep watching the
// desktop that is shown.
void ShowDesktop(HDESK desktop)
{
    RemoveHook();
    SwitchDesktop(desktop);
    SetThreadDesktop(desktop);
    InstallHook();
}

void RunFlipLoop(HDESK original, HDESK privateDesktop)
{
    bool onPrivate = false;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kStopRequest)
            break;
        if (msg.message != kFlipRequest)
            continue;
        onPrivate = !onPrivate;
        ShowDesktop(onPrivate ? privateDesktop : original);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    g_ownThreadId = GetCurrentThreadId();
    // Wine starts the desktop window, the only place X input comes in through,
    // for the first process that asks for it; nothing else here would.
    GetDesktopWindow();
    const HDESK original = GetThreadDesktop(g_ownThreadId);
    const HDESK privateDesktop =
        CreateDesktopW(kPrivateDesktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!privateDesktop)
        return 2;
    // The queue must exist before anyone can post to this thread.
    MSG msg;
    PeekMessageW(&msg, nullptr, kFlipRequest, kFlipRequest, PM_NOREMOVE);
    InstallHook();

    RunFlipLoop(original, privateDesktop);

    RemoveHook();
    SetThreadDesktop(original);
    CloseDesktop(privateDesktop);
    return 0;
}
