#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "actions/CProcessCloser.h"

namespace {

using Names = std::vector<std::wstring>;

constexpr DWORD kClosedByItself = 7;   // qwtestapp's exit code when it closes
constexpr DWORD kEndedByTest = 99;     // what the tests' own clean-up uses
constexpr DWORD kStartTimeout = 10000;

// qwtestapp.exe is built beside unit_tests.exe.
std::wstring HelperPath()
{
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"qwtestapp.exe";
}

// A token no other window or process of the machine carries.
std::wstring UniqueToken()
{
    static int counter = 0;
    return std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

class HelperProcess {
public:
    HelperProcess() = default;
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;
    ~HelperProcess() { End(); }

    bool Start(const std::wstring& exe, const std::wstring& arguments)
    {
        std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &m_info) != FALSE;
    }

    bool StartWindow(const wchar_t* mode, const std::wstring& title)
    {
        return Start(HelperPath(), std::wstring(mode) + L" \"" + title + L"\"") &&
               WaitForWindow() != nullptr;
    }

    DWORD Id() const { return m_info.dwProcessId; }
    bool HasEnded(DWORD wait = 0) const
    {
        return WaitForSingleObject(m_info.hProcess, wait) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const
    {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }

    void End()
    {
        if (!m_info.hProcess)
            return;
        if (!HasEnded())
            TerminateProcess(m_info.hProcess, kEndedByTest);
        WaitForSingleObject(m_info.hProcess, kStartTimeout);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
        m_info = {};
    }

    // The helper's window, once it exists.
    HWND WaitForWindow() const
    {
        const ULONGLONG deadline = GetTickCount64() + kStartTimeout;
        HWND window = nullptr;
        while (!(window = FindOwnWindow()) && GetTickCount64() < deadline)
            Sleep(50);
        return window;
    }

private:
    HWND FindOwnWindow() const
    {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"QwTestAppWindow", nullptr))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == Id())
                return window;
        }
        return nullptr;
    }

    PROCESS_INFORMATION m_info{};
};

// A copy of the helper under a name of the test's choosing, in a folder of
// its own that goes away with the test.
class RenamedHelper {
public:
    explicit RenamedHelper(const std::wstring& name)
    {
        wchar_t temp[MAX_PATH] = L"";
        const DWORD length = GetTempPathW(MAX_PATH, temp);
        if (length == 0 || length >= MAX_PATH)
            return;
        m_folder = std::wstring(temp) + L"qwpc-" + UniqueToken();
        if (!CreateDirectoryW(m_folder.c_str(), nullptr))
            return;
        m_path = m_folder + L"\\" + name;
        if (!CopyFileW(HelperPath().c_str(), m_path.c_str(), TRUE))
            m_path.clear();
    }
    ~RenamedHelper()
    {
        if (!m_path.empty())
            DeleteFileW(m_path.c_str());
        if (!m_folder.empty())
            RemoveDirectoryW(m_folder.c_str());
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_folder;
    std::wstring m_path;
};

// --- names -------------------------------------------------------------

TEST(ProcessNameMatchTest, EntryInCapitalsMatchesTheNameInSmallLetters)
{
    EXPECT_EQ(1u, CProcessCloser::CountListMatches(L"notepad.exe", Names{L"NOTEPAD.EXE"}));
    EXPECT_EQ(1u, CProcessCloser::CountListMatches(L"NotePad.EXE", Names{L"notepad.exe"}));
}

TEST(ProcessNameMatchTest, EntryWithoutItsExtensionMatchesNothing)
{
    EXPECT_EQ(0u, CProcessCloser::CountListMatches(L"notepad.exe", Names{L"notepad"}));
}

TEST(ProcessNameMatchTest, OnlyWholeNamesMatch)
{
    const Names parts{L"pad.exe", L"note", L"notepad.ex", L"notepad.exe ", L"notepad.exe.bak"};
    EXPECT_EQ(0u, CProcessCloser::CountListMatches(L"notepad.exe", parts));
}

TEST(ProcessNameMatchTest, EveryEqualEntryCounts)
{
    const Names names{L"a.exe", L"b.exe", L"A.EXE"};
    EXPECT_EQ(2u, CProcessCloser::CountListMatches(L"a.exe", names));
    EXPECT_EQ(1u, CProcessCloser::CountListMatches(L"b.exe", names));
    EXPECT_EQ(0u, CProcessCloser::CountListMatches(L"c.exe", names));
}

TEST(ProcessNameMatchTest, EmptyListMatchesNothing)
{
    EXPECT_EQ(0u, CProcessCloser::CountListMatches(L"notepad.exe", Names{}));
}

TEST(ProcessNameMatchTest, SystemProcessesAndQuillowAreNeverMatchedEvenWhenListed)
{
    const Names listed{L"[system process]", L"SYSTEM", L"quillow.exe"};
    EXPECT_EQ(0u, CProcessCloser::CountListMatches(L"[System Process]", listed));
    EXPECT_EQ(0u, CProcessCloser::CountListMatches(L"System", listed));
    EXPECT_EQ(0u, CProcessCloser::CountListMatches(L"Quillow.exe", listed));
    EXPECT_TRUE(CProcessCloser::IsNeverMatched(L"sYsTeM"));
    EXPECT_TRUE(CProcessCloser::IsNeverMatched(L"QUILLOW.EXE"));
}

TEST(ProcessNameMatchTest, NamesThatOnlyResembleTheProtectedOnesAreMatched)
{
    EXPECT_FALSE(CProcessCloser::IsNeverMatched(L"system.exe"));
    EXPECT_FALSE(CProcessCloser::IsNeverMatched(L"Quillow"));
    EXPECT_EQ(1u, CProcessCloser::CountListMatches(L"system.exe", Names{L"SYSTEM.EXE"}));
}

TEST(ProcessNameListTest, DuplicatesInAnyCaseAreAddedOnceInOrderOfFirstAppearance)
{
    Names names;
    for (const wchar_t* name : {L"b.exe", L"a.exe", L"B.EXE", L"c.exe", L"A.exe", L""})
        CProcessCloser::AddUniqueName(names, name);
    EXPECT_EQ((Names{L"b.exe", L"a.exe", L"c.exe"}), names);
}

// --- titles ------------------------------------------------------------

TEST(TitleMatchTest, MatchIsCaseSensitive)
{
    EXPECT_TRUE(CProcessCloser::TitleMatches(L"Quarterly Budget - Editor", L"Budget"));
    EXPECT_FALSE(CProcessCloser::TitleMatches(L"quarterly budget - editor", L"Budget"));
}

TEST(TitleMatchTest, TextMatchesAnywhereInTheTitle)
{
    EXPECT_TRUE(CProcessCloser::TitleMatches(L"Budget 2024", L"Budget"));
    EXPECT_TRUE(CProcessCloser::TitleMatches(L"Q3 Budget draft", L"Budget"));
    EXPECT_TRUE(CProcessCloser::TitleMatches(L"Draft of the Budget", L"Budget"));
    EXPECT_TRUE(CProcessCloser::TitleMatches(L"Budget", L"Budget"));
}

TEST(TitleMatchTest, EmptyTextOrTitleMatchesNothing)
{
    EXPECT_FALSE(CProcessCloser::TitleMatches(L"Budget", L""));
    EXPECT_FALSE(CProcessCloser::TitleMatches(L"", L"Budget"));
    EXPECT_FALSE(CProcessCloser::TitleMatches(L"", L""));
}

TEST(TitleMatchTest, TextEndingAtCharacter259Matches)
{
    const std::wstring title = std::wstring(253, L'x') + L"Budget" + L" and more";
    EXPECT_TRUE(CProcessCloser::TitleMatches(title.c_str(), L"Budget"));
}

TEST(TitleMatchTest, TextRunningPastCharacter259DoesNotMatch)
{
    // "Budget" starts at character 256 and so is cut to "Budg".
    const std::wstring title = std::wstring(255, L'x') + L"Budget";
    EXPECT_FALSE(CProcessCloser::TitleMatches(title.c_str(), L"Budget"));
    EXPECT_TRUE(CProcessCloser::TitleMatches(title.c_str(), L"Budg"));
}

// --- close-and-kill ----------------------------------------------------

TEST(CloseAndKillTest, ProcessThatClosesOnWmCloseEndsByItself)
{
    HelperProcess helper;
    ASSERT_TRUE(helper.StartWindow(L"close-on-wm-close", L"Closes " + UniqueToken()));
    EXPECT_EQ(CProcessCloser::kEndedByItself,
              CProcessCloser::CloseAndKill(helper.Id(), CProcessCloser::kProcessWait));
    ASSERT_TRUE(helper.HasEnded());
    EXPECT_EQ(kClosedByItself, helper.ExitCode());
}

TEST(CloseAndKillTest, ProcessThatIgnoresWmCloseIsTerminatedWithExitCodeZero)
{
    HelperProcess helper;
    ASSERT_TRUE(helper.StartWindow(L"ignore-wm-close", L"Stays " + UniqueToken()));
    EXPECT_EQ(CProcessCloser::kTerminated,
              CProcessCloser::CloseAndKill(helper.Id(), CProcessCloser::kProcessWait));
    ASSERT_TRUE(helper.HasEnded(kStartTimeout));
    EXPECT_EQ(0u, helper.ExitCode());
}

TEST(CloseAndKillTest, ProcessWithoutWindowsIsTerminated)
{
    HelperProcess helper;
    ASSERT_TRUE(helper.Start(HelperPath(), L"no-window"));
    EXPECT_EQ(CProcessCloser::kTerminated, CProcessCloser::CloseAndKill(helper.Id(), 100));
    ASSERT_TRUE(helper.HasEnded(kStartTimeout));
    EXPECT_EQ(0u, helper.ExitCode());
}

TEST(CloseAndKillTest, ProcessThatCannotBeOpenedFails)
{
    // Process id 0 is the idle process, which no one may open.
    EXPECT_EQ(CProcessCloser::kFailed, CProcessCloser::CloseAndKill(0, 100));
}

TEST(CloseAndKillDeathTest, OwnProcessIsNeverEnded)
{
    // Run in a child: without the guard the child ends itself with exit
    // code 0, which the expected code tells apart.
    EXPECT_EXIT(std::exit(CProcessCloser::CloseAndKill(GetCurrentProcessId(), 0) ==
                                  CProcessCloser::kFailed
                              ? 42
                              : 43),
                ::testing::ExitedWithCode(42), "");
}

// --- a process id from an old snapshot ---------------------------------

TEST(CloseAndKillNamedTest, ProcessWhoseImageHasAnotherNameIsLeftRunning)
{
    // What a snapshot taken seconds ago says when the id has since gone to
    // another program.
    HelperProcess helper;
    ASSERT_TRUE(helper.Start(HelperPath(), L"no-window"));
    EXPECT_EQ(CProcessCloser::kFailed,
              CProcessCloser::CloseAndKillNamed(helper.Id(), L"qwlisted.exe", 100));
    EXPECT_FALSE(helper.HasEnded(200));
}

TEST(CloseAndKillNamedTest, ProcessWhoseImageHasTheNameInAnyCaseIsEnded)
{
    HelperProcess helper;
    ASSERT_TRUE(helper.Start(HelperPath(), L"no-window"));
    EXPECT_EQ(CProcessCloser::kTerminated,
              CProcessCloser::CloseAndKillNamed(helper.Id(), L"QWTESTAPP.EXE", 100));
    ASSERT_TRUE(helper.HasEnded(kStartTimeout));
    EXPECT_EQ(0u, helper.ExitCode());
}

TEST(CloseAndKillNamedTest, ImageNameIsTheWholeFileNamePartOfThePath)
{
    EXPECT_TRUE(CProcessCloser::IsImageNamed(L"C:\\Apps\\Notepad.EXE", L"notepad.exe"));
    EXPECT_TRUE(CProcessCloser::IsImageNamed(L"notepad.exe", L"notepad.exe"));
    EXPECT_FALSE(CProcessCloser::IsImageNamed(L"C:\\notepad.exe\\calc.exe", L"notepad.exe"));
    EXPECT_FALSE(CProcessCloser::IsImageNamed(L"C:\\Apps\\mynotepad.exe", L"notepad.exe"));
    EXPECT_FALSE(CProcessCloser::IsImageNamed(L"C:\\Apps\\", L"notepad.exe"));
}

// --- terminate processes -----------------------------------------------

TEST(TerminateProcessesTest, EveryInstanceOfAListedNameIsEnded)
{
    RenamedHelper listed(L"qwlisted.exe");
    ASSERT_FALSE(listed.Path().empty());
    HelperProcess instances[3];
    for (HelperProcess& instance : instances)
        ASSERT_TRUE(instance.Start(listed.Path(), L"no-window"));
    HelperProcess other;
    ASSERT_TRUE(other.Start(HelperPath(), L"no-window"));

    CProcessCloser::TerminateProcesses(Names{L"unknown.exe", L"QWLISTED.EXE"});

    for (HelperProcess& instance : instances) {
        ASSERT_TRUE(instance.HasEnded(kStartTimeout));
        EXPECT_EQ(0u, instance.ExitCode());
    }
    EXPECT_FALSE(other.HasEnded());
}

TEST(TerminateProcessesTest, EntryWithoutTheExtensionEndsNothing)
{
    RenamedHelper listed(L"qwnoext.exe");
    ASSERT_FALSE(listed.Path().empty());
    HelperProcess helper;
    ASSERT_TRUE(helper.Start(listed.Path(), L"no-window"));
    CProcessCloser::TerminateProcesses(Names{L"qwnoext"});
    EXPECT_FALSE(helper.HasEnded());
}

TEST(TerminateProcessesTest, ProgramNamedLikeQuillowIsNeverEnded)
{
    RenamedHelper namesake(L"Quillow.exe");
    ASSERT_FALSE(namesake.Path().empty());
    HelperProcess helper;
    ASSERT_TRUE(helper.Start(namesake.Path(), L"no-window"));
    CProcessCloser::TerminateProcesses(Names{L"quillow.exe", L"QUILLOW.EXE"});
    EXPECT_FALSE(helper.HasEnded());
}

// --- close windows with title ------------------------------------------

TEST(CloseWindowsWithTitleTest, MatchingWindowClosesAndOthersStay)
{
    const std::wstring token = UniqueToken();
    HelperProcess matching, otherCase;
    ASSERT_TRUE(matching.StartWindow(L"close-on-wm-close", L"Quarterly Budget " + token));
    ASSERT_TRUE(otherCase.StartWindow(L"close-on-wm-close", L"quarterly budget " + token));

    CProcessCloser::CloseWindowsWithTitle((L"Budget " + token).c_str());

    ASSERT_TRUE(matching.HasEnded(kStartTimeout));
    EXPECT_EQ(kClosedByItself, matching.ExitCode());
    EXPECT_FALSE(otherCase.HasEnded());
    EXPECT_NE(nullptr, FindWindowW(L"QwTestAppWindow", (L"quarterly budget " + token).c_str()));
}

TEST(CloseWindowsWithTitleTest, WindowThatStaysHasItsProcessTerminated)
{
    const std::wstring title = L"Stubborn " + UniqueToken();
    HelperProcess helper;
    ASSERT_TRUE(helper.StartWindow(L"ignore-wm-close", title));
    CProcessCloser::CloseWindowsWithTitle(title.c_str());
    ASSERT_TRUE(helper.HasEnded(kStartTimeout));
    EXPECT_EQ(0u, helper.ExitCode());
}

TEST(CloseWindowsWithTitleTest, EmptyTextClosesNothing)
{
    HelperProcess helper;
    ASSERT_TRUE(helper.StartWindow(L"close-on-wm-close", L"Anything " + UniqueToken()));
    CProcessCloser::CloseWindowsWithTitle(L"");
    CProcessCloser::CloseWindowsWithTitle(nullptr);
    EXPECT_FALSE(helper.HasEnded());
}

TEST(CloseWindowsWithTitleTest, TextBeyondTheFirst259CharactersOfATitleIsNotSeen)
{
    const std::wstring text = L"Tail" + UniqueToken();
    const std::wstring title = std::wstring(255, L'x') + text;
    HelperProcess helper;
    ASSERT_TRUE(helper.StartWindow(L"close-on-wm-close", title));
    ASSERT_EQ(static_cast<int>(title.size()), GetWindowTextLengthW(helper.WaitForWindow()));
    CProcessCloser::CloseWindowsWithTitle(text.c_str());
    EXPECT_FALSE(helper.HasEnded());
}

// --- listing -----------------------------------------------------------

TEST(ListProcessNamesTest, EachRunningNameIsListedOnceAndTheProtectedOnesNever)
{
    RenamedHelper listed(L"qwListMe.exe");
    RenamedHelper namesake(L"QUILLOW.EXE");
    ASSERT_FALSE(listed.Path().empty());
    ASSERT_FALSE(namesake.Path().empty());
    HelperProcess first, second, hidden;
    ASSERT_TRUE(first.Start(listed.Path(), L"no-window"));
    ASSERT_TRUE(second.Start(listed.Path(), L"no-window"));
    ASSERT_TRUE(hidden.Start(namesake.Path(), L"no-window"));

    const Names names = CProcessCloser::ListProcessNames();

    size_t listedCount = 0;
    for (const std::wstring& name : names) {
        listedCount += CProcessCloser::IsSameName(name.c_str(), L"qwlistme.exe") ? 1 : 0;
        EXPECT_FALSE(CProcessCloser::IsNeverMatched(name.c_str())) << name.c_str();
    }
    EXPECT_EQ(1u, listedCount);
}

}  // namespace
