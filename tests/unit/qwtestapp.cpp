// A stand-in for the programs Quillow ends or whose windows it closes.
//
//   qwtestapp close-on-wm-close TITLE [--qwdesk]   a window that closes when asked
//   qwtestapp ignore-wm-close TITLE [--qwdesk]     a window that will not close
//   qwtestapp hidden-of-class CLASS TITLE          a hidden window of that class,
//                                                  closing when asked
//   qwtestapp no-window                            no window at all
//
// It runs until it is ended. Closing by itself exits with kClosedByItself, so
// whoever started it can tell that from TerminateProcess's exit code 0.
// --qwdesk puts the window on the private desktop, where Quillow's switcher
// thread sits when it ends processes. hidden-of-class stands in for the
// windows Windows makes for every thread ("IME") or the shell's ("Progman").
// With QWTESTAPP_LOG naming a file, each WM_CLOSE adds a line to it, which
// stays when the process is terminated afterwards.
#include <windows.h>

#include <cwchar>

namespace {

constexpr int kClosedByItself = 7;
constexpr int kBadArguments = 3;
constexpr int kNoDesktop = 4;
constexpr int kNoWindow = 5;

bool g_ignoreClose = false;

void LogClose()
{
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"QWTESTAPP_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE)
        return;
    char line[32];
    const int chars = wsprintfA(line, "%lu WM_CLOSE\r\n", GetCurrentProcessId());
    DWORD written = 0;
    WriteFile(log, line, static_cast<DWORD>(chars), &written, nullptr);
    CloseHandle(log);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        LogClose();
        if (!g_ignoreClose)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(kClosedByItself);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND CreateHiddenWindow(const wchar_t* className, const wchar_t* title)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    // A class of the program's own may bear a system class's name.
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

HWND CreateMainWindow(const wchar_t* title)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"QwTestAppWindow";
    RegisterClassW(&windowClass);
    // Placed by the process id (a multiple of 4), so that several instances
    // seldom hide each other on a screenshot, and below the top-left corner,
    // where the private desktop's shell puts its window.
    const int step = static_cast<int>(GetCurrentProcessId() / 4 % 6);
    return CreateWindowExW(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                           100 + 60 * step, 480 + 20 * step, 420, 140, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

int RunMessageLoop()
{
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : kNoWindow;
}

int RunWindow(const wchar_t* title, bool onPrivateDesktop)
{
    HDESK desktop = nullptr;
    if (onPrivateDesktop) {
        // Before any window exists: a thread with windows cannot move.
        desktop = OpenDesktopW(L"qwdesk", 0, FALSE, GENERIC_ALL);
        if (!desktop || !SetThreadDesktop(desktop)) {
            if (desktop)
                CloseDesktop(desktop);
            return kNoDesktop;
        }
    }
    const int exitCode = CreateMainWindow(title) ? RunMessageLoop() : kNoWindow;
    if (desktop)
        CloseDesktop(desktop);
    return exitCode;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* mode = argc > 1 ? argv[1] : L"";
    const bool onPrivateDesktop = argc > 3 && wcscmp(argv[3], L"--qwdesk") == 0;
    if (wcscmp(mode, L"no-window") == 0 && argc == 2) {
        Sleep(INFINITE);
        return 0;
    }
    if (wcscmp(mode, L"hidden-of-class") == 0 && argc == 4)
        return CreateHiddenWindow(argv[2], argv[3]) ? RunMessageLoop() : kNoWindow;
    if (argc != 3 && !(argc == 4 && onPrivateDesktop))
        return kBadArguments;
    if (wcscmp(mode, L"close-on-wm-close") == 0)
        return RunWindow(argv[2], onPrivateDesktop);
    if (wcscmp(mode, L"ignore-wm-close") == 0) {
        g_ignoreClose = true;
        return RunWindow(argv[2], onPrivateDesktop);
    }
    return kBadArguments;
}
