#include <gtest/gtest.h>

#include <windows.h>

#include "base/CRegistryPath.h"
#include "CModalRun.h"
#include "res/resource.h"
#include "ScratchRegistryKey.h"
#include "ui/CQuitDlg.h"

namespace {

const wchar_t kNoConfirm[] = L"QUIT_NOCONFIRM";

// The dialog writes into a scratch key, never the user's settings.
class QuitDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        key.SetRoot(HKEY_CURRENT_USER);
        key.SetPath(scratch.Path().c_str());
    }

    INT_PTR Answer(bool tickDoNotAsk, int button)
    {
        CQuitDlg dialog(key);
        CModalRun<CQuitDlg> run(dialog);
        if (!run.Window())
            return -3;
        if (tickDoNotAsk)
            SendMessageW(run.Item(IDC_QUIT_DONT_ASK), BM_SETCHECK, BST_CHECKED, 0);
        return run.Press(button);
    }

    const CScratchRegistryKey scratch{L"Quit"};
    CRegistryPath key;
};

TEST_F(QuitDlgTest, QuitWithDoNotAskTickedStoresTheChoice)
{
    EXPECT_EQ(CQuitDlg::kQuit, Answer(true, IDC_QUIT_CONFIRM));
    EXPECT_EQ(1u, scratch.ReadDword(kNoConfirm));
    EXPECT_TRUE(CQuitDlg::IsSkipped(key));
}

TEST_F(QuitDlgTest, QuitWithDoNotAskClearStoresNothing)
{
    EXPECT_EQ(CQuitDlg::kQuit, Answer(false, IDC_QUIT_CONFIRM));
    EXPECT_FALSE(scratch.Has(kNoConfirm));
    EXPECT_FALSE(CQuitDlg::IsSkipped(key));
}

// Cancel, Escape and the close box arrive as IDCANCEL; Enter on another
// focused button can send IDOK. None of them quits or stores the tick.
TEST_F(QuitDlgTest, CancelAndOkStayEvenWithDoNotAskTicked)
{
    EXPECT_EQ(CQuitDlg::kStay, Answer(true, IDCANCEL));
    EXPECT_EQ(CQuitDlg::kStay, Answer(true, IDOK));
    EXPECT_FALSE(scratch.Has(kNoConfirm));
}

TEST_F(QuitDlgTest, OnlyANonZeroNumberSkipsTheQuestion)
{
    EXPECT_FALSE(CQuitDlg::IsSkipped(key));
    scratch.PutDword(kNoConfirm, 0);
    EXPECT_FALSE(CQuitDlg::IsSkipped(key));
    scratch.PutText(kNoConfirm, L"1");
    EXPECT_FALSE(CQuitDlg::IsSkipped(key));
    scratch.PutDword(kNoConfirm, 7);
    EXPECT_TRUE(CQuitDlg::IsSkipped(key));
}

TEST_F(QuitDlgTest, CaptionPictureSizeAndQuestionFont)
{
    CQuitDlg dialog(key);
    CModalRun<CQuitDlg> run(dialog);
    ASSERT_NE(nullptr, run.Window());
    wchar_t caption[32] = L"";
    GetWindowTextW(run.Window(), caption, 32);
    EXPECT_STREQ(L"Confirm Quit ", caption);
    // Sized to the 48 x 48 picture, whatever the template gave it.
    RECT picture{};
    GetClientRect(run.Item(IDC_QUIT_PICTURE), &picture);
    EXPECT_EQ(48, picture.right);
    EXPECT_EQ(48, picture.bottom);
    // The question is drawn two units larger than the dialog's own font.
    LOGFONTW dialogFont{}, questionFont{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(run.Window(), WM_GETFONT, 0, 0)),
               sizeof(dialogFont), &dialogFont);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(run.Item(IDC_QUIT_QUESTION), WM_GETFONT, 0, 0)),
               sizeof(questionFont), &questionFont);
    EXPECT_EQ(dialogFont.lfHeight + (dialogFont.lfHeight <= 0 ? -2 : 2), questionFont.lfHeight);
    run.Press(IDCANCEL);
}

}  // namespace
