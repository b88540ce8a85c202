#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "CBackgroundSourceWindow.h"
#include "CModalRun.h"
#include "CommandRecorder.h"
#include "res/resource.h"
#include "ui/CAdvancedSettingsDlg.h"

namespace {

using Names = std::vector<std::wstring>;

constexpr DWORD kPickerWaitMs = 10000;

// ---- the refusal of programs ----

TEST(ExecutablePathTest, ProgramExtensionsAreRefusedInAnyLetterCase)
{
    EXPECT_TRUE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\Tools\\setup.exe"));
    EXPECT_TRUE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\Tools\\RUN.BAT"));
    EXPECT_TRUE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\Tools\\Setup.Exe"));
    EXPECT_TRUE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\go.cmd"));
    EXPECT_TRUE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\old.cOm"));
}

TEST(ExecutablePathTest, OnlyTheLastExtensionCounts)
{
    EXPECT_FALSE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\Notes\\x.exe.txt"));
    EXPECT_FALSE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\Notes\\report.docx"));
    EXPECT_FALSE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\build.exe\\notes"));
    EXPECT_FALSE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\Notes\\README"));
    EXPECT_FALSE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\Notes\\exe"));
}

// The file system opens "a.exe." and "a.exe " as a.exe.
TEST(ExecutablePathTest, TrailingDotsAndBlanksDoNotHideAProgram)
{
    EXPECT_TRUE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\a.exe."));
    EXPECT_TRUE(CAdvancedSettingsDlg::IsExecutablePath(L"C:\\a.bat . "));
}

TEST(ExecutablePathTest, NoPathIsNoProgram)
{
    EXPECT_FALSE(CAdvancedSettingsDlg::IsExecutablePath(nullptr));
    EXPECT_FALSE(CAdvancedSettingsDlg::IsExecutablePath(L""));
}

// ---- the processes box's text ----

TEST(ProcessesTextTest, EveryNameIsFollowedByASemicolon)
{
    EXPECT_EQ(L"a.exe;b.exe;", CAdvancedSettingsDlg::ProcessesText({L"a.exe", L"b.exe"}));
    EXPECT_EQ(L"", CAdvancedSettingsDlg::ProcessesText({}));
}

TEST(ProcessesTextTest, NamesThatWouldReach260AreLeftOut)
{
    // Each name with its ";" is 65 long: three make 195, a fourth 260.
    const std::wstring name(64, L'n');
    const std::wstring text = CAdvancedSettingsDlg::ProcessesText({name, name, name, name});
    EXPECT_EQ(195u, text.size());
    EXPECT_EQ(name + L";" + name + L";" + name + L";", text);
}

TEST(ProcessesTextTest, JustUnder260StillFits)
{
    const std::wstring name(63, L'n');  // four make 256
    EXPECT_EQ(256u, CAdvancedSettingsDlg::ProcessesText({name, name, name, name}).size());
}

TEST(ProcessesTextTest, NamesAfterOneThatDoesNotFitAreLeftOutToo)
{
    const std::wstring longName(300, L'x');
    EXPECT_EQ(L"a.exe;", CAdvancedSettingsDlg::ProcessesText({L"a.exe", longName, L"b.exe"}));
}

// ---- the columns ----

TEST(ColumnLayoutTest, SecondColumnMovesRightOnlyForAWiderFirstColumn)
{
    EXPECT_EQ(200, CAdvancedSettingsDlg::SecondColumnLeft(20, 100, 200));
    EXPECT_EQ(228, CAdvancedSettingsDlg::SecondColumnLeft(20, 200, 200));
}

// ---- the page ----

struct MessageShown {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
};

class AdvancedSettingsDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame.SetSolid(RGB(220, 230, 240));
        ASSERT_NE(nullptr, frame.CreateShown(531, 265));
    }

    CAdvancedSettingsDlg::FileChooser ChooserAnswering(const wchar_t* path, BOOL chosen = TRUE)
    {
        return chosen ? ChooserAnswering(std::vector<std::wstring>{path})
                      : ChooserAnswering(std::vector<std::wstring>{});
    }

    // Chooses each path in turn, then cancels.
    CAdvancedSettingsDlg::FileChooser ChooserAnswering(std::vector<std::wstring> paths)
    {
        return [this, paths](OPENFILENAMEW& dialog) {
            const size_t call = static_cast<size_t>(choosings++);
            seen = dialog;
            seenFilter = dialog.lpstrFilter ? dialog.lpstrFilter : L"";
            seenTitle = dialog.lpstrTitle ? dialog.lpstrTitle : L"";
            seenFolder = dialog.lpstrInitialDir ? dialog.lpstrInitialDir : L"";
            folders.push_back(seenFolder);
            if (call >= paths.size())
                return FALSE;
            wcsncpy(dialog.lpstrFile, paths[call].c_str(), dialog.nMaxFile - 1);
            return TRUE;
        };
    }

    CAdvancedSettingsDlg::MessageBoxFunction RecordingMessageBox()
    {
        return [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
            messages.push_back(MessageShown{owner, text, caption, style});
            return IDOK;
        };
    }

    CAdvancedSettingsDlg::ProcessPicker PickerAnswering(Names choice, bool ok)
    {
        return [this, choice, ok](HWND, Names& names) {
            offered.push_back(names);
            // A picker that fills in names and is then cancelled.
            names = choice;
            return ok;
        };
    }

    HWND Open(CAdvancedSettingsDlg& page, const CSettingsRecord& settings = CSettingsRecord())
    {
        HWND hwnd = page.CreatePage(frame, ID_PAGE_ADVANCED, settings);
        if (hwnd)
            ::SetWindowPos(hwnd, nullptr, 0, 0, 531, 265, SWP_NOZORDER | SWP_SHOWWINDOW);
        return hwnd;
    }

    static std::wstring TextOf(HWND control)
    {
        wchar_t text[400] = L"";
        GetWindowTextW(control, text, 400);
        return text;
    }

    static void Browse(const CAdvancedSettingsDlg& page, int boxId)
    {
        HWND box = page.GetDlgItem(boxId);
        SendMessageW(page.m_hWnd, WM_EDIT_BROWSE, reinterpret_cast<WPARAM>(box), 0);
    }

    static void Click(const CAdvancedSettingsDlg& page, int checkBoxId)
    {
        SendMessageW(page.GetDlgItem(checkBoxId), BM_CLICK, 0, 0);
    }

    static bool Enabled(const CAdvancedSettingsDlg& page, int id)
    {
        return IsWindowEnabled(page.GetDlgItem(id)) != FALSE;
    }

    CBackgroundSourceWindow frame;
    int choosings = 0;
    OPENFILENAMEW seen{};
    std::wstring seenFilter, seenTitle, seenFolder;
    std::vector<std::wstring> folders;
    std::vector<MessageShown> messages;
    std::vector<Names> offered;
};

CSettingsRecord SampleRecord()
{
    CSettingsRecord record;
    record.AC_MUTE = 1;
    record.AC_TASKMGR = 1;
    record.AC_RECENTDOC = 1;
    record.AC_FILE_ENABLED = 1;
    record.AC_FILE_PATH.Assign(L"C:\\Notes\\plan.docx");
    record.AC_WEBSITE_ENABLED = 0;
    record.AC_WEBSITE_URL.Assign(L"www.example.com");
    record.AC_WINDOWS_ENABLED = 1;
    record.AC_WINDOWS_TITLE.Assign(L"Budget");
    record.AC_PROCESSES_ENABLED = 0;
    record.processes = {L"chat.exe", L"mail.exe"};
    return record;
}

TEST_F(AdvancedSettingsDlgTest, PageIsFilledFromTheRecord)
{
    CAdvancedSettingsDlg page;
    EXPECT_FALSE(page.IsCreated());
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    EXPECT_TRUE(page.IsCreated());
    EXPECT_EQ(1u, page.IsChecked(IDC_AC_MUTE));
    EXPECT_EQ(0u, page.IsChecked(IDC_AC_MONITOR));
    EXPECT_EQ(1u, page.IsChecked(IDC_AC_TASKMGR));
    EXPECT_EQ(0u, page.IsChecked(IDC_AC_BROWSERHISTORY));
    EXPECT_EQ(0u, page.IsChecked(IDC_AC_IEURLS));
    EXPECT_EQ(1u, page.IsChecked(IDC_AC_RECENTDOC));

    wchar_t text[CAdvancedSettingsDlg::kTextChars];
    EXPECT_EQ(1u, page.IsChecked(IDC_AC_FILE_ENABLED));
    page.ReadText(IDC_AC_FILE_PATH, text);
    EXPECT_STREQ(L"C:\\Notes\\plan.docx", text);
    EXPECT_TRUE(Enabled(page, IDC_AC_FILE_PATH));

    EXPECT_EQ(0u, page.IsChecked(IDC_AC_WEBSITE_ENABLED));
    page.ReadText(IDC_AC_WEBSITE_URL, text);
    EXPECT_STREQ(L"www.example.com", text) << "an unchecked option keeps its text";
    EXPECT_FALSE(Enabled(page, IDC_AC_WEBSITE_URL));

    EXPECT_EQ(1u, page.IsChecked(IDC_AC_WINDOWS_ENABLED));
    page.ReadText(IDC_AC_WINDOWS_TITLE, text);
    EXPECT_STREQ(L"Budget", text);
    EXPECT_TRUE(Enabled(page, IDC_AC_WINDOWS_TITLE));

    EXPECT_EQ(0u, page.IsChecked(IDC_AC_PROCESSES_ENABLED));
    EXPECT_FALSE(Enabled(page, IDC_AC_PROCESSES));
    EXPECT_EQ((Names{L"chat.exe", L"mail.exe"}), page.Processes());
    EXPECT_EQ(L"chat.exe;mail.exe;", TextOf(page.GetDlgItem(IDC_AC_PROCESSES)));
}

RECT PlaceIn(HWND page, int id)
{
    RECT place{};
    GetWindowRect(GetDlgItem(page, id), &place);
    MapWindowPoints(HWND_DESKTOP, page, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The page font is wider than the template's; no text of the first column
// may run under the second.
TEST_F(AdvancedSettingsDlgTest, FirstColumnTextsFitBeforeTheSecondColumn)
{
    CAdvancedSettingsDlg page;
    ASSERT_NE(nullptr, Open(page));
    const int firstColumn[] = {IDC_AC_MUTE, IDC_AC_MONITOR, IDC_AC_TASKMGR,
                               IDC_AC_FILE_ENABLED, IDC_AC_WEBSITE_ENABLED,
                               IDC_AC_PROCESSES_ENABLED, IDC_AC_WINDOWS_ENABLED};
    const int secondLeft = PlaceIn(page.m_hWnd, IDC_AC_FILE_PATH).left;
    HDC dc = GetDC(page.m_hWnd);
    HGDIOBJ old = SelectObject(dc, page.PageFont());
    for (int id : firstColumn) {
        SCOPED_TRACE(id);
        const std::wstring text = TextOf(page.GetDlgItem(id));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        const RECT place = PlaceIn(page.m_hWnd, id);
        EXPECT_GE(place.right - place.left, extent.cx + GetSystemMetrics(SM_CXMENUCHECK));
        EXPECT_LE(place.right, secondLeft);
    }
    SelectObject(dc, old);
    ReleaseDC(page.m_hWnd, dc);
    // The boxes keep the page's right margin as they grow with it.
    const RECT file = PlaceIn(page.m_hWnd, IDC_AC_FILE_PATH);
    RECT client{};
    GetClientRect(page.m_hWnd, &client);
    EXPECT_GT(file.right, client.right - 20);
    EXPECT_LT(file.right, client.right);
    EXPECT_EQ(file.left, PlaceIn(page.m_hWnd, IDC_AC_RECENTDOC).left);
}

TEST_F(AdvancedSettingsDlgTest, SettersFollowTheApplyOperations)
{
    CAdvancedSettingsDlg page;
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    page.ShowAction(ISettingsPages::kMute, 0);
    page.ShowAction(ISettingsPages::kTypedUrls, 1);
    EXPECT_EQ(0u, page.IsChecked(IDC_AC_MUTE));
    EXPECT_EQ(1u, page.IsChecked(IDC_AC_IEURLS));
    page.ShowFile(0, nullptr);
    EXPECT_EQ(0u, page.IsChecked(IDC_AC_FILE_ENABLED));
    EXPECT_EQ(L"", TextOf(page.GetDlgItem(IDC_AC_FILE_PATH)));
    EXPECT_FALSE(Enabled(page, IDC_AC_FILE_PATH));
    page.ShowProcesses(1, {L"x.exe"});
    EXPECT_EQ(1u, page.IsChecked(IDC_AC_PROCESSES_ENABLED));
    EXPECT_TRUE(Enabled(page, IDC_AC_PROCESSES));
    EXPECT_EQ(L"x.exe;", TextOf(page.GetDlgItem(IDC_AC_PROCESSES)));
    // The page's own list handed back in replaces it with itself.
    page.ShowProcesses(1, page.Processes());
    EXPECT_EQ(Names{L"x.exe"}, page.Processes());
}

TEST_F(AdvancedSettingsDlgTest, EachOptionEnablesItsBoxExactlyWhileChecked)
{
    CAdvancedSettingsDlg page;
    ASSERT_NE(nullptr, Open(page));
    const int pairs[4][2] = {{IDC_AC_FILE_ENABLED, IDC_AC_FILE_PATH},
                             {IDC_AC_WEBSITE_ENABLED, IDC_AC_WEBSITE_URL},
                             {IDC_AC_PROCESSES_ENABLED, IDC_AC_PROCESSES},
                             {IDC_AC_WINDOWS_ENABLED, IDC_AC_WINDOWS_TITLE}};
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair[0]);
        EXPECT_FALSE(Enabled(page, pair[1]));
        Click(page, pair[0]);
        EXPECT_EQ(1u, page.IsChecked(pair[0]));
        EXPECT_TRUE(Enabled(page, pair[1]));
        Click(page, pair[0]);
        EXPECT_FALSE(Enabled(page, pair[1]));
    }
    // Checking one option leaves the other boxes as they were.
    Click(page, IDC_AC_FILE_ENABLED);
    Click(page, IDC_AC_MUTE);
    EXPECT_TRUE(Enabled(page, IDC_AC_FILE_PATH));
    EXPECT_FALSE(Enabled(page, IDC_AC_WEBSITE_URL));
    EXPECT_FALSE(Enabled(page, IDC_AC_PROCESSES));
    EXPECT_FALSE(Enabled(page, IDC_AC_WINDOWS_TITLE));
}

TEST_F(AdvancedSettingsDlgTest, TextsAreReadToAt259Characters)
{
    CAdvancedSettingsDlg page;
    ASSERT_NE(nullptr, Open(page));
    const std::wstring longText(300, L'w');
    page.ShowWindowTitle(1, longText.c_str());
    wchar_t text[CAdvancedSettingsDlg::kTextChars];
    page.ReadText(IDC_AC_WINDOWS_TITLE, text);
    EXPECT_EQ(259u, wcslen(text));
    // Typing stops where "Apply" would cut.
    EXPECT_EQ(259, SendMessageW(page.GetDlgItem(IDC_AC_WEBSITE_URL), EM_GETLIMITTEXT, 0, 0));
}

// A stored text longer than the box, as another program or an older version
// may have written it: the box shows what "Apply" will keep, no more.
TEST_F(AdvancedSettingsDlgTest, StoredTextLongerThanItsBoxIsShownAsApplyKeepsIt)
{
    CAdvancedSettingsDlg page;
    ASSERT_NE(nullptr, Open(page));
    const std::wstring stored = std::wstring(259, L'w') + L"X";
    page.ShowWindowTitle(1, stored.c_str());
    page.ShowFile(1, stored.c_str());
    page.ShowWebSite(1, stored.c_str());
    for (int id : {IDC_AC_WINDOWS_TITLE, IDC_AC_FILE_PATH, IDC_AC_WEBSITE_URL}) {
        SCOPED_TRACE(id);
        wchar_t read[CAdvancedSettingsDlg::kTextChars];
        page.ReadText(id, read);
        EXPECT_EQ(std::wstring(259, L'w'), TextOf(page.GetDlgItem(id)));
        EXPECT_EQ(TextOf(page.GetDlgItem(id)), read);
    }
}

TEST_F(AdvancedSettingsDlgTest, CutTextNeverEndsInHalfACharacter)
{
    CAdvancedSettingsDlg page;
    ASSERT_NE(nullptr, Open(page));
    // A character outside the basic plane takes characters 259 and 260.
    const std::wstring stored = std::wstring(258, L'w') + L"\xD83D\xDE00";
    page.ShowWindowTitle(1, stored.c_str());
    EXPECT_EQ(std::wstring(258, L'w'), TextOf(page.GetDlgItem(IDC_AC_WINDOWS_TITLE)));
    // One that fits stays whole.
    const std::wstring fits = std::wstring(257, L'w') + L"\xD83D\xDE00";
    page.ShowWindowTitle(1, fits.c_str());
    EXPECT_EQ(fits, TextOf(page.GetDlgItem(IDC_AC_WINDOWS_TITLE)));
}

// The picker fills the box; "Apply" reads the page's list. Typed text would
// show as chosen and end nothing, so the box takes none.
TEST_F(AdvancedSettingsDlgTest, TypingIntoTheProcessesBoxChangesNeitherItNorTheList)
{
    CAdvancedSettingsDlg page;
    CSettingsRecord record = SampleRecord();
    record.AC_PROCESSES_ENABLED = 1;
    ASSERT_NE(nullptr, Open(page, record));
    HWND box = page.GetDlgItem(IDC_AC_PROCESSES);
    SendMessageW(box, WM_KEYDOWN, VK_END, 0);
    for (wchar_t c : std::wstring(L"evil.exe;"))
        SendMessageW(box, WM_CHAR, c, 0);
    SendMessageW(box, WM_CHAR, VK_BACK, 0);
    EXPECT_NE(0, GetWindowLongPtrW(box, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(L"chat.exe;mail.exe;", TextOf(box));
    EXPECT_EQ((Names{L"chat.exe", L"mail.exe"}), page.Processes());
}

TEST_F(AdvancedSettingsDlgTest, ChosenDocumentSetsTheFileBox)
{
    CAdvancedSettingsDlg page(ChooserAnswering(L"D:\\Work\\Quarterly Report.docx"),
                              RecordingMessageBox());
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    Browse(page, IDC_AC_FILE_PATH);
    ASSERT_EQ(1, choosings);
    EXPECT_EQ(L"D:\\Work\\Quarterly Report.docx", TextOf(page.GetDlgItem(IDC_AC_FILE_PATH)));
    EXPECT_TRUE(messages.empty());
    // The dialog as it was asked for.
    EXPECT_EQ(page.m_hWnd, seen.hwndOwner);
    EXPECT_EQ(static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400W), seen.lStructSize);
    EXPECT_EQ(260u, seen.nMaxFile);
    EXPECT_EQ(1u, seen.nFilterIndex);
    EXPECT_EQ(static_cast<DWORD>(OFN_EXPLORER | OFN_LONGNAMES | OFN_CREATEPROMPT), seen.Flags);
    EXPECT_EQ(nullptr, seen.lpfnHook);
    EXPECT_EQ(L"All files(Not Executable)", seenFilter);
    EXPECT_EQ(L"Select a Specified File to Open", seenTitle);
    EXPECT_EQ(L"c:\\", seenFolder);
}

TEST_F(AdvancedSettingsDlgTest, ChosenProgramIsRefusedAndTheBoxKeepsItsText)
{
    CAdvancedSettingsDlg page(ChooserAnswering({L"C:\\Tools\\RUN.BAT"}), RecordingMessageBox());
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    Browse(page, IDC_AC_FILE_PATH);
    EXPECT_EQ(L"C:\\Notes\\plan.docx", TextOf(page.GetDlgItem(IDC_AC_FILE_PATH)));
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(page.m_hWnd, messages[0].owner);
    EXPECT_EQ(L"Can not select an executable file.", messages[0].text);
    EXPECT_EQ(L"Setting hint", messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION), messages[0].style);
}

// The user is taken back to where they were, to pick another file there.
TEST_F(AdvancedSettingsDlgTest, AfterARefusalTheChooserOpensAgainInTheRefusedFilesFolder)
{
    CAdvancedSettingsDlg page(
        ChooserAnswering({L"D:\\Work\\Tools\\run.cmd", L"D:\\Work\\Tools\\notes.txt"}),
        RecordingMessageBox());
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    Browse(page, IDC_AC_FILE_PATH);
    EXPECT_EQ(2, choosings);
    EXPECT_EQ((std::vector<std::wstring>{L"c:\\", L"D:\\Work\\Tools"}), folders);
    EXPECT_EQ(1u, messages.size());
    EXPECT_EQ(L"D:\\Work\\Tools\\notes.txt", TextOf(page.GetDlgItem(IDC_AC_FILE_PATH)));
}

TEST_F(AdvancedSettingsDlgTest, EachRefusalOpensTheChooserAgainUntilTheUserCancels)
{
    CAdvancedSettingsDlg page(ChooserAnswering({L"C:\\a.exe", L"E:\\b.com"}),
                              RecordingMessageBox());
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    Browse(page, IDC_AC_FILE_PATH);
    EXPECT_EQ(3, choosings);
    EXPECT_EQ((std::vector<std::wstring>{L"c:\\", L"C:\\", L"E:\\"}), folders);
    EXPECT_EQ(2u, messages.size());
    EXPECT_EQ(L"C:\\Notes\\plan.docx", TextOf(page.GetDlgItem(IDC_AC_FILE_PATH)));
}

TEST(FileFolderTest, TheFolderOfAPathIsWhereTheChooserReopens)
{
    EXPECT_EQ(L"C:\\Tools", CAdvancedSettingsDlg::FolderOf(L"C:\\Tools\\RUN.BAT"));
    EXPECT_EQ(L"C:\\", CAdvancedSettingsDlg::FolderOf(L"C:\\RUN.BAT"));
    EXPECT_EQ(L"\\\\server\\share", CAdvancedSettingsDlg::FolderOf(L"\\\\server\\share\\x.exe"));
    EXPECT_EQ(L"", CAdvancedSettingsDlg::FolderOf(L"x.exe"));
    EXPECT_EQ(L"", CAdvancedSettingsDlg::FolderOf(nullptr));
}

TEST_F(AdvancedSettingsDlgTest, CancelledFileDialogChangesNothing)
{
    CAdvancedSettingsDlg page(ChooserAnswering(L"C:\\other.txt", FALSE), RecordingMessageBox());
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    Browse(page, IDC_AC_FILE_PATH);
    EXPECT_EQ(1, choosings);
    EXPECT_EQ(L"C:\\Notes\\plan.docx", TextOf(page.GetDlgItem(IDC_AC_FILE_PATH)));
    EXPECT_TRUE(messages.empty());
}

TEST_F(AdvancedSettingsDlgTest, PickedProcessesReplaceTheListAndTheText)
{
    CAdvancedSettingsDlg page(ChooserAnswering(L""), RecordingMessageBox(),
                              PickerAnswering({L"game.exe", L"player.exe"}, true));
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    Browse(page, IDC_AC_PROCESSES);
    ASSERT_EQ(1u, offered.size());
    EXPECT_EQ((Names{L"chat.exe", L"mail.exe"}), offered[0]);
    EXPECT_EQ((Names{L"game.exe", L"player.exe"}), page.Processes());
    EXPECT_EQ(L"game.exe;player.exe;", TextOf(page.GetDlgItem(IDC_AC_PROCESSES)));
    EXPECT_EQ(0, choosings) << "the processes box never opens the file dialog";
}

TEST_F(AdvancedSettingsDlgTest, CancelledProcessPickerChangesNothing)
{
    CAdvancedSettingsDlg page(ChooserAnswering(L""), RecordingMessageBox(),
                              PickerAnswering({L"game.exe"}, false));
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    Browse(page, IDC_AC_PROCESSES);
    ASSERT_EQ(1u, offered.size());
    EXPECT_EQ((Names{L"chat.exe", L"mail.exe"}), page.Processes());
    EXPECT_EQ(L"chat.exe;mail.exe;", TextOf(page.GetDlgItem(IDC_AC_PROCESSES)));
}

struct PickerWatch {
    DWORD pageThread;
    bool sawList = false;
};

// Closes the process picker the page opens on its thread, with Cancel.
DWORD WINAPI CancelThePicker(void* param)
{
    auto* watch = static_cast<PickerWatch*>(param);
    for (DWORD waited = 0; waited < kPickerWaitMs; waited += 20) {
        VisibleDialogSearch search;
        EnumThreadWindows(watch->pageThread, FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            watch->sawList = GetDlgItem(search.found, IDC_PROCESS_LIST) != nullptr;
            PostMessageW(search.found, WM_COMMAND, IDCANCEL, 0);
            return 0;
        }
        Sleep(20);
    }
    return 1;
}

TEST_F(AdvancedSettingsDlgTest, ProcessesBoxOpensTheProcessPickerByDefault)
{
    CAdvancedSettingsDlg page;
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    PickerWatch watch{GetCurrentThreadId()};
    HANDLE closer = CreateThread(nullptr, 0, CancelThePicker, &watch, 0, nullptr);
    ASSERT_NE(nullptr, closer);
    Browse(page, IDC_AC_PROCESSES);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(closer, kPickerWaitMs));
    DWORD exitCode = 1;
    GetExitCodeThread(closer, &exitCode);
    CloseHandle(closer);
    EXPECT_EQ(0u, exitCode) << "no picker came up";
    EXPECT_TRUE(watch.sawList);
    EXPECT_EQ((Names{L"chat.exe", L"mail.exe"}), page.Processes());
}

// The whole way: a click on the drawn button reaches the picker, unless the
// box is disabled with its option.
TEST_F(AdvancedSettingsDlgTest, ButtonOfTheProcessesBoxOpensThePickerOnlyWhileEnabled)
{
    CAdvancedSettingsDlg page(ChooserAnswering(L""), RecordingMessageBox(),
                              PickerAnswering({L"game.exe"}, true));
    ASSERT_NE(nullptr, Open(page, SampleRecord()));
    HWND box = page.GetDlgItem(IDC_AC_PROCESSES);
    auto clickButton = [box] {
        RECT window{};
        GetWindowRect(box, &window);
        const POINT screen{window.right - 6, (window.top + window.bottom) / 2};
        PostMessageW(box, WM_NCLBUTTONDOWN, HTBORDER, MAKELPARAM(screen.x, screen.y));
        POINT client = screen;
        ScreenToClient(box, &client);
        PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        PumpPosted();
    };
    clickButton();
    EXPECT_TRUE(offered.empty()) << "the option is unchecked";
    Click(page, IDC_AC_PROCESSES_ENABLED);
    clickButton();
    EXPECT_EQ(1u, offered.size());
    EXPECT_EQ(Names{L"game.exe"}, page.Processes());
}

}  // namespace
