#include "threads/CWatchdog.h"

#include "base/CHandleListAttribute.h"
#include "base/CInheritableHandle.h"
#include "base/CTrace.h"
#include "CSiblingPath.h"
#include "CWatchCommandLine.h"

namespace {
const wchar_t kWatchExeName[] = L"QuillowWatch.exe";
// Room for a long folder, and still short enough for the command line.
constexpr DWORD kPathChars = CWatchCommandLine::kChars - 64;
}

namespace {

// Made before wWinMain runs, so its first use races nothing and needs no
// lock of its own.
CWatchdog g_watchdog;

}  // namespace

CWatchdog& CWatchdog::Instance()
{
    return g_watchdog;
}

bool CWatchdog::Start()
{
    wchar_t watchExe[kPathChars];
    return CSiblingPath::Make(kWatchExeName, watchExe, kPathChars) && Start(watchExe);
}

bool CWatchdog::Start(const wchar_t* watchExe)
{
    if (!ShareBlock())
        return false;
    // A handle, not a process id: an id can be reused by another process
    // once we are gone; our handle keeps naming us.
    CInheritableHandle process(GetCurrentProcess(), SYNCHRONIZE);
    // The watchdog may read the page, never write it.
    CInheritableHandle block(m_mapping, FILE_MAP_READ);
    if (!process.Get() || !block.Get())
        return false;
    return Launch(watchExe, process.Get(), block.Get());
}

bool CWatchdog::ShareBlock()
{
    if (m_view)
        return true;
    m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   sizeof(CWatchBlock), nullptr);
    if (!m_mapping)
        return false;
    m_view = MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, sizeof(CWatchBlock));
    if (!m_view) {
        CloseHandle(m_mapping);
        m_mapping = nullptr;
        return false;
    }
    auto* shared = static_cast<CWatchBlock*>(m_view);
    // Whatever was marked before the page existed carries over.
    InterlockedExchange(&shared->privateShown, m_block->privateShown);
    InterlockedExchange(&shared->taskManagerPolicySet, m_block->taskManagerPolicySet);
    InterlockedExchange(&shared->cleanStop, m_block->cleanStop);
    InterlockedExchange(&shared->restoreGuarded, m_block->restoreGuarded);
    m_block = shared;
    return true;
}

bool CWatchdog::Launch(const wchar_t* watchExe, HANDLE process, HANDLE block)
{
    wchar_t commandLine[CWatchCommandLine::kChars];
    if (!CWatchCommandLine::Format(commandLine, CWatchCommandLine::kChars, watchExe, process,
                                   block))
        return false;
    HANDLE inherited[2] = {process, block};
    CHandleListAttribute handleList(inherited, 2);
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof(startup);
    DWORD flags = 0;
    // Without the list (a Windows that lacks it) plain inheritance still
    // works: Start runs before any other thread, and nothing else of ours is
    // inheritable then.
    if (handleList.Get()) {
        startup.lpAttributeList = handleList.Get();
        flags |= EXTENDED_STARTUPINFO_PRESENT;
    }
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(watchExe, commandLine, nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                        &startup.StartupInfo, &started)) {
        CTrace::LastError(L"CreateProcessW", watchExe);
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

void CWatchdog::SetPrivateShown(bool shown) { InterlockedExchange(&m_block->privateShown, shown); }

void CWatchdog::SetTaskManagerPolicySet(bool set)
{
    InterlockedExchange(&m_block->taskManagerPolicySet, set);
}

void CWatchdog::SetRestoreGuarded(bool guarded)
{
    InterlockedExchange(&m_block->restoreGuarded, guarded);
}

void CWatchdog::MarkCleanStop() { InterlockedExchange(&m_block->cleanStop, 1); }
