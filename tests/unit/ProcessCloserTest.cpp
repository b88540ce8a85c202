#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "actions/CProcessCloser.h"
#include "actions/CProtectedTargets.h"

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

    // On the named desktop when one is given, as a program the user started
    // there.
    bool Start(const std::wstring& exe, const std::wstring& arguments,
               const wchar_t* desktop = nullptr)
    {
        std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        std::wstring desktopName(desktop ? desktop : L"");
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.lpDesktop = desktop ? desktopName.data() : nullptr;
        return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &m_info) != FALSE;
    }

    bool StartWindow(const wchar_t* mode, const std::wstring& title)
    {
        return Start(HelperPath(), std::wstring(mode) + L" \"" + title + L"\"") &&
               WaitForWindow() != nullptr;
    }

    // A hidden window of the given class, as Windows or the shell makes them.
    bool StartHiddenOfClass(const std::wstring& className, const std::wstring& title)
    {
        return Start(HelperPath(), L"hidden-of-class \"" + className + L"\" \"" + title + L"\"") &&
               WaitForWindow(className.c_str()) != nullptr;
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
    HWND WaitForWindow(const wchar_t* className = L"QwTestAppWindow") const
    {
        const ULONGLONG deadline = GetTickCount64() + kStartTimeout;
        HWND window = nullptr;
        while (!(window = FindOwnWindow(className)) && GetTickCount64() < deadline)
            Sleep(50);
        return window;
    }

private:
    HWND FindOwnWindow(const wchar_t* className) const
    {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, className, nullptr))) {
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

TEST(ProcessNameMatchTest, SystemProcessesQuillowAndTheShellAreNeverMatchedEvenWhenListed)
{
    const Names listed{L"[system process]", L"SYSTEM", L"quillow.exe", L"QuillowWatch.EXE",
                       L"EXPLORER.EXE", L"csrss.exe"};
    for (const wchar_t* running : {L"[System Process]", L"System", L"Quillow.exe",
                                   L"quillowwatch.exe", L"explorer.exe", L"CSRSS.EXE"})
        EXPECT_EQ(0u, CProcessCloser::CountListMatches(running, listed)) << running;
}

TEST(ProcessNameMatchTest, NamesThatOnlyResembleTheProtectedOnesAreMatched)
{
    EXPECT_EQ(1u, CProcessCloser::CountListMatches(L"system.exe", Names{L"SYSTEM.EXE"}));
    EXPECT_EQ(1u, CProcessCloser::CountListMatches(L"explorer2.exe", Names{L"explorer2.exe"}));
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

// Names Wine's prefix does not run itself, so that a fault here ends only
// the test's own stand-ins.
TEST(TerminateProcessesTest, ProgramsNamedLikeTheWatchdogOrASystemProcessAreNeverEnded)
{
    RenamedHelper watchdog(L"QuillowWatch.exe");
    RenamedHelper system(L"dwm.exe");
    ASSERT_FALSE(watchdog.Path().empty());
    ASSERT_FALSE(system.Path().empty());
    HelperProcess watching, composing;
    ASSERT_TRUE(watching.Start(watchdog.Path(), L"no-window"));
    ASSERT_TRUE(composing.Start(system.Path(), L"no-window"));
    CProcessCloser::TerminateProcesses(Names{L"quillowwatch.exe", L"DWM.EXE"});
    EXPECT_FALSE(watching.HasEnded());
    EXPECT_FALSE(composing.HasEnded());
}

// What the switcher sees after the switch: it sits on the private desktop,
// the user's programs stay where the user left them.
class TerminateOnOtherDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        name = L"qwtest-closer-" + UniqueToken();
        desktop = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_NE(nullptr, desktop);
    }
    void TearDown() override
    {
        helper.End();
        if (desktop)
            CloseDesktop(desktop);
    }

    static BOOL CALLBACK CountOwn(HWND window, LPARAM found)
    {
        auto* wanted = reinterpret_cast<std::pair<DWORD, int>*>(found);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wanted->second += owner == wanted->first ? 1 : 0;
        return TRUE;
    }

    bool HasWindowThere() const
    {
        std::pair<DWORD, int> found{helper.Id(), 0};
        EnumDesktopWindows(desktop, CountOwn, reinterpret_cast<LPARAM>(&found));
        return found.second > 0;
    }

    bool StartThere(const RenamedHelper& listed, const wchar_t* mode)
    {
        if (!helper.Start(listed.Path(), std::wstring(mode) + L" \"Left " + UniqueToken() + L"\"",
                          name.c_str()))
            return false;
        const ULONGLONG deadline = GetTickCount64() + kStartTimeout;
        while (!HasWindowThere() && GetTickCount64() < deadline)
            Sleep(50);
        return HasWindowThere();
    }

    std::wstring name;
    HDESK desktop = nullptr;
    HelperProcess helper;
};

// The helper notes each WM_CLOSE in a log of the test's, which stays when it
// is terminated afterwards. (Under Wine a window on a desktop without a shell
// takes seconds to go, longer than the wait, so the test does not count on
// it closing by itself.)
TEST_F(TerminateOnOtherDesktopTest, ListedProgramThereIsAskedToCloseBeforeItIsTerminated)
{
    RenamedHelper listed(L"qwleft.exe");
    ASSERT_FALSE(listed.Path().empty());
    const std::wstring log = listed.Path() + L".log";
    ASSERT_TRUE(SetEnvironmentVariableW(L"QWTESTAPP_LOG", log.c_str()));
    const bool started = StartThere(listed, L"ignore-wm-close");
    SetEnvironmentVariableW(L"QWTESTAPP_LOG", nullptr);
    ASSERT_TRUE(started);

    CProcessCloser::TerminateProcesses(Names{L"qwleft.exe"}, desktop);

    ASSERT_TRUE(helper.HasEnded(kStartTimeout));
    EXPECT_EQ(0u, helper.ExitCode());
    std::string noted;
    std::ifstream(std::filesystem::path(log)) >> noted;
    EXPECT_EQ(std::to_string(helper.Id()), noted) << "the WM_CLOSE it got";
    DeleteFileW(log.c_str());
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

// Every thread with windows has a hidden "Default IME" of class IME, and the
// shell's desktop is "Program Manager" of class Progman: a short text such as
// "IME" or "Program" matches them. The helpers stand in for them with windows
// of those classes that would close, and end, when asked.
TEST(CloseWindowsWithTitleTest, PerThreadAndShellWindowsWithAMatchingTitleAreLeftAlone)
{
    const std::wstring token = UniqueToken();
    HelperProcess ime, shell, editor;
    ASSERT_TRUE(ime.StartHiddenOfClass(L"IME", L"Default IME " + token));
    ASSERT_TRUE(shell.StartHiddenOfClass(L"Progman", L"Program Manager " + token));
    ASSERT_TRUE(editor.StartWindow(L"close-on-wm-close", L"Notes " + token));

    CProcessCloser::CloseWindowsWithTitle(token.c_str());

    ASSERT_TRUE(editor.HasEnded(kStartTimeout)) << "the text did match";
    EXPECT_EQ(kClosedByItself, editor.ExitCode());
    EXPECT_FALSE(ime.HasEnded(500));
    EXPECT_FALSE(shell.HasEnded());
    EXPECT_NE(nullptr, FindWindowW(L"IME", (L"Default IME " + token).c_str()));
    EXPECT_NE(nullptr, FindWindowW(L"Progman", (L"Program Manager " + token).c_str()));
}

TEST(CloseWindowsWithTitleTest, HiddenWindowOfAnOrdinaryProgramIsStillClosed)
{
    const std::wstring title = L"Hidden draft " + UniqueToken();
    HelperProcess helper;
    ASSERT_TRUE(helper.StartHiddenOfClass(L"QwHiddenDocument", title));
    CProcessCloser::CloseWindowsWithTitle(title.c_str());
    ASSERT_TRUE(helper.HasEnded(kStartTimeout));
    EXPECT_EQ(kClosedByItself, helper.ExitCode());
}

TEST(CloseWindowsWithTitleTest, AllAreAskedAndThoseThatStayAreAllTerminated)
{
    const std::wstring token = UniqueToken();
    HelperProcess polite[2], stubborn[2];
    for (HelperProcess& helper : polite)
        ASSERT_TRUE(helper.StartWindow(L"close-on-wm-close", L"Polite " + token));
    for (HelperProcess& helper : stubborn)
        ASSERT_TRUE(helper.StartWindow(L"ignore-wm-close", L"Stubborn " + token));

    CProcessCloser::CloseWindowsWithTitle(token.c_str());

    for (HelperProcess& helper : polite) {
        ASSERT_TRUE(helper.HasEnded(kStartTimeout));
        EXPECT_EQ(kClosedByItself, helper.ExitCode());
    }
    for (HelperProcess& helper : stubborn) {
        ASSERT_TRUE(helper.HasEnded(kStartTimeout));
        EXPECT_EQ(0u, helper.ExitCode());
    }
}

TEST(CloseWindowsWithTitleTest, ProgramNamedLikeTheShellIsAskedButNeverEnded)
{
    // Its folder windows are the user's; the shell itself is not.
    RenamedHelper shell(L"explorer.exe");
    ASSERT_FALSE(shell.Path().empty());
    const std::wstring title = L"Budget folder " + UniqueToken();
    HelperProcess stubborn, polite;
    ASSERT_TRUE(stubborn.Start(shell.Path(), L"ignore-wm-close \"" + title + L" 1\""));
    ASSERT_TRUE(polite.Start(shell.Path(), L"close-on-wm-close \"" + title + L" 2\""));
    ASSERT_NE(nullptr, stubborn.WaitForWindow());
    ASSERT_NE(nullptr, polite.WaitForWindow());

    CProcessCloser::CloseWindowsWithTitle(title.c_str());

    ASSERT_TRUE(polite.HasEnded(kStartTimeout));
    EXPECT_EQ(kClosedByItself, polite.ExitCode());
    EXPECT_FALSE(stubborn.HasEnded(CProcessCloser::kProcessWait + 500));
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
    RenamedHelper watchdog(L"QuillowWatch.exe");
    ASSERT_FALSE(listed.Path().empty());
    ASSERT_FALSE(namesake.Path().empty());
    ASSERT_FALSE(watchdog.Path().empty());
    HelperProcess first, second, hidden, watching;
    ASSERT_TRUE(first.Start(listed.Path(), L"no-window"));
    ASSERT_TRUE(second.Start(listed.Path(), L"no-window"));
    ASSERT_TRUE(hidden.Start(namesake.Path(), L"no-window"));
    ASSERT_TRUE(watching.Start(watchdog.Path(), L"no-window"));

    // A process just created may not bear its image name yet: under Wine the
    // name comes with the child's own start-up, which a full run on two
    // cores can delay. Asked again until the helpers are there.
    Names names;
    size_t listedCount = 0;
    for (int attempt = 0; attempt < 50 && listedCount == 0; ++attempt) {
        if (attempt > 0)
            Sleep(100);
        names = CProcessCloser::ListProcessNames();
        listedCount = 0;
        for (const std::wstring& name : names)
            listedCount += CProcessCloser::IsSameName(name.c_str(), L"qwlistme.exe") ? 1 : 0;
    }
    for (const std::wstring& name : names) {
        EXPECT_FALSE(CProcessCloser::IsSameName(name.c_str(), L"quillowwatch.exe"));
        EXPECT_FALSE(CProtectedTargets::IsNeverEnded(name.c_str())) << name.c_str();
    }
    EXPECT_EQ(1u, listedCount);
}

}  // namespace
