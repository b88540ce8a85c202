#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Opens a document through the shell, the way a double click in File
// Explorer does, for a document whose program has no command line of its own
// (a browser or a photo viewer that the shell starts through
// DelegateExecute). The shell works on the calling thread's desktop, so it
// runs on a short-lived thread of its own, moved to the named desktop before
// it makes any window; the caller, the switcher, does not wait for it.
class CShellOpener {
public:
    // The calls that can fail where a test cannot make them fail; the real
    // ones unless a test puts its own in.
    using AttachCall = std::function<bool(HDESK desktop)>;
    using ExecuteCall = std::function<bool(const wchar_t* path)>;
    // Told once, with the path and the desktop it was to open on, when
    // nothing opened it.
    using FailureCall = std::function<void(const wchar_t* path, const wchar_t* desktopName)>;

    explicit CShellOpener(FailureCall tellFailure, AttachCall attach = ::SetThreadDesktop,
                          ExecuteCall execute = ExecuteWithShell);

    // Returns at once. False when the thread could not be started; the
    // failure has then been told already.
    bool Open(const wchar_t* path, const wchar_t* desktopName) const;

    // ShellExecuteExW with the default verb and no error box of the shell's:
    // the failure is ours to tell.
    static bool ExecuteWithShell(const wchar_t* path);

private:
    struct Job {
        std::wstring path;
        std::wstring desktopName;
        FailureCall tellFailure;
        AttachCall attach;
        ExecuteCall execute;
    };

    static DWORD WINAPI ThreadProc(void* job);
    static bool Run(const Job& job);

    FailureCall m_tellFailure;
    AttachCall m_attach;
    ExecuteCall m_execute;
};
