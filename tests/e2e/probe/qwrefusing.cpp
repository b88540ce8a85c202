// Quillow.exe as it ships, except that its switcher's first SwitchDesktop
// calls are refused, as Windows refuses them under the lock screen or a UAC
// prompt, which Wine never does. QUILLOW_TEST_REFUSALS says how many.
#include <windows.h>

#include <atomic>

#include "threads/CProgram.h"
#include "threads/CShownDesktop.h"

namespace {
std::atomic<long> g_refusalsLeft{0};

BOOL WINAPI RefusingSwitchDesktop(HDESK desktop)
{
    if (g_refusalsLeft.fetch_sub(1) > 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return SwitchDesktop(desktop);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    wchar_t count[16] = {};
    if (GetEnvironmentVariableW(L"QUILLOW_TEST_REFUSALS", count, 16) > 0)
        g_refusalsLeft = _wtol(count);
    CShownDesktop::ReplaceDefaultSwitchDesktop(RefusingSwitchDesktop);
    ExitProcess(static_cast<UINT>(CProgram::Run(instance)));
}
