#include "input_probe.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr ULONG_PTR kTag = 0x51570000;  // our injected moves, numbered in the low word
constexpr DWORD kMoveInterval = 20;
constexpr size_t kMaxMoves = 0xFFFF;
constexpr UINT kRehookInterval = 100;
constexpr double kSlowChainMs = 10.0;  // the bar a hook's answer is held to

bool AttachTo(const wchar_t* name)
{
    HDESK desktop = OpenDesktopW(name, 0, FALSE, GENERIC_ALL);
    return desktop && SetThreadDesktop(desktop);
}

double Milliseconds(LONGLONG ticks)
{
    static LARGE_INTEGER frequency{};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// --- hook timing -----------------------------------------------------------

std::vector<LONGLONG> g_sentAt(kMaxMoves + 1);
std::vector<LONGLONG> g_answeredAt(kMaxMoves + 1);
std::vector<LONGLONG> g_chainCall(kMaxMoves + 1);  // each CallNextHookEx: the hooks after ours

int g_hookDepth = 0;  // our retiring hook is called again from inside the new one

LRESULT CALLBACK TimingHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    const LONGLONG entered = Now();
    ++g_hookDepth;
    const LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
    --g_hookDepth;
    if (code == HC_ACTION && g_hookDepth == 0 && (event->dwExtraInfo & 0xFFFF0000) == kTag) {
        const LONGLONG answered = Now();
        g_answeredAt[event->dwExtraInfo & 0xFFFF] = answered;
        g_chainCall[event->dwExtraInfo & 0xFFFF] = answered - entered;
    }
    return result;
}

struct HookThreadStart {
    const wchar_t* desktop;
    HANDLE ready;
    DWORD threadId;
};

DWORD WINAPI TimingHookThread(void* param)
{
    auto* start = static_cast<HookThreadStart*>(param);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const bool attached = AttachTo(start->desktop);
    HHOOK hook = attached ? SetWindowsHookExW(WH_MOUSE_LL, TimingHook, GetModuleHandleW(nullptr), 0)
                          : nullptr;
    start->threadId = hook ? GetCurrentThreadId() : 0;
    SetEvent(start->ready);
    if (!hook)
        return 1;
    // Windows calls the newest hook first. Hooking again every 100 ms keeps
    // ours ahead of one that Quillow installs anew, so that our
    // CallNextHookEx times its answer alone, without the delivery to us.
    // The hook it replaces is removed a tick later: a move already queued
    // for it would otherwise be dropped with it and count as unanswered.
    HHOOK retiring = nullptr;
    SetTimer(nullptr, 0, kRehookInterval, nullptr);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message != WM_TIMER)
            continue;
        HHOOK renewed = SetWindowsHookExW(WH_MOUSE_LL, TimingHook, GetModuleHandleW(nullptr), 0);
        if (!renewed)
            continue;
        if (retiring)
            UnhookWindowsHookEx(retiring);
        retiring = hook;
        hook = renewed;
    }
    if (retiring)
        UnhookWindowsHookEx(retiring);
    UnhookWindowsHookEx(hook);
    return 0;
}

void SendMove(size_t number)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = (number % 2) ? 1 : -1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    input.mi.dwExtraInfo = kTag | number;
    g_sentAt[number] = Now();
    SendInput(1, &input, sizeof(input));
}

void PrintTimes(size_t sent, double slowChainMs)
{
    std::vector<double> waits;
    LONGLONG worstChain = 0;
    size_t slowChains = 0;
    for (size_t n = 1; n <= sent; ++n) {
        if (!g_answeredAt[n])
            continue;
        waits.push_back(Milliseconds(g_answeredAt[n] - g_sentAt[n]));
        worstChain = std::max(worstChain, g_chainCall[n]);
        if (Milliseconds(g_chainCall[n]) >= slowChainMs)
            ++slowChains;
    }
    std::sort(waits.begin(), waits.end());
    const double worst = waits.empty() ? 0 : waits.back();
    const double median = waits.empty() ? 0 : waits[waits.size() / 2];
    std::printf("sent %zu answered %zu worst %.2f median %.2f\n", sent, waits.size(), worst, median);
    std::printf("next-hooks-worst %.2f\n", Milliseconds(worstChain));
    std::printf("next-hooks-slow %zu (at or over %.0f ms)\n", slowChains, slowChainMs);
    std::printf("slowest");
    for (size_t i = 0; i < waits.size() && i < 5; ++i)
        std::printf(" %.2f", waits[waits.size() - 1 - i]);
    std::printf("\nunanswered");
    for (size_t n = 1; n <= sent; ++n) {
        if (!g_answeredAt[n])
            std::printf(" #%zu@%.0fms", n, Milliseconds(g_sentAt[n] - g_sentAt[1]));
    }
    std::printf("\n");
}

// --- input log ---------------------------------------------------------------

const wchar_t* MessageName(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN: return L"WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return L"WM_LBUTTONUP";
    case WM_RBUTTONDOWN: return L"WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return L"WM_RBUTTONUP";
    case WM_MBUTTONDOWN: return L"WM_MBUTTONDOWN";
    case WM_MBUTTONUP: return L"WM_MBUTTONUP";
    case WM_CONTEXTMENU: return L"WM_CONTEXTMENU";
    case WM_KEYDOWN: return L"WM_KEYDOWN";
    case WM_KEYUP: return L"WM_KEYUP";
    default: return nullptr;
    }
}

LRESULT CALLBACK LogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (const wchar_t* name = MessageName(message)) {
        std::wprintf(L"%ls %llu\n", name, static_cast<unsigned long long>(wParam));
        std::fflush(stdout);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// --- injection -----------------------------------------------------------------

void SendMouse(DWORD flags, LONG x = 0, LONG y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

void SendKey(WORD key, bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

DWORD MouseFlag(const std::wstring& name)
{
    if (name == L"ldown") return MOUSEEVENTF_LEFTDOWN;
    if (name == L"lup") return MOUSEEVENTF_LEFTUP;
    if (name == L"rdown") return MOUSEEVENTF_RIGHTDOWN;
    if (name == L"rup") return MOUSEEVENTF_RIGHTUP;
    if (name == L"mdown") return MOUSEEVENTF_MIDDLEDOWN;
    if (name == L"mup") return MOUSEEVENTF_MIDDLEUP;
    return 0;
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator, size_t parts)
{
    std::vector<std::wstring> fields;
    size_t begin = 0;
    while (fields.size() + 1 < parts) {
        const size_t end = text.find(separator, begin);
        if (end == std::wstring::npos)
            break;
        fields.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    fields.push_back(text.substr(begin));
    return fields;
}

unsigned long Number(const std::wstring& text) { return std::wcstoul(text.c_str(), nullptr, 0); }

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

constexpr DWORD kFileWaitLimit = 20000;

// One step; false when it cannot be done.
bool RunStep(const std::wstring& step)
{
    const std::vector<std::wstring> f = Split(step, L':', 2);
    const std::wstring& verb = f[0];
    const std::wstring rest = f.size() > 1 ? f[1] : L"";
    if (verb == L"on")
        return AttachTo(rest.c_str());
    if (verb == L"at") {
        const auto xy = Split(rest, L',', 2);
        if (xy.size() != 2)
            return false;
        const LONG x = static_cast<LONG>(Number(xy[0]) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
        const LONG y = static_cast<LONG>(Number(xy[1]) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
        return true;
    }
    if (verb == L"mouse") {
        const DWORD flag = MouseFlag(rest);
        if (flag)
            SendMouse(flag);
        return flag != 0;
    }
    if (verb == L"key") {
        const auto k = Split(rest, L':', 2);
        if (k.size() != 2)
            return false;
        SendKey(static_cast<WORD>(Number(k[0])), k[1] == L"down");
        return true;
    }
    if (verb == L"repeat") {
        const auto r = Split(rest, L':', 3);
        if (r.size() != 3)
            return false;
        for (unsigned long i = 0; i < Number(r[1]); ++i) {
            SendKey(static_cast<WORD>(Number(r[0])), true);
            Sleep(Number(r[2]));
        }
        return true;
    }
    if (verb == L"until-file") {
        // PATH may hold a drive colon itself: the key and interval are the last two fields.
        const size_t last = rest.rfind(L':');
        const size_t middle = last == std::wstring::npos ? last : rest.rfind(L':', last - 1);
        if (middle == std::wstring::npos)
            return false;
        const std::wstring path = rest.substr(0, middle);
        const auto key = static_cast<WORD>(Number(rest.substr(middle + 1, last - middle - 1)));
        const DWORD interval = Number(rest.substr(last + 1));
        const DWORD start = GetTickCount();
        while (!FileExists(path)) {
            if (GetTickCount() - start > kFileWaitLimit)
                return false;
            SendKey(key, true);
            Sleep(interval);
        }
        return true;
    }
    if (verb == L"wait-file") {
        const DWORD start = GetTickCount();
        while (!FileExists(rest)) {
            if (GetTickCount() - start > kFileWaitLimit)
                return false;
            Sleep(10);
        }
        return true;
    }
    if (verb == L"sleep") {
        Sleep(Number(rest));
        return true;
    }
    return false;
}

}  // namespace

int TimeHookAnswers(const wchar_t* desktop, unsigned long milliseconds)
{
    HookThreadStart start{desktop, CreateEventW(nullptr, TRUE, FALSE, nullptr), 0};
    HANDLE thread = CreateThread(nullptr, 0, TimingHookThread, &start, 0, nullptr);
    if (!thread || WaitForSingleObject(start.ready, 5000) != WAIT_OBJECT_0 || !start.threadId ||
        !AttachTo(desktop))
        return 2;
    const LONGLONG began = Now();
    size_t sent = 0;
    while (sent < kMaxMoves && Milliseconds(Now() - began) < milliseconds) {
        SendMove(++sent);
        Sleep(kMoveInterval);
    }
    // The last answers may still be on their way; a hook that never answers
    // shows as a move not answered.
    Sleep(3000);
    PostThreadMessageW(start.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 5000);
    PrintTimes(sent, kSlowChainMs);
    return 0;
}

int LogInput(const wchar_t* desktop, unsigned long milliseconds)
{
    if (!AttachTo(desktop))
        return 2;
    WNDCLASSW wc{};
    wc.lpfnWndProc = LogWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"QwProbeInputLog";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"qwprobe input log",
                                  WS_POPUP | WS_VISIBLE, 0, 0, 600, 500, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!window)
        return 2;
    SetForegroundWindow(window);
    std::printf("ready\n");
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    for (DWORD spent = 0; spent < milliseconds; spent = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - spent, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    DestroyWindow(window);
    return 0;
}

int InjectInput(int count, wchar_t** steps)
{
    for (int i = 0; i < count; ++i) {
        if (!RunStep(steps[i])) {
            std::fwprintf(stderr, L"step failed: %ls\n", steps[i]);
            return 1;
        }
    }
    return 0;
}
