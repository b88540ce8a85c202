#include "actions/CShellOpener.h"

#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <utility>

#include "base/CTrace.h"

CShellOpener::CShellOpener(FailureCall tellFailure, AttachCall attach, ExecuteCall execute)
    : m_tellFailure(std::move(tellFailure)), m_attach(std::move(attach)), m_execute(std::move(execute))
{
}

bool CShellOpener::Open(const wchar_t* path, const wchar_t* desktopName) const
{
    if (!path || !desktopName)
        return false;
    std::unique_ptr<Job> job(new Job{path, desktopName, m_tellFailure, m_attach, m_execute});
    HANDLE thread = CreateThread(nullptr, 0, ThreadProc, job.get(), 0, nullptr);
    if (!thread) {
        if (m_tellFailure)
            m_tellFailure(path, desktopName);
        return false;
    }
    job.release();  // the thread owns it now
    CloseHandle(thread);
    return true;
}

DWORD WINAPI CShellOpener::ThreadProc(void* parameter)
{
    std::unique_ptr<Job> job(static_cast<Job*>(parameter));
    if (!Run(*job) && job->tellFailure)
        job->tellFailure(job->path.c_str(), job->desktopName.c_str());
    return 0;
}

bool CShellOpener::Run(const Job& job)
{
    // A new thread starts on the process's first desktop: the shell would
    // put the program's first window, or its own prompt, where the user no
    // longer is. A thread that cannot move there opens nothing.
    const HDESK initial = GetThreadDesktop(GetCurrentThreadId());
    HDESK desktop = OpenDesktopW(job.desktopName.c_str(), 0, FALSE, GENERIC_ALL);
    if (!desktop)
        return false;
    if (!job.attach || !job.attach(desktop)) {
        CloseDesktop(desktop);
        return false;
    }
    // The shell hands some documents to handlers it makes through COM, and
    // asks for an apartment without the old DDE of OLE 1.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const bool opened = job.execute && job.execute(job.path.c_str());
    if (SUCCEEDED(com))
        CoUninitialize();
    // A desktop in use by a thread cannot be closed; a thread left with a
    // window of the shell's cannot move back, and its handle then goes with
    // the process.
    if (SetThreadDesktop(initial))
        CloseDesktop(desktop);
    else
        CTrace::LastError(L"SetThreadDesktop", L"back from the document's desktop");
    return opened;
}

bool CShellOpener::ExecuteWithShell(const wchar_t* path)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // The thread ends right after the call, so the shell must finish what
    // it starts before it returns.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = nullptr;  // the default verb, "open" where there is none
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}
