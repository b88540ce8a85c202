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

    bool Start(const wchar_t* windowsDirectory, const wchar_t* desktopName);
    // Ends the shell we started, so none is left behind when Quillow stops.
    void End(UINT exitCode);
    DWORD ProcessId() const { return m_process.dwProcessId; }

private:
    void CloseHandles();

    PROCESS_INFORMATION m_process{};
};
