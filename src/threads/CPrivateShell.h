#pragma once

#include <windows.h>

#include <string>

// The shell Quillow starts in the private desktop, so that the user finds a
// working desktop there from the first switch on.
class CPrivateShell {
public:
    CPrivateShell() = default;
    ~CPrivateShell();
    CPrivateShell(const CPrivateShell&) = delete;
    CPrivateShell& operator=(const CPrivateShell&) = delete;

    // The quoted full path of explorer.exe in the given Windows directory.
    static std::wstring CommandLine(const wchar_t* windowsDirectory);
    // Whether a shell already runs on the desktop, left there by an earlier
    // run: a second Explorer would come up as a folder window, not a shell.
    static bool RunningOn(HDESK desktop);

    bool Start(const wchar_t* windowsDirectory, const wchar_t* desktopName);
    // Ends every Explorer that Quillow started on the private desktop (the
    // shell, and those that opened a web site there), so none is left
    // behind when Quillow stops; no other Explorer is touched.
    void End(UINT exitCode, HDESK privateDesktop = nullptr);
    DWORD ProcessId() const { return m_process.dwProcessId; }

private:
    void CloseHandles();
    static void EndIfOursThere(DWORD processId, HDESK privateDesktop, UINT exitCode);
    static bool HasWindowOn(HDESK desktop, DWORD processId);

    PROCESS_INFORMATION m_process{};
};
