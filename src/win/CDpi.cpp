#include "win/CDpi.h"

namespace {
using GetDpiForWindowProc = UINT(WINAPI*)(HWND);

GetDpiForWindowProc WindowDpiFunction()
{
    // Looked up, not imported: Windows 7 and 8 do not have it, and an import
    // would stop Quillow from starting there.
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    FARPROC entry = user32 ? GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void*>(entry));
}
}  // namespace

CDpi CDpi::OfWindow(HWND window)
{
    // Asked each time: it is asked only when a window is laid out, and a
    // function-local static would need a thread-safe guard.
    const GetDpiForWindowProc windowDpi = WindowDpiFunction();
    if (window && windowDpi) {
        if (const UINT dpi = windowDpi(window))
            return CDpi(dpi);
    }
    return OfSystem();
}

CDpi CDpi::OfSystem()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return CDpi(dpi > 0 ? static_cast<UINT>(dpi) : kStandard);
}
