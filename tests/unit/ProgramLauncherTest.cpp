#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "actions/CProgramLauncher.h"
#include "base/CPatternMatcher.h"

namespace {

constexpr wchar_t kCanary = L'#';

std::wstring Variable(const wchar_t* name)
{
    wchar_t value[1024] = {};
    GetEnvironmentVariableW(name, value, 1024);
    return value;
}

// Sets an environment variable for one test and takes it away afterwards.
class CScratchVariable {
public:
    CScratchVariable(const wchar_t* name, const std::wstring& value) : m_name(name)
    {
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~CScratchVariable() { SetEnvironmentVariableW(m_name, nullptr); }

private:
    const wchar_t* m_name;
};

// A text buffer with a canary just past the capacity the code is given.
template <size_t N>
struct CGuardedText {
    wchar_t text[N + 8];
    CGuardedText() { wmemset(text, kCanary, N + 8); }
    bool CanaryIntact() const { return text[N] == kCanary && text[N + 7] == kCanary; }
    static constexpr size_t kCapacity = N;
};

class ProgramLauncherTest : public ::testing::Test {
protected:
    CPatternMatcher matcher;
    CProgramLauncher launcher{matcher};
};

// --- expanding %NAME% references --------------------------------------------

TEST_F(ProgramLauncherTest, SystemRootAndProgramFilesAreReplacedByTheirValues)
{
    const std::wstring systemRoot = Variable(L"SystemRoot");
    const std::wstring programFiles = Variable(L"ProgramFiles");
    ASSERT_FALSE(systemRoot.empty());
    ASSERT_FALSE(programFiles.empty());
    wchar_t out[CProgramLauncher::kExpandedChars];
    EXPECT_TRUE(launcher.ExpandVariables(
        L"\"%SystemRoot%\\notepad.exe\" /d \"%ProgramFiles%\" \"%1\"",
                                         out, CProgramLauncher::kExpandedChars));
    EXPECT_EQ(L"\"" + systemRoot + L"\\notepad.exe\" /d \"" + programFiles + L"\" \"%1\"", out);
}

TEST_F(ProgramLauncherTest, ReferenceNamesIgnoreCase)
{
    wchar_t out[CProgramLauncher::kExpandedChars];
    EXPECT_TRUE(launcher.ExpandVariables(L"%systemroot%", out, CProgramLauncher::kExpandedChars));
    EXPECT_EQ(Variable(L"SystemRoot"), out);
}

TEST_F(ProgramLauncherTest, UndefinedVariableIsKeptAsWritten)
{
    wchar_t out[CProgramLauncher::kExpandedChars];
    EXPECT_TRUE(launcher.ExpandVariables(L"\"%QW_NEVER_DEFINED%\\app.exe\" \"%1\"", out,
                                         CProgramLauncher::kExpandedChars));
    EXPECT_STREQ(L"\"%QW_NEVER_DEFINED%\\app.exe\" \"%1\"", out);
}

TEST_F(ProgramLauncherTest, ClosingPercentOfAnUndefinedNameMayOpenTheNextReference)
{
    // "%1 %" reads as a reference named "1 "; the Windows shell keeps it and
    // still expands the SystemRoot that follows.
    wchar_t out[CProgramLauncher::kExpandedChars];
    EXPECT_TRUE(launcher.ExpandVariables(L"x.exe %1 %SystemRoot%\\y", out,
                                         CProgramLauncher::kExpandedChars));
    EXPECT_EQ(L"x.exe %1 " + Variable(L"SystemRoot") + L"\\y", out);
}

TEST_F(ProgramLauncherTest, LonePercentIsCopiedUnchanged)
{
    wchar_t out[CProgramLauncher::kExpandedChars];
    EXPECT_TRUE(launcher.ExpandVariables(L"zoom.exe 100%", out, CProgramLauncher::kExpandedChars));
    EXPECT_STREQ(L"zoom.exe 100%", out);
    EXPECT_TRUE(launcher.ExpandVariables(L"zoom.exe 50% \"%1\"", out,
                                         CProgramLauncher::kExpandedChars));
    EXPECT_STREQ(L"zoom.exe 50% \"%1\"", out);
    EXPECT_TRUE(launcher.ExpandVariables(L"%%", out, CProgramLauncher::kExpandedChars));
    EXPECT_STREQ(L"%%", out);
}

TEST_F(ProgramLauncherTest, InsertedValuesAreNotScannedAgain)
{
    CScratchVariable loop(L"QW_POINTS_ON", L"%SystemRoot%");
    wchar_t out[CProgramLauncher::kExpandedChars];
    EXPECT_TRUE(
        launcher.ExpandVariables(L"[%QW_POINTS_ON%]", out, CProgramLauncher::kExpandedChars));
    EXPECT_STREQ(L"[%SystemRoot%]", out);
}

TEST_F(ProgramLauncherTest, ExpansionThatExactlyFillsTheBufferIsKept)
{
    CScratchVariable fill(L"QW_FILL", std::wstring(CProgramLauncher::kExpandedChars - 2, L'v'));
    CGuardedText<CProgramLauncher::kExpandedChars> out;
    EXPECT_TRUE(launcher.ExpandVariables(L"<%QW_FILL%", out.text, out.kCapacity));
    EXPECT_EQ(L"<" + std::wstring(CProgramLauncher::kExpandedChars - 2, L'v'), out.text);
    EXPECT_TRUE(out.CanaryIntact());
}

TEST_F(ProgramLauncherTest, OverLongExpansionIsRefusedWithoutWritingPastTheBuffer)
{
    // Like a long PATH: 2,000 characters cannot fit 266.
    CScratchVariable longValue(L"QW_LONG", std::wstring(2000, L'v'));
    CGuardedText<CProgramLauncher::kExpandedChars> out;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(launcher.ExpandVariables(L"\"%QW_LONG%\\app.exe\" \"%1\"", out.text,
                                          out.kCapacity));
    EXPECT_TRUE(out.CanaryIntact());
    EXPECT_LT(wcslen(out.text), out.kCapacity);
    // One character too many is refused as well.
    CScratchVariable over(L"QW_OVER", std::wstring(CProgramLauncher::kExpandedChars - 1, L'v'));
    EXPECT_FALSE(launcher.ExpandVariables(L"<%QW_OVER%", out.text, out.kCapacity));
    EXPECT_TRUE(out.CanaryIntact());
}

TEST_F(ProgramLauncherTest, OverLongLiteralTextIsRefusedWithoutWritingPastTheBuffer)
{
    const std::wstring command(400, L'c');
    CGuardedText<CProgramLauncher::kExpandedChars> out;
    EXPECT_FALSE(launcher.ExpandVariables(command.c_str(), out.text, out.kCapacity));
    EXPECT_TRUE(out.CanaryIntact());
    EXPECT_EQ(out.kCapacity - 1, wcslen(out.text));
}

// --- putting the path in ------------------------------------------------------

TEST_F(ProgramLauncherTest, QuotedPlaceholderGetsThePathInItsQuotes)
{
    wchar_t out[CProgramLauncher::kCommandLineChars];
    EXPECT_TRUE(CProgramLauncher::InsertPath(L"\"C:\\Program Files\\App\\app.exe\" \"%1\"",
                                             L"C:\\My Docs\\plan.txt", out,
                                             CProgramLauncher::kCommandLineChars));
    EXPECT_STREQ(L"\"C:\\Program Files\\App\\app.exe\" \"C:\\My Docs\\plan.txt\"", out);
}

TEST_F(ProgramLauncherTest, CommandWithoutPlaceholderGetsThePathAfterOneBlankUnquoted)
{
    wchar_t out[CProgramLauncher::kCommandLineChars];
    EXPECT_TRUE(CProgramLauncher::InsertPath(L"C:\\tools\\view.exe /r", L"C:\\My Docs\\plan.txt",
                                             out, CProgramLauncher::kCommandLineChars));
    EXPECT_STREQ(L"C:\\tools\\view.exe /r C:\\My Docs\\plan.txt", out);
}

TEST_F(ProgramLauncherTest, OnlyTheFirstPlaceholderIsFilledAndOtherShellPlaceholdersStay)
{
    wchar_t out[CProgramLauncher::kCommandLineChars];
    EXPECT_TRUE(CProgramLauncher::InsertPath(L"a.exe \"%1\" %* %L %2 \"%1\"", L"p.txt", out,
                                             CProgramLauncher::kCommandLineChars));
    EXPECT_STREQ(L"a.exe \"p.txt\" %* %L %2 \"%1\"", out);
}

TEST_F(ProgramLauncherTest, CommandLineThatExactlyFillsTheBufferIsKept)
{
    const std::wstring expanded(300, L'a');
    const std::wstring path(CProgramLauncher::kCommandLineChars - 2 - 300, L'p');
    CGuardedText<CProgramLauncher::kCommandLineChars> out;
    EXPECT_TRUE(CProgramLauncher::InsertPath(expanded.c_str(), path.c_str(), out.text,
                                             out.kCapacity));
    EXPECT_EQ(expanded + L" " + path, out.text);
    EXPECT_TRUE(out.CanaryIntact());
}

TEST_F(ProgramLauncherTest, OverLongCommandLineIsRefusedWithoutWritingPastTheBuffer)
{
    const std::wstring expanded(300, L'a');
    const std::wstring path(CProgramLauncher::kCommandLineChars - 1 - 300, L'p');
    CGuardedText<CProgramLauncher::kCommandLineChars> out;
    EXPECT_FALSE(CProgramLauncher::InsertPath(expanded.c_str(), path.c_str(), out.text,
                                              out.kCapacity));
    EXPECT_TRUE(out.CanaryIntact());
    EXPECT_FALSE(CProgramLauncher::InsertPath(L"\"%1\" and more", std::wstring(600, L'p').c_str(),
                                              out.text, out.kCapacity));
    EXPECT_TRUE(out.CanaryIntact());
}

// --- the web site's command line ------------------------------------------------

class WebSiteCommandTest : public ::testing::Test {
protected:
    std::wstring Build(const wchar_t* address)
    {
        wchar_t out[CProgramLauncher::kWebCommandLineChars];
        EXPECT_TRUE(CProgramLauncher::BuildWebSiteCommandLine(
            address, L"C:\\windows", out, CProgramLauncher::kWebCommandLineChars));
        return out;
    }
};

TEST_F(WebSiteCommandTest, PlainAddressGetsHttpInFront)
{
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"http://www.example.org\"",
              Build(L"www.example.org"));
}

TEST_F(WebSiteCommandTest, AddressOfFourCharactersGetsHttpInFront)
{
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"http://a.de\"", Build(L"a.de"));
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"http://http\"", Build(L"http"));
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"http://HTTP\"", Build(L"HTTP"));
}

TEST_F(WebSiteCommandTest, AddressBeginningWithHttpInAnyCaseIsPassedUnchanged)
{
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"HTTP://x\"", Build(L"HTTP://x"));
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"Http://y.org\"", Build(L"Http://y.org"));
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"Https://z.org\"", Build(L"Https://z.org"));
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"https://z.org\"", Build(L"https://z.org"));
    // Only the four letters count.
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"httpbin.org\"", Build(L"httpbin.org"));
}

TEST_F(WebSiteCommandTest, OtherSchemesGetHttpInFront)
{
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"http://ftp://files.example.org\"",
              Build(L"ftp://files.example.org"));
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"http://htp://x\"", Build(L"htp://x"));
}

TEST_F(WebSiteCommandTest, QuoteInTheAddressIsWrittenAsPercent22)
{
    // Left as it is, the quote would end explorer's argument and hand it
    // "--x" and "y" as further arguments.
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"http://a.example/%22 --x %22y\"",
              Build(L"http://a.example/\" --x \"y"));
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"http://%22%22\"", Build(L"\"\""));
}

TEST_F(WebSiteCommandTest, AddressWhoseEscapedQuotesNoLongerFitIsRefused)
{
    const size_t room = CProgramLauncher::kWebCommandLineChars - 1 - 28 - 7;
    // Fits as typed, but not with its last quote written as three characters.
    const std::wstring address = L"http://" + std::wstring(room - 1, L'w') + L"\"";
    CGuardedText<CProgramLauncher::kWebCommandLineChars> out;
    EXPECT_FALSE(CProgramLauncher::BuildWebSiteCommandLine(address.c_str(), L"C:\\windows",
                                                           out.text, out.kCapacity));
    EXPECT_TRUE(out.CanaryIntact());
}

TEST_F(WebSiteCommandTest, AddressThatExactlyFillsTheBufferIsKept)
{
    // Quotes, "\explorer.exe", the blank and the Windows directory take 28.
    const size_t room = CProgramLauncher::kWebCommandLineChars - 1 - 28 - 7;
    const std::wstring address = L"http://" + std::wstring(room, L'w');
    CGuardedText<CProgramLauncher::kWebCommandLineChars> out;
    EXPECT_TRUE(CProgramLauncher::BuildWebSiteCommandLine(address.c_str(), L"C:\\windows", out.text,
                                                          out.kCapacity));
    EXPECT_EQ(L"\"C:\\windows\\explorer.exe\" \"" + address + L"\"", out.text);
    EXPECT_TRUE(out.CanaryIntact());
}

TEST_F(WebSiteCommandTest, AddressNear260BesideALongWindowsDirectoryIsRefused)
{
    const std::wstring directory = L"C:\\" + std::wstring(46, L'd');  // 49, the most we keep
    const std::wstring address(259, L'w');
    CGuardedText<CProgramLauncher::kWebCommandLineChars> out;
    EXPECT_FALSE(CProgramLauncher::BuildWebSiteCommandLine(address.c_str(), directory.c_str(),
                                                           out.text, out.kCapacity));
    EXPECT_TRUE(out.CanaryIntact());
    const size_t room = CProgramLauncher::kWebCommandLineChars - 1 - 28 - 7;
    const std::wstring oneTooMany = L"http://" + std::wstring(room + 1, L'w');
    EXPECT_FALSE(CProgramLauncher::BuildWebSiteCommandLine(oneTooMany.c_str(), L"C:\\windows",
                                                           out.text, out.kCapacity));
    EXPECT_TRUE(out.CanaryIntact());
}

// --- the registered open command ------------------------------------------------

// A scratch extension and file class, removed afterwards. Windows merges
// HKCU\Software\Classes into HKEY_CLASSES_ROOT; Wine 8 does not, so they
// are written through HKEY_CLASSES_ROOT too.
class RegisteredCommandTest : public ProgramLauncherTest {
protected:
    void SetUp() override
    {
        const std::wstring id = std::to_wstring(GetCurrentProcessId());
        extension = L".qwlt" + id;
        className = L"QuillowLauncherTest" + id;
        document = L"C:\\My Docs\\plan" + extension;
    }

    void TearDown() override
    {
        for (const std::wstring& key : {extension, className}) {
            RegDeleteTreeW(HKEY_CURRENT_USER, (kUserClasses + key).c_str());
            RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        }
    }

    static void SetDefault(const std::wstring& key, const std::wstring& text)
    {
        const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, (kUserClasses + key).c_str(),
                                                 nullptr, REG_SZ, text.c_str(), bytes));
        // Through HKEY_CLASSES_ROOT as well: where the merge exists this
        // lands on the same key, where it does not it makes the key seen.
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ,
                                                 text.c_str(), bytes));
    }

    void Register(const std::wstring& command)
    {
        SetDefault(extension, className);
        SetDefault(className + L"\\shell\\Open\\command", command);
    }

    std::wstring BuildFor(const std::wstring& path, bool expected = true)
    {
        wchar_t out[CProgramLauncher::kCommandLineChars];
        EXPECT_EQ(expected, launcher.BuildFileCommandLine(path.c_str(), out,
                                                          CProgramLauncher::kCommandLineChars));
        return out;
    }

    static inline const std::wstring kUserClasses = L"Software\\Classes\\";
    std::wstring extension;
    std::wstring className;
    std::wstring document;
};

TEST_F(RegisteredCommandTest, QuotedPlaceholderGivesProgramAndDocumentInQuotes)
{
    Register(L"\"C:\\windows\\system32\\notepad.exe\" \"%1\"");
    EXPECT_EQ(L"\"C:\\windows\\system32\\notepad.exe\" \"" + document + L"\"", BuildFor(document));
}

TEST_F(RegisteredCommandTest, CommandWithoutPlaceholderGetsTheDocumentAppended)
{
    Register(L"C:\\tools\\view.exe /r");
    EXPECT_EQ(L"C:\\tools\\view.exe /r " + document, BuildFor(document));
}

TEST_F(RegisteredCommandTest, VariablesOfTheCommandAreExpandedBeforeThePathGoesIn)
{
    Register(L"\"%SystemRoot%\\notepad.exe\" /d \"%ProgramFiles%\" \"%1\"");
    EXPECT_EQ(L"\"" + Variable(L"SystemRoot") + L"\\notepad.exe\" /d \"" +
                  Variable(L"ProgramFiles") + L"\" \"" + document + L"\"",
              BuildFor(document));
}

TEST_F(RegisteredCommandTest, PercentSignsInTheDocumentPathAreNotExpanded)
{
    Register(L"app.exe \"%1\"");
    EXPECT_EQ(L"app.exe \"C:\\%SystemRoot%\\x" + extension + L"\"",
              BuildFor(L"C:\\%SystemRoot%\\x" + extension));
}

TEST_F(RegisteredCommandTest, ExtensionIsFoundWhateverItsCase)
{
    Register(L"app.exe \"%1\"");
    std::wstring upper = document;
    for (wchar_t& c : upper)
        c = towupper(c);
    EXPECT_EQ(L"app.exe \"" + upper + L"\"", BuildFor(upper));
}

TEST_F(RegisteredCommandTest, UnregisteredExtensionOrNoExtensionGivesNothing)
{
    EXPECT_EQ(L"", BuildFor(document, false));
    Register(L"app.exe \"%1\"");
    EXPECT_EQ(L"", BuildFor(L"C:\\My Docs\\plan", false));
    EXPECT_EQ(L"", BuildFor(L"C:\\My" + extension + L"\\plan", false));
}

TEST_F(RegisteredCommandTest, ClassWithoutOpenCommandGivesNothing)
{
    SetDefault(extension, className);
    SetDefault(className + L"\\shell\\Edit\\command", L"editor.exe \"%1\"");
    EXPECT_EQ(L"", BuildFor(document, false));
}

TEST_F(RegisteredCommandTest, EmptyClassNameOrEmptyCommandGivesNothing)
{
    SetDefault(extension, L"");
    EXPECT_EQ(L"", BuildFor(document, false));
    Register(L"");
    EXPECT_EQ(L"", BuildFor(document, false));
}

TEST_F(RegisteredCommandTest, CommandLongerThanItsBufferGivesNothing)
{
    // The registry read itself refuses a value that does not fit.
    Register(L"\"" + std::wstring(CProgramLauncher::kCommandChars, L'c') + L"\" \"%1\"");
    EXPECT_EQ(L"", BuildFor(document, false));
}

TEST_F(RegisteredCommandTest, OverLongExpansionIsRefusedButKeptForTheMessage)
{
    CScratchVariable longValue(L"QW_LONG", std::wstring(2000, L'v'));
    Register(L"\"%QW_LONG%\\app.exe\" \"%1\"");
    EXPECT_EQ(L"\"%QW_LONG%\\app.exe\" \"%1\"", BuildFor(document, false));
}

// --- starting, and the failure messages --------------------------------------------

// What the message boxes of one run looked like. The box runs on a thread
// of its own; the test reads each one from its window and closes it.
struct CBoxWatch {
    int boxes = 0;
    HWND last = nullptr;
    std::wstring caption;
    std::wstring text;
};

BOOL CALLBACK ReadStatic(HWND child, LPARAM watch)
{
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    wchar_t text[1024] = {};
    GetWindowTextW(child, text, 1024);
    // The icon is a static too, without text.
    if (_wcsicmp(className, L"Static") == 0 && text[0] != L'\0')
        reinterpret_cast<CBoxWatch*>(watch)->text = text;
    return TRUE;
}

BOOL CALLBACK FindOwnBox(HWND window, LPARAM found)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // The window's own style: IsWindowVisible also asks its desktop's window,
    // which Wine does not show for a desktop other than the one in front.
    if (owner != GetCurrentProcessId() || wcscmp(className, L"#32770") != 0 ||
        (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) == 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void ReadAndCloseBox(HWND box, CBoxWatch& watch)
{
    if (box == watch.last)
        return;
    watch.last = box;
    ++watch.boxes;
    wchar_t caption[256] = {};
    GetWindowTextW(box, caption, 256);
    watch.caption = caption;
    EnumChildWindows(box, ReadStatic, reinterpret_cast<LPARAM>(&watch));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int tries = 0; tries < 200 && IsWindow(box); ++tries)
        Sleep(25);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Runs one launcher call on a thread of its own, as the switcher thread
// does, then checks what the call left on that thread.
struct CLauncherRun {
    std::function<void()> call;
    HDESK otherDesktop = nullptr;
    CBoxWatch watch;
    int windowsLeft = -1;
    BOOL couldChangeDesktop = FALSE;
    bool returnedWhileBoxOpen = false;

    static DWORD WINAPI ThreadProc(void* parameter)
    {
        auto* run = static_cast<CLauncherRun*>(parameter);
        run->call();
        run->windowsLeft = 0;
        EnumThreadWindows(GetCurrentThreadId(), CountWindow,
                          reinterpret_cast<LPARAM>(&run->windowsLeft));
        // Fails while the thread owns any window: the switcher's next switch
        // depends on this.
        const HDESK own = GetThreadDesktop(GetCurrentThreadId());
        run->couldChangeDesktop = SetThreadDesktop(run->otherDesktop);
        if (run->couldChangeDesktop)
            SetThreadDesktop(own);
        return 0;
    }
};

class LauncherStartTest : public RegisteredCommandTest {
protected:
    void SetUp() override
    {
        RegisteredCommandTest::SetUp();
        wchar_t name[64] = {};
        GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name,
                                  sizeof(name), nullptr);
        desktop = name;
        const std::wstring otherName = L"qwtest-launcher-" + std::to_wstring(GetCurrentProcessId());
        other = CreateDesktopW(otherName.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        ASSERT_NE(nullptr, other);
    }

    void TearDown() override
    {
        if (other)
            CloseDesktop(other);
        RegisteredCommandTest::TearDown();
    }

    // Watches for boxes while the call runs and after it has returned: up
    // to the first box when one is expected, else for a short grace.
    CLauncherRun Run(std::function<void()> call, bool boxExpected = true)
    {
        CLauncherRun run;
        run.call = std::move(call);
        run.otherDesktop = other;
        HANDLE thread = CreateThread(nullptr, 0, CLauncherRun::ThreadProc, &run, 0, nullptr);
        EXPECT_NE(nullptr, thread);
        if (!thread)
            return run;
        const ULONGLONG deadline = GetTickCount64() + (boxExpected ? 20000 : 1000);
        for (;;) {
            const bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
            HWND box = nullptr;
            EnumWindows(FindOwnBox, reinterpret_cast<LPARAM>(&box));
            // A failure is told where the document was to open.
            if (!box && run.otherDesktop)
                EnumDesktopWindows(run.otherDesktop, FindOwnBox, reinterpret_cast<LPARAM>(&box));
            if (box && box != run.watch.last) {
                run.returnedWhileBoxOpen = ended;
                ReadAndCloseBox(box, run.watch);
            }
            if (ended && (run.watch.boxes > 0 || GetTickCount64() > deadline))
                break;
            if (GetTickCount64() > deadline + 20000)
                break;
            Sleep(20);
        }
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
        CloseHandle(thread);
        return run;
    }

    static bool WaitForFile(const std::wstring& path)
    {
        for (int tries = 0; tries < 200; ++tries) {
            if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
                return true;
            Sleep(50);
        }
        return false;
    }

    std::wstring desktop;
    HDESK other = nullptr;
};

TEST_F(LauncherStartTest, FailedStartShowsTheCommandLineUnderTheFullProductName)
{
    Register(L"\"C:\\nowhere\\missing.exe\" \"%1\"");
    const CLauncherRun run = Run([&] { launcher.OpenFile(document.c_str(), desktop.c_str()); });
    EXPECT_EQ(1, run.watch.boxes);
    EXPECT_EQ(L"Orvane Quillow Veil Key", run.watch.caption);
    EXPECT_EQ(L"\"C:\\nowhere\\missing.exe\" \"" + document + L"\"", run.watch.text);
}

TEST_F(LauncherStartTest, FailureMessageLeavesNoWindowThatWouldKeepTheThreadOnItsDesktop)
{
    Register(L"\"C:\\nowhere\\missing.exe\" \"%1\"");
    const CLauncherRun run = Run([&] { launcher.OpenFile(document.c_str(), desktop.c_str()); });
    ASSERT_EQ(1, run.watch.boxes);
    EXPECT_EQ(0, run.windowsLeft);
    EXPECT_TRUE(run.couldChangeDesktop);
}

TEST_F(LauncherStartTest, FailureMessageRunsNoModalLoopOnTheCallingThread)
{
    // The switcher thread calls this; a box of its own would take and drop
    // the switch requests and the stop message sent meanwhile.
    Register(L"\"C:\\nowhere\\missing.exe\" \"%1\"");
    const CLauncherRun run = Run([&] { launcher.OpenFile(document.c_str(), desktop.c_str()); });
    ASSERT_EQ(1, run.watch.boxes);
    EXPECT_TRUE(run.returnedWhileBoxOpen);
}

TEST_F(LauncherStartTest, RegisteredProgramStartsWithTheDocumentAndShowsNothing)
{
    // cmd creates the document it is given, which proves that it ran and
    // what it got; the registered command names it through %SystemRoot%.
    Register(L"\"%SystemRoot%\\system32\\cmd.exe\" /c type nul > \"%1\"");
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    const std::wstring opened = std::wstring(temp) + L"qw-opened-" +
                                std::to_wstring(GetCurrentProcessId()) + extension;
    DeleteFileW(opened.c_str());
    const CLauncherRun run =
        Run([&] { launcher.OpenFile(opened.c_str(), desktop.c_str()); }, false);
    EXPECT_EQ(0, run.watch.boxes);
    EXPECT_TRUE(WaitForFile(opened));
    DeleteFileW(opened.c_str());
}

// Nothing is registered and the document does not exist: the shell cannot
// open it either, and the user is told, with the path.
TEST_F(LauncherStartTest, DocumentNothingCanOpenIsToldWithItsPath)
{
    const CLauncherRun run = Run([&] { launcher.OpenFile(document.c_str(), desktop.c_str()); });
    EXPECT_EQ(1, run.watch.boxes);
    EXPECT_EQ(L"Orvane Quillow Veil Key", run.watch.caption);
    EXPECT_EQ(document, run.watch.text);
    EXPECT_TRUE(run.couldChangeDesktop);
}

// A quote would end the quoted "%1" and make the rest further arguments of
// the registered program; a line feed could do the same in a script.
TEST_F(LauncherStartTest, PathWithAQuoteIsRefusedBeforeAnyCommandLine)
{
    Register(L"\"%SystemRoot%\\system32\\cmd.exe\" /c type nul > \"%1\"");
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    const std::wstring made = std::wstring(temp) + L"qw-quoted-" +
                              std::to_wstring(GetCurrentProcessId()) + extension;
    DeleteFileW(made.c_str());
    // cmd would create the file before the quote and ignore the rest.
    const std::wstring path = made + L"\" & rem x" + extension;
    const CLauncherRun run = Run([&] { launcher.OpenFile(path.c_str(), desktop.c_str()); });
    EXPECT_EQ(1, run.watch.boxes);
    EXPECT_EQ(path, run.watch.text);
    Sleep(1000);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(made.c_str()));
    DeleteFileW(made.c_str());
}

TEST(AcceptablePathTest, QuotesAndControlCharactersAreRefused)
{
    EXPECT_TRUE(CProgramLauncher::IsAcceptablePath(L"C:\\My Docs\\plan (2).docx"));
    EXPECT_TRUE(CProgramLauncher::IsAcceptablePath(L"D:\\\u00e9t\u00e9\\100% sure.txt"));
    for (const wchar_t* path : {L"C:\\a\"b.txt", L"C:\\a\nb.txt", L"C:\\a\tb.txt",
                                L"C:\\a\x7f.txt", L"C:\\a\x01.txt", L""})
        EXPECT_FALSE(CProgramLauncher::IsAcceptablePath(path));
    EXPECT_FALSE(CProgramLauncher::IsAcceptablePath(nullptr));
}

TEST_F(LauncherStartTest, OverLongExpansionIsNotStartedAndShowsTheRegisteredCommand)
{
    CScratchVariable longValue(L"QW_LONG", std::wstring(2000, L'v'));
    Register(L"\"%QW_LONG%\\app.exe\" \"%1\"");
    const CLauncherRun run = Run([&] { launcher.OpenFile(document.c_str(), desktop.c_str()); });
    EXPECT_EQ(1, run.watch.boxes);
    EXPECT_EQ(L"\"%QW_LONG%\\app.exe\" \"%1\"", run.watch.text);
}

TEST_F(LauncherStartTest, WebSiteThatCannotStartShowsItsMessage)
{
    const CLauncherRun run = Run([&] {
        launcher.OpenWebSite(L"www.example.org", desktop.c_str(), L"C:\\nowhere");
    });
    EXPECT_EQ(1, run.watch.boxes);
    EXPECT_EQ(L"Orvane Quillow Veil Key", run.watch.caption);
    EXPECT_EQ(L"CreateProcess for OpenWebsite failed", run.watch.text);
    EXPECT_EQ(0, run.windowsLeft);
}

TEST_F(LauncherStartTest, AddressTooLongForTheCommandLineShowsTheWebSiteMessage)
{
    const std::wstring address(259, L'w');
    const CLauncherRun run = Run([&] {
        launcher.OpenWebSite(address.c_str(), desktop.c_str(), L"C:\\windows");
    });
    EXPECT_EQ(1, run.watch.boxes);
    EXPECT_EQ(L"CreateProcess for OpenWebsite failed", run.watch.text);
}

// --- a document whose program has no command line ----------------------------
//
// Where the user's choice is a program the shell starts itself (a browser
// for .pdf, the photo viewer for .jpg), the class has no command, only
// DelegateExecute. Wine's shell cannot start such programs, so the shell's
// calls are fakes that note where they ran.

struct CShellCalls {
    HANDLE executed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, TRUE, nullptr);  // set: no wait
    std::wstring path;
    std::wstring desktop;
    int executions = 0;
    bool executeResult = true;
    bool attachResult = true;
    ~CShellCalls()
    {
        CloseHandle(executed);
        CloseHandle(release);
    }
};

std::wstring DesktopOfThisThread()
{
    wchar_t name[128] = {};
    GetUserObjectInformationW(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME, name,
                              sizeof(name) - sizeof(wchar_t), nullptr);
    return name;
}

class ShellFallbackTest : public LauncherStartTest {
protected:
    void SetUp() override
    {
        LauncherStartTest::SetUp();
        wchar_t name[128] = {};
        GetUserObjectInformationW(other, UOI_NAME, name, sizeof(name) - sizeof(wchar_t), nullptr);
        otherName = name;
        // The class the user's choice points to: a verb that the shell
        // starts through a handler, no command line.
        SetDefault(extension, className);
        const std::wstring command = kUserClasses + className + L"\\shell\\open\\command";
        const wchar_t handler[] = L"{00000000-0000-0000-0000-000000000001}";
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_CLASSES_ROOT}) {
            const std::wstring key = root == HKEY_CURRENT_USER ? command
                                                               : className + L"\\shell\\open\\command";
            ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(root, key.c_str(), L"DelegateExecute", REG_SZ,
                                                     handler, sizeof(handler)));
        }
    }

    CProgramLauncher Faked()
    {
        auto state = calls;
        return CProgramLauncher(
            matcher,
            [state](HDESK desktop) { return state->attachResult && SetThreadDesktop(desktop); },
            [state](const wchar_t* path) {
                WaitForSingleObject(state->release, 20000);
                state->path = path;
                state->desktop = DesktopOfThisThread();
                ++state->executions;
                SetEvent(state->executed);
                return state->executeResult;
            });
    }

    std::shared_ptr<CShellCalls> calls = std::make_shared<CShellCalls>();
    std::wstring otherName;
};

TEST_F(ShellFallbackTest, ClassWithoutACommandLineHasNoCommandToStart)
{
    wchar_t out[CProgramLauncher::kCommandChars];
    EXPECT_FALSE(launcher.FindRegisteredCommand(document.c_str(), out, CProgramLauncher::kCommandChars));
    EXPECT_STREQ(L"", out);
}

TEST_F(ShellFallbackTest, DocumentIsOpenedByTheShellFromAThreadOnTheNamedDesktop)
{
    CProgramLauncher shellLauncher = Faked();
    const CLauncherRun run =
        Run([&] { shellLauncher.OpenFile(document.c_str(), otherName.c_str()); }, false);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(calls->executed, 20000));
    EXPECT_EQ(document, calls->path);
    EXPECT_EQ(otherName, calls->desktop);
    EXPECT_EQ(1, calls->executions);
    EXPECT_EQ(0, run.watch.boxes);
    // The caller, the switcher, neither moved nor made a window.
    EXPECT_TRUE(run.couldChangeDesktop);
}

TEST_F(ShellFallbackTest, CallerDoesNotWaitForTheShell)
{
    ResetEvent(calls->release);
    CProgramLauncher shellLauncher = Faked();
    const CLauncherRun run =
        Run([&] { shellLauncher.OpenFile(document.c_str(), otherName.c_str()); }, false);
    // OpenFile has returned while the shell is still busy.
    EXPECT_EQ(0, calls->executions);
    SetEvent(calls->release);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(calls->executed, 20000));
}

TEST_F(ShellFallbackTest, ThreadThatCannotMoveToTheDesktopOpensNothingAndTellsIt)
{
    calls->attachResult = false;
    CProgramLauncher shellLauncher = Faked();
    const CLauncherRun run =
        Run([&] { shellLauncher.OpenFile(document.c_str(), otherName.c_str()); });
    EXPECT_EQ(1, run.watch.boxes);
    EXPECT_EQ(L"Orvane Quillow Veil Key", run.watch.caption);
    EXPECT_EQ(document, run.watch.text);
    EXPECT_EQ(0, calls->executions);
}

TEST_F(ShellFallbackTest, DesktopThatDoesNotExistOpensNothingAndTellsIt)
{
    CProgramLauncher shellLauncher = Faked();
    const CLauncherRun run =
        Run([&] { shellLauncher.OpenFile(document.c_str(), L"qw-no-such-desktop"); });
    EXPECT_EQ(1, run.watch.boxes);
    EXPECT_EQ(document, run.watch.text);
    EXPECT_EQ(0, calls->executions);
}

TEST_F(ShellFallbackTest, ShellThatCannotOpenItTellsIt)
{
    calls->executeResult = false;
    CProgramLauncher shellLauncher = Faked();
    // On the test's own desktop, where the box then shows and can be read.
    const CLauncherRun run =
        Run([&] { shellLauncher.OpenFile(document.c_str(), desktop.c_str()); });
    EXPECT_EQ(1, run.watch.boxes);
    EXPECT_EQ(document, run.watch.text);
    EXPECT_EQ(1, calls->executions);
}

}  // namespace
