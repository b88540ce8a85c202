// qwtray.exe: the floor that Quillow's idle cost and memory are compared
// with. It is the least a program can be that lives in the notification
// area: one hidden window to receive the icon's messages, one icon, and a
// thread that waits in GetMessage. No timer, no menu, no settings: whatever
// Quillow costs beyond this while it sits in the tray is its own doing.
//
// WM_CLOSE to the window (or WM_QUIT to the thread) ends it and takes the
// icon away, so a benchmark can stop it cleanly.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT kIconMessage = WM_APP;
constexpr UINT kIconId = 1;
constexpr wchar_t kWindowClass[] = L"QwTrayReference";

NOTIFYICONDATAW IconData(HWND window)
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

bool AddIcon(HWND window)
{
    NOTIFYICONDATAW data = IconData(window);
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(data.szTip, L"qwtray", ARRAYSIZE(data.szTip));
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void RemoveIcon(HWND window)
{
    NOTIFYICONDATAW data = IconData(window);
    Shell_NotifyIconW(NIM_DELETE, &data);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        RemoveIcon(window);
        PostQuitMessage(0);
        return 0;
    }
    // The icon's own messages are taken and dropped: a tray program that
    // answers nothing is the floor.
    if (message == kIconMessage)
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateHiddenWindow(HINSTANCE instance)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassW(&windowClass))
        return nullptr;
    // A top-level window, not a message-only one: the shell sends the
    // taskbar's re-creation broadcast to top-level windows only, as it would
    // to Quillow's frame.
    return CreateWindowExW(0, kWindowClass, L"qwtray", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                           instance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    HWND window = CreateHiddenWindow(instance);
    if (!window)
        return 2;
    if (!AddIcon(window)) {
        DestroyWindow(window);
        return 3;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
