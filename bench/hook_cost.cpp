// hook_cost.exe: what Quillow's low-level hooks add to every input event.
//
// Part one repeats, in a tight loop, exactly the work CInputHook's callbacks
// do for an event that is not a trigger: a configuration snapshot, the
// detector's decision, the modifier reads for keys, and CallNextHookEx. Every
// stream holds only events that pass on, because a trigger's cost is the
// switch, not the hook.
//
// Part two installs the real hook from HookLib.dll on a pumping thread and
// times SendInput with and without it, which is what a user's mouse pays.
//
// Usage: hook_cost.exe [logic iterations] [callback iterations] [SendInput events]
// The full callback gets fewer iterations than the bare logic: under Wine
// CallNextHookEx is a wineserver round trip of tens of microseconds, and a
// million of them would take minutes to say the same thing.
#include <windows.h>

#include <HookLib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include "CKeyState.h"
#include "CTriggerConfig.h"
#include "CTriggerDetector.h"

namespace {

// Results go here so the optimizer cannot drop the work being timed.
volatile LONG_PTR g_sink = 0;

LONGLONG Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double Nanoseconds(LONGLONG ticks, long long events)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1e9 / static_cast<double>(frequency.QuadPart) /
           static_cast<double>(events);
}

// Quillow's defaults plus a hot key, so every branch of the decision is live.
void ConfigureLikeQuillow(CTriggerConfig& config)
{
    config.SetMiddleButton(true);
    config.SetBothButtons(true);
    config.SetHotKey(VK_F12, false, true, false);
}

// Left and right clicks one after the other: never a chord, never a trigger.
std::vector<UINT> ButtonStream()
{
    return {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP};
}

// What a mouse in use sends: a click now and then among many moves.
std::vector<UINT> MixedStream()
{
    std::vector<UINT> stream(100, WM_MOUSEMOVE);
    stream[20] = WM_LBUTTONDOWN;
    stream[23] = WM_LBUTTONUP;
    stream[60] = WM_MOUSEWHEEL;
    stream[80] = WM_RBUTTONDOWN;
    stream[84] = WM_RBUTTONUP;
    return stream;
}

double TimeMouse(const std::vector<UINT>& stream, long long events, bool callNext)
{
    CTriggerConfig config;
    ConfigureLikeQuillow(config);
    CTriggerDetector detector;
    MSLLHOOKSTRUCT info{};
    const size_t size = stream.size();
    const LONGLONG start = Now();
    for (long long i = 0; i < events; ++i) {
        const UINT message = stream[static_cast<size_t>(i) % size];
        const InputVerdict verdict = detector.OnMouse(message, config.Snapshot());
        LONG_PTR result = static_cast<LONG_PTR>(verdict);
        if (callNext)
            result += CallNextHookEx(nullptr, HC_ACTION, message, reinterpret_cast<LPARAM>(&info));
        g_sink = g_sink + result;
    }
    return Nanoseconds(Now() - start, events);
}

// Typing: each letter goes down and up again, none of them the hot key.
double TimeKeys(long long events, bool callNext)
{
    CTriggerConfig config;
    ConfigureLikeQuillow(config);
    CTriggerDetector detector;
    KBDLLHOOKSTRUCT info{};
    const LONGLONG start = Now();
    for (long long i = 0; i < events; ++i) {
        const bool down = (i & 1) == 0;
        const auto key = static_cast<uint8_t>('A' + (i / 2) % 26);
        info.vkCode = key;
        info.flags = down ? 0 : LLKHF_UP;
        const InputVerdict verdict = detector.OnKey(key, down, info.time, CKeyState::Modifiers(),
                                                      config.Snapshot());
        LONG_PTR result = static_cast<LONG_PTR>(verdict);
        if (callNext) {
            const WPARAM message = down ? WM_KEYDOWN : WM_KEYUP;
            result += CallNextHookEx(nullptr, HC_ACTION, message, reinterpret_cast<LPARAM>(&info));
        }
        g_sink = g_sink + result;
    }
    return Nanoseconds(Now() - start, events);
}

double TimeCallNextOnly(long long events)
{
    MSLLHOOKSTRUCT info{};
    const LONGLONG start = Now();
    for (long long i = 0; i < events; ++i)
        g_sink = g_sink + CallNextHookEx(nullptr, HC_ACTION, WM_MOUSEMOVE,
                                         reinterpret_cast<LPARAM>(&info));
    return Nanoseconds(Now() - start, events);
}

double TimeModifierReadsOnly(long long events)
{
    const LONGLONG start = Now();
    for (long long i = 0; i < events; ++i)
        g_sink = g_sink + CKeyState::Modifiers().shift;
    return Nanoseconds(Now() - start, events);
}

void PrintCallbackCosts(long long logicIterations, long long callIterations)
{
    std::printf("hook callback work per event (QueryPerformanceCounter; decision logic over %lld "
                "events, whole callback over %lld):\n", logicIterations, callIterations);
    std::printf("  mouse move      %9.1f ns   (decision logic alone %.1f ns)\n",
                TimeMouse({WM_MOUSEMOVE}, callIterations, true),
                TimeMouse({WM_MOUSEMOVE}, logicIterations, false));
    std::printf("  button down/up  %9.1f ns   (decision logic alone %.1f ns)\n",
                TimeMouse(ButtonStream(), callIterations, true),
                TimeMouse(ButtonStream(), logicIterations, false));
    std::printf("  mixed mouse     %9.1f ns   (95 moves, 4 button events, 1 wheel per 100)\n",
                TimeMouse(MixedStream(), callIterations, true));
    std::printf("  key down/up     %9.1f ns   (logic and 5 GetAsyncKeyState without "
                "CallNextHookEx %.1f ns)\n",
                TimeKeys(callIterations, true), TimeKeys(callIterations, false));
    std::printf("  parts: CallNextHookEx(nullptr, ...) alone %.1f ns, 5 GetAsyncKeyState reads "
                "%.1f ns\n", TimeCallNextOnly(callIterations), TimeModifierReadsOnly(callIterations));
    std::printf("  (under Wine CallNextHookEx asks wineserver for the next hook, a round trip, "
                "even with no hook after ours)\n");
}

// --- the installed hook, end to end ---------------------------------------

constexpr UINT kEndHookThread = WM_APP;

DWORD WINAPI HookThread(void* installed)
{
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    InstallInputHooks(GetCurrentThreadId(), GetThreadDesktop(GetCurrentThreadId()), nullptr);
    SetEvent(static_cast<HANDLE>(installed));
    // Low-level hooks run only while their thread pumps messages.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kEndHookThread)
            break;
    }
    UnInstallInputHooks(GetCurrentThreadId());
    return 0;
}

// Moves of one pixel there and back, so the pointer stays where it was.
double TimeSendInput(long long events)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    const LONGLONG start = Now();
    for (long long i = 0; i < events; ++i) {
        input.mi.dx = (i & 1) ? -1 : 1;
        if (SendInput(1, &input, sizeof(input)) != 1)
            return -1.0;
    }
    return Nanoseconds(Now() - start, events);
}

// The hook's owner runs on its own thread, as in Quillow, so that every event
// crosses threads the way real input does.
HANDLE StartHookThread(DWORD& threadId)
{
    HANDLE installed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, HookThread, installed, 0, &threadId);
    if (thread && WaitForSingleObject(installed, 10000) != WAIT_OBJECT_0) {
        TerminateThread(thread, 1);
        CloseHandle(thread);
        thread = nullptr;
    }
    CloseHandle(installed);
    return thread;
}

void StopHookThread(HANDLE thread, DWORD threadId)
{
    PostThreadMessageW(threadId, kEndHookThread, 0, 0);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
}

void PrintInstalledHookCost(long long events)
{
    SetMiddleButton(1);
    SetDoubleButton(1);
    SetKeyCode(VK_F12, 0, 1, 0);
    // Wine routes injected input through the desktop window; make sure there is one.
    GetDesktopWindow();
    TimeSendInput(events / 10 + 1);  // warm-up: first calls set up queues and caches

    const double before = TimeSendInput(events);
    DWORD threadId = 0;
    HANDLE thread = StartHookThread(threadId);
    if (!thread) {
        std::printf("installed hook: could not install it, skipped\n");
        return;
    }
    const double hooked = TimeSendInput(events);
    StopHookThread(thread, threadId);
    const double after = TimeSendInput(events);

    if (before < 0 || hooked < 0 || after < 0) {
        std::printf("installed hook: SendInput refused the events, skipped\n");
        return;
    }
    const double unhooked = (before + after) / 2;
    std::printf("installed hook, SendInput of %lld mouse moves, per event:\n", events);
    std::printf("  without hook %9.0f ns (before %.0f, after %.0f)\n", unhooked, before, after);
    std::printf("  with hook    %9.0f ns\n", hooked);
    std::printf("  hook adds    %9.0f ns per event\n", hooked - unhooked);
    std::printf("  (under Wine every SendInput is a wineserver round trip; with the hook, "
                "wineserver also wakes the hook thread and waits for its answer)\n");
}

long long Argument(int argc, wchar_t** argv, int index, long long fallback)
{
    if (argc <= index)
        return fallback;
    const long long value = std::wcstoll(argv[index], nullptr, 10);
    return value > 0 ? value : fallback;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const long long logicIterations = Argument(argc, argv, 1, 1000000);
    const long long callIterations = Argument(argc, argv, 2, 20000);
    const long long sendInputEvents = Argument(argc, argv, 3, 2000);
    PrintCallbackCosts(logicIterations, callIterations);
    PrintInstalledHookCost(sendInputEvents);
    std::fflush(stdout);
    return 0;
}
