#include "actions/CProcessCloser.h"

#include <algorithm>
#include <cwchar>
#include <memory>

#include "actions/CProtectedTargets.h"
#include "base/CTrace.h"

namespace {
// What a path may hold with the \\?\ prefix.
constexpr DWORD kLongestPath = 32768;

// Desktop names are short; a longer one is read as another desktop's.
constexpr DWORD kDesktopNameChars = 260;
}  // namespace

CProcessCloser::Result CProcessCloser::CloseAndKill(DWORD processId, DWORD waitMilliseconds,
                                                    HDESK windowsDesktop)
{
    // A title match may well hit one of our own windows; ending ourselves
    // from the switcher thread would strand the user without the switch.
    if (processId == 0 || processId == GetCurrentProcessId())
        return kFailed;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
    if (!process)
        return kFailed;
    return CloseAndKillOpened({{process, processId}}, waitMilliseconds, windowsDesktop)[0];
}

CProcessCloser::Result CProcessCloser::CloseAndKillNamed(DWORD processId, const wchar_t* imageName,
                                                         DWORD waitMilliseconds,
                                                         HDESK windowsDesktop)
{
    HANDLE process = OpenToEnd(processId, imageName);
    if (!process)
        return kFailed;
    return CloseAndKillOpened({{process, processId}}, waitMilliseconds, windowsDesktop)[0];
}

HANDLE CProcessCloser::OpenToEnd(DWORD processId, const wchar_t* imageName)
{
    if (processId == 0 || processId == GetCurrentProcessId() || !imageName ||
        CProtectedTargets::IsNeverEnded(imageName))
        return nullptr;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE |
                                     PROCESS_QUERY_LIMITED_INFORMATION,
                                 FALSE, processId);
    if (!process)
        return nullptr;
    // Checked on the handle, not the id: the handle keeps the process object
    // it names, so what passes here is what gets closed or killed.
    if (!HasImageName(process, imageName)) {
        CloseHandle(process);
        return nullptr;
    }
    return process;
}

// Every process is asked first and all wait together: the deadline is
// shared, so each still gets its whole wait, and the last is not kept
// waiting for the ones before it.
std::vector<CProcessCloser::Result> CProcessCloser::CloseAndKillOpened(
    const std::vector<OpenedProcess>& processes, DWORD waitMilliseconds, HDESK windowsDesktop)
{
    PostCloseToWindowsOf(processes, windowsDesktop);
    const ULONGLONG deadline = GetTickCount64() + waitMilliseconds;
    std::vector<Result> results;
    results.reserve(processes.size());
    for (const OpenedProcess& process : processes) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        results.push_back(WaitOrTerminate(process.handle, left));
        CloseHandle(process.handle);
    }
    return results;
}

bool CProcessCloser::HasImageName(HANDLE process, const wchar_t* name)
{
    // Long enough for any path the system reports; a path it cannot give
    // counts as another program's.
    std::vector<wchar_t> path(kLongestPath, L'\0');
    DWORD length = kLongestPath;
    if (!QueryFullProcessImageNameW(process, 0, path.data(), &length))
        return false;
    return IsImageNamed(path.data(), name);
}

CProcessCloser::Result CProcessCloser::WaitOrTerminate(HANDLE process, DWORD waitMilliseconds)
{
    if (WaitForSingleObject(process, waitMilliseconds) == WAIT_OBJECT_0)
        return kEndedByItself;
    if (TerminateProcess(process, 0))
        return kTerminated;
    CTrace::LastError(L"TerminateProcess", L"a program to end");
    return kFailed;
}

void CProcessCloser::PostCloseToWindowsOf(const std::vector<OpenedProcess>& processes,
                                          HDESK windowsDesktop)
{
    std::vector<DWORD> ids;
    for (const OpenedProcess& process : processes)
        ids.push_back(process.id);
    PostCloseHere(ids);
    if (windowsDesktop && !IsCallersDesktop(windowsDesktop))
        PostCloseOn(windowsDesktop, ids);
}

void CProcessCloser::PostCloseHere(const std::vector<DWORD>& processIds)
{
    for (HWND window : DesktopWindows(nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        const bool listed = std::find(processIds.begin(), processIds.end(), owner) != processIds.end();
        if (listed && !CProtectedTargets::IsNeverClosedWindow(window))
            PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

bool CProcessCloser::IsCallersDesktop(HDESK desktop)
{
    // Two handles may name one desktop; the name tells.
    wchar_t mine[kDesktopNameChars] = L"";
    wchar_t theirs[kDesktopNameChars] = L"";
    const DWORD bytes = sizeof(mine) - sizeof(wchar_t);
    if (!GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, mine, bytes,
                                   nullptr) ||
        !GetUserObjectInformationW(desktop, UOI_NAME, theirs, bytes, nullptr))
        return desktop == GetThreadDesktop(GetCurrentThreadId());
    return CompareStringOrdinal(mine, -1, theirs, -1, TRUE) == CSTR_EQUAL;
}

// A window takes messages only from threads on its own desktop, and the
// caller, the switcher, stays on the original one: a short-lived thread of
// ours goes to the other desktop, where programs may have been left, and
// asks there. It makes no window, so it can move, and it posts, never sends, so
// it never waits on a program; the caller waits for it a bounded time.
bool CProcessCloser::PostCloseOn(HDESK desktop, const std::vector<DWORD>& processIds)
{
    std::unique_ptr<CloseRequest> request(new CloseRequest{desktop, processIds});
    HANDLE thread = CreateThread(nullptr, 0, PostCloseThread, request.get(), 0, nullptr);
    if (!thread)
        return false;
    request.release();  // the thread owns it now
    const bool done = WaitForSingleObject(thread, kPosterWait) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return done;
}

DWORD WINAPI CProcessCloser::PostCloseThread(void* parameter)
{
    std::unique_ptr<CloseRequest> request(static_cast<CloseRequest*>(parameter));
    if (!SetThreadDesktop(request->desktop)) {
        CTrace::LastError(L"SetThreadDesktop", L"asking programs to close");
        return 1;
    }
    PostCloseHere(request->processIds);
    return 0;
}

BOOL CALLBACK CProcessCloser::CollectWindow(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

std::vector<HWND> CProcessCloser::DesktopWindows(HDESK desktop)
{
    // Collected first and handled afterwards, so that the slow part (the
    // waits) runs outside the enumeration callback. A null desktop is the
    // calling thread's. A desktop that cannot be read gives no windows, and
    // its processes are then only waited for and ended.
    std::vector<HWND> windows;
    EnumDesktopWindows(desktop, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HANDLE CProcessCloser::TakeProcessSnapshot(PROCESSENTRY32W* first)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return nullptr;
    // The structure's own size: the API refuses a smaller one, and the
    // 64-bit layout is larger than the 32-bit one.
    first->dwSize = sizeof(*first);
    if (!Process32FirstW(snapshot, first)) {
        CloseHandle(snapshot);
        return nullptr;
    }
    return snapshot;
}

std::vector<CProcessCloser::NamedProcess> CProcessCloser::RunningProcesses()
{
    std::vector<NamedProcess> running;
    PROCESSENTRY32W entry{};
    HANDLE snapshot = TakeProcessSnapshot(&entry);
    if (!snapshot)
        return running;
    do {
        // The structure's own buffer, terminated by the system; cut at its
        // end all the same.
        running.push_back({entry.th32ProcessID,
                           std::wstring(entry.szExeFile, wcsnlen(entry.szExeFile, MAX_PATH))});
    } while (Process32NextW(snapshot, &entry));
    CloseHandle(snapshot);
    return running;
}

const std::wstring* CProcessCloser::NameOf(DWORD processId,
                                           const std::vector<NamedProcess>& running)
{
    for (const NamedProcess& process : running) {
        if (process.id == processId)
            return &process.imageName;
    }
    return nullptr;
}

void CProcessCloser::TerminateProcesses(const std::vector<std::wstring>& names,
                                        HDESK windowsDesktop)
{
    if (names.empty())
        return;
    for (const NamedProcess& process : RunningProcesses()) {
        // An entry listed twice asks twice; the second call finds the
        // process gone or going.
        const size_t calls = CountListMatches(process.imageName.c_str(), names);
        for (size_t i = 0; i < calls; ++i)
            CloseAndKillNamed(process.id, process.imageName.c_str(), kProcessWait,
                              windowsDesktop);
    }
}

void CProcessCloser::CloseWindowsWithTitle(const wchar_t* text)
{
    if (!text || text[0] == L'\0')
        return;
    const std::vector<NamedProcess> running = RunningProcesses();
    const std::vector<TitleMatch> asked = FindTitleMatches(text, running);
    if (asked.empty())
        return;
    // All asked at once, then one wait: twenty windows cost the switch what
    // one does, and each still gets its whole time to go.
    for (const TitleMatch& match : asked)
        PostMessageW(match.window, WM_CLOSE, 0, 0);
    Sleep(kWindowWait);
    std::vector<OpenedProcess> stubborn;
    for (const NamedProcess& process : ProcessesOfWindowsLeft(asked, running)) {
        if (HANDLE handle = OpenToEnd(process.id, process.imageName.c_str()))
            stubborn.push_back({handle, process.id});
    }
    if (!stubborn.empty())
        CloseAndKillOpened(stubborn, kProcessWait, nullptr);
}

// Only the user's own windows: never one Windows or a runtime made for the
// thread, the shell's desktop or a system process's, and never one whose
// process is unknown, which the snapshot taken just before did not see.
std::vector<CProcessCloser::TitleMatch> CProcessCloser::FindTitleMatches(
    const wchar_t* text, const std::vector<NamedProcess>& running)
{
    std::vector<TitleMatch> matches;
    for (HWND window : DesktopWindows(nullptr)) {
        if (!window || !IsWindow(window))
            continue;
        wchar_t title[kTitleCapacity] = L"";
        if (GetWindowTextW(window, title, kTitleCapacity) <= 0 || !TitleMatches(title, text))
            continue;
        if (CProtectedTargets::IsNeverClosedWindow(window))
            continue;
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        const std::wstring* name = NameOf(processId, running);
        if (!name || CProtectedTargets::AreWindowsLeftAlone(name->c_str()))
            continue;
        matches.push_back({window, processId});
    }
    return matches;
}

// Each process once, however many of its windows stayed. A window that went
// away in the meantime, also by another window's process ending, is done;
// so is a handle that now names another process's window.
std::vector<CProcessCloser::NamedProcess> CProcessCloser::ProcessesOfWindowsLeft(
    const std::vector<TitleMatch>& asked, const std::vector<NamedProcess>& running)
{
    std::vector<NamedProcess> left;
    for (const TitleMatch& match : asked) {
        DWORD processId = 0;
        if (!IsWindow(match.window) || !GetWindowThreadProcessId(match.window, &processId) ||
            processId != match.processId)
            continue;
        const std::wstring* name = NameOf(processId, running);
        const bool known = std::any_of(left.begin(), left.end(), [processId](const NamedProcess& p) {
            return p.id == processId;
        });
        if (name && !known)
            left.push_back({processId, *name});
    }
    return left;
}

std::vector<std::wstring> CProcessCloser::ListProcessNames()
{
    // Every process is offered, also those we could not open right now:
    // termination matches names at switch time, and the user may well have
    // the rights then. Only those never ended are not offered.
    std::vector<std::wstring> names;
    for (const NamedProcess& process : RunningProcesses()) {
        if (!CProtectedTargets::IsNeverEnded(process.imageName.c_str()))
            AddUniqueName(names, process.imageName.c_str());
    }
    return names;
}

bool CProcessCloser::IsSameName(const wchar_t* left, const wchar_t* right)
{
    if (!left || !right)
        return false;
    // File names compare the way the file system compares them, whatever
    // the user's locale.
    return CompareStringOrdinal(left, -1, right, -1, TRUE) == CSTR_EQUAL;
}

bool CProcessCloser::IsImageNamed(const wchar_t* imagePath, const wchar_t* name)
{
    if (!imagePath)
        return false;
    const wchar_t* fileName = imagePath;
    for (const wchar_t* at = imagePath; *at; ++at) {
        if (*at == L'\\' || *at == L'/')
            fileName = at + 1;
    }
    return IsSameName(fileName, name);
}

size_t CProcessCloser::CountListMatches(const wchar_t* processName,
                                        const std::vector<std::wstring>& names)
{
    if (CProtectedTargets::IsNeverEnded(processName))
        return 0;
    size_t count = 0;
    for (const std::wstring& name : names) {
        if (IsSameName(processName, name.c_str()))
            ++count;
    }
    return count;
}

bool CProcessCloser::TitleMatches(const wchar_t* title, const wchar_t* text)
{
    if (!title || !text || text[0] == L'\0')
        return false;
    // The same cut GetWindowTextW makes with our buffer, so a title handed in
    // whole is matched exactly as a window's title would be.
    wchar_t cut[kTitleCapacity] = L"";
    lstrcpynW(cut, title, kTitleCapacity);
    return cut[0] != L'\0' && wcsstr(cut, text) != nullptr;
}

void CProcessCloser::AddUniqueName(std::vector<std::wstring>& names, const wchar_t* name)
{
    if (!name || name[0] == L'\0')
        return;
    for (const std::wstring& known : names) {
        if (IsSameName(known.c_str(), name))
            return;
    }
    names.emplace_back(name);
}
