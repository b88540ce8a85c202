#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/CDesktopProgramWindows.h"

namespace {

constexpr DWORD kWait = 10000;

// Shown by its own style, whatever the state of the desktop it is on.
bool HasVisibleStyle(HWND window)
{
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring BesideTests(const wchar_t* fileName)
{
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + fileName;
}

bool WaitUntil(const std::function<bool()>& condition)
{
    const ULONGLONG deadline = GetTickCount64() + kWait;
    while (!condition()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(50);
    }
    return true;
}

// qwtestapp started on a desktop of the test's own, where it opens its one
// window with the given title.
class ProgramOnDesktop {
public:
    ProgramOnDesktop(const std::wstring& exe, const std::wstring& desktop, const std::wstring& title)
    {
        std::wstring commandLine = L"\"" + exe + L"\" close-on-wm-close \"" + title + L"\"";
        std::wstring desktopName = desktop;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.lpDesktop = desktopName.data();
        m_started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &m_info) != FALSE;
    }
    ~ProgramOnDesktop()
    {
        if (!m_started)
            return;
        TerminateProcess(m_info.hProcess, 99);
        WaitForSingleObject(m_info.hProcess, kWait);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    ProgramOnDesktop(const ProgramOnDesktop&) = delete;
    ProgramOnDesktop& operator=(const ProgramOnDesktop&) = delete;

    bool Started() const { return m_started; }
    DWORD Id() const { return m_info.dwProcessId; }

private:
    bool m_started = false;
    PROCESS_INFORMATION m_info{};
};

class DesktopProgramWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        name = L"qwtest-programs-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(++counter);
        desktop = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_NE(nullptr, desktop);
    }

    void TearDown() override
    {
        if (desktop)
            CloseDesktop(desktop);
    }

    // The windows found that belong to the process.
    std::vector<HWND> FoundOf(DWORD processId) const
    {
        std::vector<HWND> found = CDesktopProgramWindows::Find(name.c_str());
        found.erase(std::remove_if(found.begin(), found.end(),
                                   [&](HWND window) {
                                       DWORD owner = 0;
                                       GetWindowThreadProcessId(window, &owner);
                                       return owner != processId;
                                   }),
                    found.end());
        return found;
    }

    // The helper's window on the test desktop, found by its class.
    HWND HelperWindow(DWORD processId) const
    {
        struct Look {
            DWORD processId;
            HWND window;
        } look{processId, nullptr};
        EnumDesktopWindows(
            desktop,
            [](HWND window, LPARAM param) -> BOOL {
                auto* look = reinterpret_cast<Look*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t className[64] = L"";
                GetClassNameW(window, className, 64);
                if (owner == look->processId && lstrcmpW(className, L"QwTestAppWindow") == 0) {
                    look->window = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&look));
        return look.window;
    }

    static inline int counter = 0;
    std::wstring name;
    HDESK desktop = nullptr;
};

TEST_F(DesktopProgramWindowsTest, AnotherProgramsTitledWindowIsFound)
{
    ProgramOnDesktop program(BesideTests(L"qwtestapp.exe"), name, L"Unsaved notes");
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(WaitUntil([&] { return FoundOf(program.Id()).size() == 1; }));
    EXPECT_TRUE(CDesktopProgramWindows::AnyOn(name.c_str()));
}

TEST_F(DesktopProgramWindowsTest, AHiddenOrUntitledWindowIsNoOpenProgram)
{
    ProgramOnDesktop untitled(BesideTests(L"qwtestapp.exe"), name, L"");
    ProgramOnDesktop hidden(BesideTests(L"qwtestapp.exe"), name, L"Hidden notes");
    ASSERT_TRUE(untitled.Started());
    ASSERT_TRUE(hidden.Started());
    HWND untitledWindow = nullptr, hiddenWindow = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (untitledWindow = HelperWindow(untitled.Id())) &&
               (hiddenWindow = HelperWindow(hidden.Id()));
    }));
    ASSERT_TRUE(HasVisibleStyle(untitledWindow));
    ASSERT_EQ(1u, FoundOf(hidden.Id()).size()) << "shown, it counts";
    ShowWindow(hiddenWindow, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !HasVisibleStyle(hiddenWindow); }));

    EXPECT_TRUE(FoundOf(untitled.Id()).empty());
    EXPECT_TRUE(FoundOf(hidden.Id()).empty());
    EXPECT_FALSE(CDesktopProgramWindows::AnyOn(name.c_str()));
}

// The private desktop's shell and the folders it opens are explorer.exe;
// they are there without the user having opened anything.
TEST_F(DesktopProgramWindowsTest, ShellWindowsAreNotCounted)
{
    wchar_t temp[MAX_PATH] = L"";
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    const std::wstring folder = std::wstring(temp) + name;
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring shell = folder + L"\\Explorer.EXE";
    ASSERT_TRUE(CopyFileW(BesideTests(L"qwtestapp.exe").c_str(), shell.c_str(), TRUE));
    {
        ProgramOnDesktop folderWindow(shell, name, L"Documents");
        ASSERT_TRUE(folderWindow.Started());
        ASSERT_TRUE(WaitUntil([&] { return HelperWindow(folderWindow.Id()) != nullptr; }));
        EXPECT_TRUE(FoundOf(folderWindow.Id()).empty());
        EXPECT_FALSE(CDesktopProgramWindows::AnyOn(name.c_str()));
    }
    // The ended copy may hold its file a moment longer.
    EXPECT_TRUE(WaitUntil([&] { return DeleteFileW(shell.c_str()) != FALSE; }));
    RemoveDirectoryW(folder.c_str());
}

// A window of the test's own process on the test desktop, open until done.
struct OwnWindowRun {
    HDESK desktop;
    HANDLE shown;
    HANDLE done;
};

DWORD WINAPI ShowOwnWindow(void* param)
{
    auto* run = static_cast<OwnWindowRun*>(param);
    // Before any window: a thread with windows cannot change its desktop.
    if (!SetThreadDesktop(run->desktop))
        return 1;
    HWND window = CreateWindowExW(0, L"STATIC", L"Quillow's own prompt", WS_POPUP | WS_VISIBLE,
                                  10, 10, 200, 80, nullptr, nullptr, nullptr, nullptr);
    if (!window)
        return 2;
    SetEvent(run->shown);
    // Pumps while it waits: reading its title from the test's thread sends
    // it WM_GETTEXT.
    const ULONGLONG deadline = GetTickCount64() + kWait;
    while (MsgWaitForMultipleObjects(1, &run->done, FALSE, kWait, QS_ALLINPUT) == WAIT_OBJECT_0 + 1 &&
           GetTickCount64() < deadline) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    DestroyWindow(window);
    return 0;
}

BOOL CALLBACK SeeOwnPrompt(HWND window, LPARAM seen)
{
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    if (lstrcmpW(title, L"Quillow's own prompt") == 0 && HasVisibleStyle(window))
        *reinterpret_cast<bool*>(seen) = true;
    return TRUE;
}

// Quillow's own windows there (the restore-password prompt) end with it.
TEST_F(DesktopProgramWindowsTest, OwnWindowsAreNotCounted)
{
    OwnWindowRun run{desktop, CreateEventW(nullptr, TRUE, FALSE, nullptr),
                     CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    ASSERT_NE(nullptr, run.shown);
    ASSERT_NE(nullptr, run.done);
    HANDLE thread = CreateThread(nullptr, 0, ShowOwnWindow, &run, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    HANDLE started[] = {run.shown, thread};
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, started, FALSE, kWait));

    bool seen = false;
    EnumDesktopWindows(desktop, SeeOwnPrompt, reinterpret_cast<LPARAM>(&seen));
    EXPECT_TRUE(seen) << "the window is there, visible and titled";
    EXPECT_TRUE(FoundOf(GetCurrentProcessId()).empty());
    EXPECT_FALSE(CDesktopProgramWindows::AnyOn(name.c_str()));

    SetEvent(run.done);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, kWait));
    DWORD code = 99;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(0u, code);
    CloseHandle(thread);
    CloseHandle(run.done);
    CloseHandle(run.shown);
}

TEST_F(DesktopProgramWindowsTest, ADesktopThatDoesNotExistHasNone)
{
    EXPECT_TRUE(CDesktopProgramWindows::Find((name + L"-missing").c_str()).empty());
}

}  // namespace
