#include "threads/CPrivateShell.h"

#include <tlhelp32.h>

#include "base/CTrace.h"

namespace {
bool StartedNoEarlierThanUs(HANDLE process)
{
    // A process id is reused once its process is gone: a child of ours that
    // ended long ago may now name someone else's program.
    FILETIME created{}, ours{}, unused{};
    return GetProcessTimes(process, &created, &unused, &unused, &unused) &&
           GetProcessTimes(GetCurrentProcess(), &ours, &unused, &unused, &unused) &&
           CompareFileTime(&created, &ours) >= 0;
}
}  // namespace

CPrivateShell::~CPrivateShell() { CloseHandles(); }

std::wstring CPrivateShell::CommandLine(const wchar_t* windowsDirectory)
{
    return L"\"" + std::wstring(windowsDirectory) + L"\\explorer.exe\"";
}

bool CPrivateShell::RunningOn(HDESK desktop)
{
    bool found = false;
    EnumDesktopWindows(
        desktop,
        [](HWND window, LPARAM found) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(window, name, ARRAYSIZE(name));
            *reinterpret_cast<bool*>(found) = lstrcmpW(name, L"Shell_TrayWnd") == 0;
            return !*reinterpret_cast<bool*>(found);
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool CPrivateShell::Start(const wchar_t* windowsDirectory, const wchar_t* desktopName)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    // CreateProcessW wants writable strings for both.
    std::wstring desktop(desktopName);
    startup.lpDesktop = desktop.data();
    std::wstring commandLine = CommandLine(windowsDirectory);
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &m_process))
        return true;
    CTrace::LastError(L"CreateProcessW", L"the private desktop's Explorer");
    return false;
}

void CPrivateShell::End(UINT exitCode, HDESK privateDesktop)
{
    if (m_process.hProcess)
        TerminateProcess(m_process.hProcess, exitCode);
    if (privateDesktop) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        const DWORD self = GetCurrentProcessId();
        for (BOOL more = snapshot != INVALID_HANDLE_VALUE && Process32FirstW(snapshot, &entry);
             more; more = Process32NextW(snapshot, &entry)) {
            if (entry.th32ParentProcessID == self && entry.th32ProcessID != m_process.dwProcessId &&
                lstrcmpiW(entry.szExeFile, L"explorer.exe") == 0)
                EndIfOursThere(entry.th32ProcessID, privateDesktop, exitCode);
        }
        if (snapshot != INVALID_HANDLE_VALUE)
            CloseHandle(snapshot);
    }
    CloseHandles();
}

void CPrivateShell::EndIfOursThere(DWORD processId, HDESK privateDesktop, UINT exitCode)
{
    // One handle for the checks and the end, so the id cannot pass to
    // another process in between. Quillow starts Explorer nowhere else, but
    // only one that shows itself on the private desktop is known to be there.
    HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, processId);
    if (!process)
        return;
    if (StartedNoEarlierThanUs(process) && HasWindowOn(privateDesktop, processId))
        TerminateProcess(process, exitCode);
    CloseHandle(process);
}

bool CPrivateShell::HasWindowOn(HDESK desktop, DWORD processId)
{
    struct Search {
        DWORD processId;
        bool found;
    } search{processId, false};
    EnumDesktopWindows(
        desktop,
        [](HWND window, LPARAM param) -> BOOL {
            auto* search = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            search->found = owner == search->processId;
            return !search->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CPrivateShell::CloseHandles()
{
    if (m_process.hThread)
        CloseHandle(m_process.hThread);
    if (m_process.hProcess)
        CloseHandle(m_process.hProcess);
    m_process = PROCESS_INFORMATION{};
}
