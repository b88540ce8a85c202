#include "actions/CMonitorPower.h"

namespace {

constexpr LPARAM kPowerOff = 2;

}  // namespace

void CMonitorPower::TurnOff()
{
    // The request goes to every top-level window, and the switch waits for
    // it. A plain SendMessageW would wait for ever on one window that no
    // longer answers, leaving the user stuck on the desktop they wanted to
    // hide; a hung or slow window is skipped instead.
    SendMessageTimeoutW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, kPowerOff,
                        SMTO_ABORTIFHUNG | SMTO_NORMAL, kWindowTimeoutMs, nullptr);
}
