#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "CModalRun.h"
#include "res/resource.h"
#include "ui/CProcessDlg.h"

namespace {

using Names = std::vector<std::wstring>;

// The dialog lists whatever the test says is running.
class ProcessDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.SetNameListing([running = running] { return *running; });
    }

    // Opens the dialog, runs the user's part and presses the button.
    template <class UserPart>
    INT_PTR Run(UserPart userPart, int button)
    {
        CModalRun<CProcessDlg> run(dialog);
        list = run.Item(IDC_PROCESS_LIST);
        if (!list)
            return -3;
        userPart(run);
        return run.Press(button);
    }

    Names RowNames() const
    {
        Names names;
        const int rows = ListView_GetItemCount(list);
        for (int row = 0; row < rows; ++row) {
            wchar_t text[MAX_PATH] = L"";
            ListView_GetItemText(list, row, 0, text, MAX_PATH);
            names.emplace_back(text);
        }
        return names;
    }

    Names CheckedRowNames() const
    {
        Names checked;
        const Names names = RowNames();
        for (int row = 0; row < static_cast<int>(names.size()); ++row) {
            if (ListView_GetCheckState(list, row))
                checked.push_back(names[row]);
        }
        return checked;
    }

    void SetCheck(int row, bool checked) const { ListView_SetCheckState(list, row, checked); }

    // What a double click of the user delivers: the button message on the
    // row's name, from which the list view reports NM_DBLCLK.
    void DoubleClickRow(int row) const
    {
        RECT label{};
        ListView_GetItemRect(list, row, &label, LVIR_LABEL);
        DoubleClickAt((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    }

    void DoubleClickAt(int x, int y) const
    {
        SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    std::shared_ptr<Names> running = std::make_shared<Names>(
        Names{L"Alpha.exe", L"beta.exe", L"GAMMA.exe", L"delta.exe"});
    CProcessDlg dialog;
    HWND list = nullptr;
};

// --- opening -----------------------------------------------------------

TEST_F(ProcessDlgTest, RunningNamesAreRowsInListingOrderWithTheChosenOnesTicked)
{
    dialog.SetSelection({L"gamma.EXE", L"ALPHA.exe", L"notrunning.exe"});
    Names rows, ticked;
    Run([&](CModalRun<CProcessDlg>&) {
        rows = RowNames();
        ticked = CheckedRowNames();
    }, IDCANCEL);
    // A chosen program that is not running follows the running ones.
    Names expected = *running;
    expected.push_back(L"notrunning.exe");
    EXPECT_EQ(expected, rows);
    EXPECT_EQ((Names{L"Alpha.exe", L"GAMMA.exe", L"notrunning.exe"}), ticked);
}

TEST_F(ProcessDlgTest, NamesThatAreNeverEndedAreNotOffered)
{
    dialog.SetSelection({L"QuillowWatch.exe", L"alpha.exe", L"EXPLORER.EXE"});
    Names rows;
    Run([&](CModalRun<CProcessDlg>&) { rows = RowNames(); }, IDOK);
    EXPECT_EQ(*running, rows);
    EXPECT_EQ((Names{L"Alpha.exe"}), dialog.GetSelection());
}

TEST_F(ProcessDlgTest, CaptionAndListLook)
{
    wchar_t caption[64] = L"";
    DWORD extended = 0;
    LONG_PTR style = 0;
    Run([&](CModalRun<CProcessDlg>& run) {
        GetWindowTextW(run.Window(), caption, 64);
        extended = ListView_GetExtendedListViewStyle(list);
        style = GetWindowLongPtrW(list, GWL_STYLE);
    }, IDCANCEL);
    EXPECT_STREQ(L"Select Processes To Terminate", caption);
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT),
              extended & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
    EXPECT_EQ(LVS_LIST, style & LVS_TYPEMASK);
}

// The dialog offers the running processes unless told otherwise, and a
// program running twice is one row.
TEST(ProcessDlgListingTest, ARunningProgramIsOneRowWhateverItsInstances)
{
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    std::wstring helper(path, length);
    helper = helper.substr(0, helper.find_last_of(L'\\') + 1) + L"qwtestapp.exe";
    PROCESS_INFORMATION instances[2]{};
    for (PROCESS_INFORMATION& instance : instances) {
        std::wstring commandLine = L"\"" + helper + L"\" no-window";
        STARTUPINFOW startup{sizeof(startup)};
        ASSERT_TRUE(CreateProcessW(helper.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                   0, nullptr, nullptr, &startup, &instance));
    }
    int helperRows = -1;
    {
        CProcessDlg dialog;
        CModalRun<CProcessDlg> run(dialog);
        HWND list = run.Item(IDC_PROCESS_LIST);
        if (list) {
            helperRows = 0;
            for (int row = 0; row < ListView_GetItemCount(list); ++row) {
                wchar_t text[MAX_PATH] = L"";
                ListView_GetItemText(list, row, 0, text, MAX_PATH);
                helperRows += lstrcmpiW(text, L"qwtestapp.exe") == 0 ? 1 : 0;
            }
        }
        run.Press(IDCANCEL);
    }
    for (PROCESS_INFORMATION& instance : instances) {
        TerminateProcess(instance.hProcess, 0);
        WaitForSingleObject(instance.hProcess, kWaitMs);
        CloseHandle(instance.hThread);
        CloseHandle(instance.hProcess);
    }
    EXPECT_EQ(1, helperRows);
}

// --- closing -----------------------------------------------------------

// Opening the picker to add one name must not take the others away.
TEST_F(ProcessDlgTest, OkTakesTheTickedNamesInListOrderAndKeepsThoseNotRunning)
{
    dialog.SetSelection({L"delta.exe", L"notrunning.exe", L"alpha.exe"});
    const INT_PTR result = Run([&](CModalRun<CProcessDlg>&) {
        SetCheck(0, false);
        SetCheck(1, true);
    }, IDOK);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((Names{L"beta.exe", L"delta.exe", L"notrunning.exe"}), dialog.GetSelection());
}

TEST_F(ProcessDlgTest, OkWithNothingRunningKeepsTheChosenNames)
{
    running->clear();
    dialog.SetSelection({L"alpha.exe", L"ALPHA.EXE", L"beta.exe"});
    EXPECT_EQ(IDOK, Run([](CModalRun<CProcessDlg>&) {}, IDOK));
    EXPECT_EQ((Names{L"alpha.exe", L"beta.exe"}), dialog.GetSelection());
}

TEST_F(ProcessDlgTest, NameNotRunningThatTheUserUntickedGoesOnOk)
{
    dialog.SetSelection({L"notrunning.exe", L"beta.exe"});
    Run([&](CModalRun<CProcessDlg>&) { SetCheck(4, false); }, IDOK);
    EXPECT_EQ((Names{L"beta.exe"}), dialog.GetSelection());
}

TEST_F(ProcessDlgTest, CancelKeepsTheSelectionAsGiven)
{
    const Names given{L"delta.exe", L"notrunning.exe", L"ALPHA.EXE"};
    dialog.SetSelection({given[0]});
    dialog.SetSelection({given[1], given[2]});
    const INT_PTR result = Run([&](CModalRun<CProcessDlg>&) {
        SetCheck(0, false);
        SetCheck(2, true);
    }, IDCANCEL);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(given, dialog.GetSelection());
}

// --- while open --------------------------------------------------------

TEST_F(ProcessDlgTest, DoubleClickOnARowTogglesItsTick)
{
    dialog.SetSelection({L"alpha.exe"});
    Names afterFirst, afterSecond;
    Run([&](CModalRun<CProcessDlg>&) {
        DoubleClickRow(0);
        DoubleClickRow(2);
        afterFirst = CheckedRowNames();
        DoubleClickRow(2);
        afterSecond = CheckedRowNames();
    }, IDOK);
    EXPECT_EQ((Names{L"GAMMA.exe"}), afterFirst);
    EXPECT_TRUE(afterSecond.empty());
    EXPECT_TRUE(dialog.GetSelection().empty());
}

TEST_F(ProcessDlgTest, DoubleClickBesideTheRowsChangesNothing)
{
    dialog.SetSelection({L"beta.exe"});
    Names ticked;
    Run([&](CModalRun<CProcessDlg>&) {
        RECT client{};
        GetClientRect(list, &client);
        DoubleClickAt(client.right - 2, client.bottom - 2);
        ticked = CheckedRowNames();
    }, IDCANCEL);
    EXPECT_EQ((Names{L"beta.exe"}), ticked);
}

TEST_F(ProcessDlgTest, RefreshListsAgainAndKeepsTheTicksMadeSinceOpening)
{
    dialog.SetSelection({L"beta.exe", L"epsilon.exe"});
    Names rows, ticked;
    const INT_PTR result = Run([&](CModalRun<CProcessDlg>& run) {
        // beta off, delta on; epsilon (not running, row 4) stays ticked.
        SetCheck(1, false);
        SetCheck(3, true);
        // A program that started meanwhile (epsilon), one that ended (delta).
        *running = Names{L"epsilon.exe", L"beta.exe", L"GAMMA.exe"};
        SendMessageW(run.Window(), WM_COMMAND, MAKEWPARAM(IDC_PROCESS_REFRESH, BN_CLICKED), 0);
        rows = RowNames();
        ticked = CheckedRowNames();
    }, IDOK);
    EXPECT_EQ((Names{L"epsilon.exe", L"beta.exe", L"GAMMA.exe", L"delta.exe"}), rows);
    EXPECT_EQ((Names{L"epsilon.exe", L"delta.exe"}), ticked);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((Names{L"epsilon.exe", L"delta.exe"}), dialog.GetSelection());
}

}  // namespace
