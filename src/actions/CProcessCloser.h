#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

// Ends other programs for the actions around a switch, and lists the running
// ones for the process selection dialog. Every handle it opens is closed
// before the call returns; every failure is silent. What CProtectedTargets
// protects is never posted to and never ended.
class CProcessCloser {
public:
    enum Result { kFailed = 0, kEndedByItself = 1, kTerminated = 2 };

    // GetWindowTextW reads into this many characters, so a title takes part
    // in the match with its first kTitleCapacity - 1 characters only.
    static constexpr int kTitleCapacity = 260;
    // How long a process gets to end after its windows were asked to close.
    static constexpr DWORD kProcessWait = 500;
    // How long a window gets to go away after WM_CLOSE.
    static constexpr DWORD kWindowWait = 300;

    // Posts WM_CLOSE to the process's top-level windows, waits, and
    // terminates it with exit code 0 if it is still running. The windows are
    // looked for on the calling thread's desktop and on windowsDesktop, from
    // a thread of ours there; a null windowsDesktop means the calling
    // thread's alone. Our own process
    // is refused (kFailed): ending ourselves would leave the private desktop
    // and its shell behind.
    static Result CloseAndKill(DWORD processId, DWORD waitMilliseconds,
                               HDESK windowsDesktop = nullptr);
    // The same for a process found by name in a snapshot: by the time it is
    // opened its id may belong to another program, so a process whose image
    // is not named imageName is left alone (kFailed), and so is one that is
    // never ended.
    static Result CloseAndKillNamed(DWORD processId, const wchar_t* imageName,
                                    DWORD waitMilliseconds, HDESK windowsDesktop = nullptr);
    // Every running process whose name equals an entry of names, each
    // instance, once for every equal entry, one after another. Their windows
    // are looked for on windowsDesktop as well as the caller's.
    static void TerminateProcesses(const std::vector<std::wstring>& names,
                                   HDESK windowsDesktop = nullptr);
    // Every top-level window of the calling thread's desktop whose title
    // holds text is asked to close, all at once; after one wait, the
    // processes of those still there are closed and killed together, against
    // one deadline. An empty text does nothing.
    static void CloseWindowsWithTitle(const wchar_t* text);
    // The names the user can pick from: unique, in the order they first
    // appear, without the names that are never ended.
    static std::vector<std::wstring> ListProcessNames();

    // The matching rules, kept apart from the processes so they can be tested
    // on their own.
    static bool IsSameName(const wchar_t* left, const wchar_t* right);
    // How many times a process of this name is to be closed and killed.
    static size_t CountListMatches(const wchar_t* processName,
                                   const std::vector<std::wstring>& names);
    // A longer title is cut to its first kTitleCapacity - 1 characters first.
    static bool TitleMatches(const wchar_t* title, const wchar_t* text);
    static void AddUniqueName(std::vector<std::wstring>& names, const wchar_t* name);
    // Whether the file name part of a full image path is name, in any case.
    static bool IsImageNamed(const wchar_t* imagePath, const wchar_t* name);

private:
    struct NamedProcess {
        DWORD id;
        std::wstring imageName;
    };
    struct OpenedProcess {
        HANDLE handle;
        DWORD id;
    };
    struct TitleMatch {
        HWND window;
        DWORD processId;  // when it matched
    };

    static HANDLE TakeProcessSnapshot(PROCESSENTRY32W* first);
    static std::vector<NamedProcess> RunningProcesses();
    static const std::wstring* NameOf(DWORD processId, const std::vector<NamedProcess>& running);
    struct CloseRequest {
        HDESK desktop;
        std::vector<DWORD> processIds;
    };
    // How long the caller waits for the thread that asks on another desktop.
    static constexpr DWORD kPosterWait = 2000;

    static std::vector<HWND> DesktopWindows(HDESK desktop);
    static BOOL CALLBACK CollectWindow(HWND window, LPARAM windows);
    static void PostCloseToWindowsOf(const std::vector<OpenedProcess>& processes,
                                     HDESK windowsDesktop);
    static void PostCloseHere(const std::vector<DWORD>& processIds);
    static bool PostCloseOn(HDESK desktop, const std::vector<DWORD>& processIds);
    static DWORD WINAPI PostCloseThread(void* request);
    static bool IsCallersDesktop(HDESK desktop);
    static HANDLE OpenToEnd(DWORD processId, const wchar_t* imageName);
    static std::vector<Result> CloseAndKillOpened(const std::vector<OpenedProcess>& processes,
                                                  DWORD waitMilliseconds, HDESK windowsDesktop);
    static Result WaitOrTerminate(HANDLE process, DWORD waitMilliseconds);
    static bool HasImageName(HANDLE process, const wchar_t* name);
    static std::vector<TitleMatch> FindTitleMatches(const wchar_t* text,
                                                    const std::vector<NamedProcess>& running);
    static std::vector<NamedProcess> ProcessesOfWindowsLeft(
        const std::vector<TitleMatch>& asked, const std::vector<NamedProcess>& running);
};
