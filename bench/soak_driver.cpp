// The Windows half of bench/soak.py and of the benchmarks that need a step
// timed without a Wine process start inside it: one long-lived process that
// posts requests, repaints windows and reads a process's resource figures.
// Commands arrive one per line on stdin; each gets one line of answer on
// stdout.
//   post TID                     posts WM_USER (0, 0) to the thread; answers "ok" or "failed"
//   post-window CLASS MSG WP LP  posts to the top-level window of that class; "ok" or "failed"
//   repaint CLASS                repaints that window and all its children before answering
//                                "ok MICROSECONDS" (the call's wall time) or "failed"
//   figures PID                  answers "handles=N gdi=N user=N private=N working=N"
//   quit
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

namespace {

void AnswerPost(unsigned long threadId)
{
    const bool posted = PostThreadMessageW(threadId, WM_USER, 0, 0) != FALSE;
    std::printf("%s\n", posted ? "ok" : "failed");
}

void AnswerFigures(unsigned long processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) {
        std::printf("failed %lu\n", GetLastError());
        return;
    }
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof(memory));
    std::printf("handles=%lu gdi=%lu user=%lu private=%llu working=%llu\n", handles,
                GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS),
                static_cast<unsigned long long>(memory.PrivateUsage),
                static_cast<unsigned long long>(memory.WorkingSetSize));
    CloseHandle(process);
}

void AnswerPostWindow(const wchar_t* windowClass, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = FindWindowW(windowClass, nullptr);
    const bool posted = window && PostMessageW(window, message, wParam, lParam);
    std::printf("%s\n", posted ? "ok" : "failed");
}

// RDW_UPDATENOW makes the call return only once every window of the tree
// has been sent its WM_PAINT, across threads too, so the wall time covers the
// whole repaint and nothing after it.
void AnswerRepaint(const wchar_t* windowClass)
{
    HWND window = FindWindowW(windowClass, nullptr);
    if (!window) {
        std::printf("failed\n");
        return;
    }
    LARGE_INTEGER frequency, started, ended;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    const BOOL painted = RedrawWindow(
        window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    QueryPerformanceCounter(&ended);
    if (!painted) {
        std::printf("failed\n");
        return;
    }
    const long long micros = (ended.QuadPart - started.QuadPart) * 1000000LL / frequency.QuadPart;
    std::printf("ok %lld\n", micros);
}

// A class name as a wide string, from the ASCII the benchmarks send; false
// when it does not fit, so a long name is refused rather than cut.
bool WideClassName(const char* text, wchar_t* out, size_t capacity)
{
    size_t i = 0;
    for (; text[i] != '\0'; ++i) {
        if (i + 1 >= capacity)
            return false;
        out[i] = static_cast<unsigned char>(text[i]);
    }
    out[i] = L'\0';
    return i > 0;
}

}  // namespace

int main()
{
    char line[512];
    while (std::fgets(line, sizeof(line), stdin)) {
        unsigned long id = 0;
        char name[256] = "";
        wchar_t windowClass[256] = L"";
        unsigned int message = 0;
        unsigned long long wParam = 0, lParam = 0;
        if (std::sscanf(line, "post-window %255s %u %llu %llu", name, &message, &wParam,
                        &lParam) == 4 &&
            WideClassName(name, windowClass, 256))
            AnswerPostWindow(windowClass, message, static_cast<WPARAM>(wParam),
                             static_cast<LPARAM>(lParam));
        else if (std::sscanf(line, "repaint %255s", name) == 1 &&
                 WideClassName(name, windowClass, 256))
            AnswerRepaint(windowClass);
        else if (std::sscanf(line, "post %lu", &id) == 1)
            AnswerPost(id);
        else if (std::sscanf(line, "figures %lu", &id) == 1)
            AnswerFigures(id);
        else if (std::strncmp(line, "quit", 4) == 0)
            break;
        else
            std::printf("unknown\n");
        std::fflush(stdout);
    }
    return 0;
}
