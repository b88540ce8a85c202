// The Windows half of bench/soak.py: one long-lived process that posts the
// switch requests and reads a process's resource figures, so the soak does
// not start a Wine process per step. Commands arrive one per line on stdin;
// each gets one line of answer on stdout.
//   post TID          posts WM_USER (0, 0) to the thread; answers "ok" or "failed"
//   figures PID       answers "handles=N gdi=N user=N private=N working=N"
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

}  // namespace

int main()
{
    char line[128];
    while (std::fgets(line, sizeof(line), stdin)) {
        unsigned long id = 0;
        if (std::sscanf(line, "post %lu", &id) == 1)
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
