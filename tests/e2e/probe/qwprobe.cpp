// A small Windows-side probe for the end-to-end tests: it looks at processes,
// threads and desktops from outside Quillow and posts thread messages to it.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "acc_probe.h"
#include "input_probe.h"

namespace {

struct ThreadInfo {
    DWORD id;
    ULONGLONG created;
};

std::vector<ThreadInfo> ThreadsOf(DWORD pid)
{
    std::vector<ThreadInfo> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{sizeof(entry)};
    for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid)
            continue;
        ULONGLONG created = 0;
        if (HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID)) {
            FILETIME c, e, k, u;
            if (GetThreadTimes(thread, &c, &e, &k, &u))
                created = (static_cast<ULONGLONG>(c.dwHighDateTime) << 32) | c.dwLowDateTime;
            CloseHandle(thread);
        }
        threads.push_back({entry.th32ThreadID, created});
    }
    CloseHandle(snapshot);
    return threads;
}

// "pid parent name" for every process.
int ListProcesses()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL ok = Process32FirstW(snapshot, &entry); ok; ok = Process32NextW(snapshot, &entry))
        std::wprintf(L"%lu %lu %ls\n", entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile);
    CloseHandle(snapshot);
    return 0;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// "tid windows" for every thread of the process, oldest thread first.
int ListThreads(DWORD pid)
{
    std::vector<ThreadInfo> threads = ThreadsOf(pid);
    for (size_t i = 0; i < threads.size(); ++i)
        for (size_t j = i + 1; j < threads.size(); ++j)
            if (threads[j].created < threads[i].created)
                std::swap(threads[i], threads[j]);
    for (const ThreadInfo& t : threads) {
        int windows = 0;
        EnumThreadWindows(t.id, CountWindow, reinterpret_cast<LPARAM>(&windows));
        std::printf("%lu %d\n", t.id, windows);
    }
    return threads.empty() ? 1 : 0;
}

BOOL CALLBACK PrintWindow(HWND hwnd, LPARAM)
{
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[128] = L"", title[256] = L"";
    GetClassNameW(hwnd, className, 128);
    GetWindowTextW(hwnd, title, 256);
    std::wprintf(L"%lu %lu %ls|%ls\n", pid, tid, className, title);
    return TRUE;
}

// "pid tid class|title" for every top-level window of the named desktop;
// exit code 2 when no such desktop exists.
int ListDesktopWindows(const wchar_t* name)
{
    HDESK desktop = OpenDesktopW(name, 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE);
    if (!desktop)
        return 2;
    EnumDesktopWindows(desktop, PrintWindow, 0);
    CloseDesktop(desktop);
    return 0;
}

BOOL CALLBACK PrintChild(HWND hwnd, LPARAM)
{
    wchar_t className[128] = L"";
    GetClassNameW(hwnd, className, 128);
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::wprintf(L"%ls %ld %ld %ld %ld %d\n", className, r.left, r.top, r.right, r.bottom,
                 IsWindowVisible(hwnd) ? 1 : 0);
    return TRUE;
}

// "class left top right bottom visible" for the top-level window of a class
// and for each of its child windows.
int ListWindowTree(const wchar_t* className)
{
    HWND top = FindWindowW(className, nullptr);
    if (!top)
        return 2;
    PrintChild(top, 0);
    EnumChildWindows(top, PrintChild, 0);
    return 0;
}

BOOL CALLBACK PrintDescendant(HWND hwnd, LPARAM)
{
    wchar_t className[128] = L"", text[256] = L"";
    GetClassNameW(hwnd, className, 128);
    // WM_GETTEXT crosses the process boundary, where GetWindowText would not.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::wprintf(L"%llx %d %ls %ld %ld %ld %ld %d|%ls\n",
                 static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)),
                 GetDlgCtrlID(hwnd), className, r.left, r.top, r.right, r.bottom,
                 IsWindowVisible(hwnd) ? 1 : 0, text);
    return TRUE;
}

// "hwnd id class left top right bottom visible|text" for every descendant of the
// top-level window of a class (and title, when given).
int ListChildren(const wchar_t* className, const wchar_t* title)
{
    HWND top = FindWindowW(className, title);
    if (!top)
        return 2;
    EnumChildWindows(top, PrintDescendant, 0);
    return 0;
}

BOOL CALLBACK PrintTopLevel(HWND hwnd, LPARAM className)
{
    wchar_t name[128] = L"";
    GetClassNameW(hwnd, name, 128);
    if (lstrcmpiW(name, reinterpret_cast<const wchar_t*>(className)) == 0)
        PrintDescendant(hwnd, 0);
    return TRUE;
}

// The same line for every top-level window of a class, such as tool tips.
int ListTopLevel(const wchar_t* className)
{
    EnumWindows(PrintTopLevel, reinterpret_cast<LPARAM>(className));
    return 0;
}

BOOL CALLBACK FindById(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<std::pair<int, HWND>*>(param);
    if (GetDlgCtrlID(hwnd) != search->first)
        return TRUE;
    search->second = hwnd;
    return FALSE;
}

// A check box's state, found by its id anywhere below the top-level window.
int PrintCheck(HWND top, int controlId)
{
    std::pair<int, HWND> search{controlId, nullptr};
    if (top)
        EnumChildWindows(top, FindById, reinterpret_cast<LPARAM>(&search));
    if (!search.second)
        return 2;
    DWORD_PTR state = 0;
    SendMessageTimeoutW(search.second, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    std::printf("%d\n", static_cast<int>(state));
    return 0;
}

BOOL CALLBACK FindByClass(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<std::pair<const wchar_t*, HWND>*>(param);
    wchar_t name[128] = L"";
    GetClassNameW(hwnd, name, 128);
    if (lstrcmpiW(name, search->first) != 0)
        return TRUE;
    search->second = hwnd;
    return FALSE;
}

// A top-level window of a class (and title, unless "-"); with a control id
// other than 0 its descendant of that id, with a class name instead of an
// id its first descendant of that class.
HWND FindControl(const wchar_t* className, const wchar_t* title, const wchar_t* control)
{
    HWND top = FindWindowW(className, wcscmp(title, L"-") == 0 ? nullptr : title);
    if (!top)
        return nullptr;
    if (!iswdigit(control[0])) {
        std::pair<const wchar_t*, HWND> search{control, nullptr};
        EnumChildWindows(top, FindByClass, reinterpret_cast<LPARAM>(&search));
        return search.second;
    }
    const int controlId = static_cast<int>(std::wcstol(control, nullptr, 0));
    if (controlId == 0)
        return top;
    std::pair<int, HWND> search{controlId, nullptr};
    EnumChildWindows(top, FindById, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// "ID CLASS" of the window that has the keyboard focus in the thread of the
// top-level window of a class; exit code 2 when that thread has none.
int PrintFocus(const wchar_t* className)
{
    HWND top = FindWindowW(className, nullptr);
    if (!top)
        return 2;
    GUITHREADINFO info{sizeof(info)};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) || !info.hwndFocus)
        return 2;
    wchar_t name[128] = L"";
    GetClassNameW(info.hwndFocus, name, 128);
    std::wprintf(L"%d %ls\n", GetDlgCtrlID(info.hwndFocus), name);
    return 0;
}

// The UI state (WM_QUERYUISTATE) of a control: which keyboard cues it hides.
int PrintUiState(HWND control)
{
    if (!control)
        return 2;
    DWORD_PTR state = 0;
    SendMessageTimeoutW(control, WM_QUERYUISTATE, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    std::printf("%d\n", static_cast<int>(state));
    return 0;
}

// The items of the pop-up menu now shown, one a line, the default one marked
// with a star; exit code 2 when no menu is shown.
int ListShownMenu()
{
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow))
        return 2;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    if (!menu)
        return 4;
    const UINT defaultItem = GetMenuDefaultItem(menu, TRUE, 0);
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = L"";
        GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
        const bool separator = (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) != 0;
        std::wprintf(L"%ls%ls\n", static_cast<UINT>(i) == defaultItem ? L"*" : L"",
                     separator ? L"-" : text);
    }
    return 0;
}

// A real TerminateProcess, as the task manager's "End task" does: no clean-up
// of any kind runs in the process.
int Terminate(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (!process)
        return 1;
    const BOOL ended = TerminateProcess(process, 9);
    CloseHandle(process);
    return ended ? 0 : 1;
}

// Makes the thread fault in its own code: suspended, its next instruction is
// moved to an address nothing maps, and it is let go. A thread asleep in a
// wait reaches that instruction only when the wait ends, so the caller wakes
// it with a message afterwards.
int Fault(DWORD tid)
{
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT,
                               FALSE, tid);
    if (!thread)
        return 1;
    int result = 1;
    if (SuspendThread(thread) != static_cast<DWORD>(-1)) {
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        if (GetThreadContext(thread, &context)) {
            context.Rip = 0x10;
            if (SetThreadContext(thread, &context))
                result = 0;
        }
        ResumeThread(thread);
    }
    CloseHandle(thread);
    return result;
}

// Starts a command line on the named desktop (STARTUPINFO's lpDesktop), as a
// program the user starts there would be. Prints "pid exit-code" once it has
// ended, or "pid" at once when waitMs is 0; exit code 1 when it could not
// start, 2 when it ran longer than waitMs.
int RunOnDesktop(const wchar_t* desktop, DWORD waitMs, const wchar_t* commandLine)
{
    std::wstring desktopName = desktop;
    std::wstring command = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.lpDesktop = desktopName.data();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 1;
    CloseHandle(process.hThread);
    int result = 0;
    if (waitMs == 0) {
        std::printf("%lu\n", process.dwProcessId);
    } else if (WaitForSingleObject(process.hProcess, waitMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        std::printf("%lu %lu\n", process.dwProcessId, code);
    } else {
        result = 2;
    }
    CloseHandle(process.hProcess);
    return result;
}

// Holds or lets go every thread of a process: a program that hangs, for
// whoever waits for it to end.
int SuspendProcess(DWORD pid, bool suspend)
{
    int changed = 0;
    for (const ThreadInfo& t : ThreadsOf(pid)) {
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, t.id);
        if (!thread)
            continue;
        if ((suspend ? SuspendThread(thread) : ResumeThread(thread)) != static_cast<DWORD>(-1))
            ++changed;
        CloseHandle(thread);
    }
    return changed ? 0 : 1;
}

int Post(DWORD tid, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostThreadMessageW(tid, message, wParam, lParam) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    auto number = [&](int i) { return static_cast<unsigned long>(std::wcstoul(argv[i], nullptr, 0)); };
    int result = 3;
    if (command == L"processes" && argc == 2)
        result = ListProcesses();
    else if (command == L"threads" && argc == 3)
        result = ListThreads(number(2));
    else if (command == L"desktop-windows" && argc == 3)
        result = ListDesktopWindows(argv[2]);
    else if (command == L"window-tree" && argc == 3)
        result = ListWindowTree(argv[2]);
    else if (command == L"children" && (argc == 3 || argc == 4))
        result = ListChildren(argv[2], argc == 4 ? argv[3] : nullptr);
    else if (command == L"checked" && argc == 4)
        // 0 unchecked, 1 checked, 2 indeterminate; exit code 2 when absent.
        result = PrintCheck(FindWindowW(argv[2], nullptr), static_cast<int>(number(3)));
    else if (command == L"top-level" && argc == 3)
        result = ListTopLevel(argv[2]);
    else if (command == L"menu" && argc == 2)
        result = ListShownMenu();
    else if (command == L"post-window" && argc == 6)
        result = PostMessageW(FindWindowW(argv[2], nullptr), number(3), number(4),
                              static_cast<LPARAM>(std::wcstol(argv[5], nullptr, 0)))
                     ? 0
                     : 1;
    else if (command == L"acc" && argc == 5)
        result = PrintAccessible(FindControl(argv[2], argv[3], argv[4]));
    else if (command == L"acc-do" && argc == 6)
        result = DoDefaultAction(FindControl(argv[2], argv[3], argv[4]),
                                 static_cast<long>(number(5)));
    else if (command == L"focus" && argc == 3)
        result = PrintFocus(argv[2]);
    else if (command == L"uistate" && argc == 4)
        result = PrintUiState(FindControl(argv[2], L"-", argv[3]));
    else if (command == L"terminate" && argc == 3)
        result = Terminate(number(2));
    else if (command == L"fault" && argc == 3)
        result = Fault(number(2));
    else if (command == L"post" && argc == 6)
        result = Post(number(2), number(3), number(4), static_cast<LPARAM>(std::wcstol(argv[5], nullptr, 0)));
    else if (command == L"run-on-desktop" && argc == 5)
        result = RunOnDesktop(argv[2], number(3), argv[4]);
    else if (command == L"suspend" && argc == 3)
        result = SuspendProcess(number(2), true);
    else if (command == L"resume" && argc == 3)
        result = SuspendProcess(number(2), false);
    else if (command == L"hook-latency" && argc == 4)
        result = TimeHookAnswers(argv[2], number(3));
    else if (command == L"input-log" && argc == 4)
        result = LogInput(argv[2], number(3));
    else if (command == L"inject" && argc >= 3)
        result = InjectInput(argc - 2, argv + 2);
    else
        std::fwprintf(stderr, L"usage: qwprobe processes | threads PID | desktop-windows NAME | window-tree CLASS | children CLASS [TITLE]"
                     L" | top-level CLASS | menu | terminate PID | fault TID | suspend PID | resume PID"
                     L" | acc CLASS TITLE|- ID|CLASS | acc-do CLASS TITLE|- ID|CLASS CHILD | focus CLASS | uistate CLASS ID|CLASS"
                     L" | run-on-desktop DESKTOP WAIT_MS COMMAND_LINE"
                     L" | hook-latency DESKTOP MS | input-log DESKTOP MS | inject STEP..."
                     L" | post TID MSG WPARAM LPARAM | post-window CLASS MSG WPARAM LPARAM\n");
    std::fflush(stdout);
    return result;
}
