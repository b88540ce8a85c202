#include <gtest/gtest.h>

#include <windows.h>

#include "ui/CSettingsKeys.h"

namespace {

using Action = CSettingsKeys::Action;
using Press = CSettingsKeys::KeyPress;

constexpr UINT kEditCode = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
constexpr UINT kCheckBoxCode = DLGC_BUTTON;
constexpr UINT kPushButtonCode = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;

Press Key(UINT key, bool ctrl = false, bool shift = false, UINT focusCode = kEditCode)
{
    return Press{WM_KEYDOWN, key, ctrl, shift, false, focusCode};
}

TEST(SettingsKeysTest, CtrlTabAndCtrlPageDownShowTheNextPage)
{
    EXPECT_EQ(Action::kNextPage, CSettingsKeys::Decide(Key(VK_TAB, true)));
    EXPECT_EQ(Action::kNextPage, CSettingsKeys::Decide(Key(VK_NEXT, true)));
    EXPECT_EQ(Action::kNextPage, CSettingsKeys::Decide(Key(VK_NEXT, true, true)));
}

TEST(SettingsKeysTest, CtrlShiftTabAndCtrlPageUpShowThePreviousPage)
{
    EXPECT_EQ(Action::kPreviousPage, CSettingsKeys::Decide(Key(VK_TAB, true, true)));
    EXPECT_EQ(Action::kPreviousPage, CSettingsKeys::Decide(Key(VK_PRIOR, true)));
}

// Tab, the arrows and the page keys alone belong to the dialog manager and
// the controls: an edit box scrolls with PageDown.
TEST(SettingsKeysTest, KeysWithoutCtrlThatMoveAreLeftAlone)
{
    const UINT moving[] = {VK_TAB, VK_NEXT, VK_PRIOR, VK_LEFT, VK_DOWN, VK_SPACE, 'A'};
    for (UINT key : moving)
        EXPECT_EQ(Action::kNone, CSettingsKeys::Decide(Key(key))) << key;
    EXPECT_EQ(Action::kNone, CSettingsKeys::Decide(Key(VK_TAB, false, true)));
}

TEST(SettingsKeysTest, EnterAppliesUnlessAPushButtonHasTheFocus)
{
    EXPECT_EQ(Action::kApply, CSettingsKeys::Decide(Key(VK_RETURN)));
    EXPECT_EQ(Action::kApply, CSettingsKeys::Decide(Key(VK_RETURN, false, false, kCheckBoxCode)));
    EXPECT_EQ(Action::kApply, CSettingsKeys::Decide(Key(VK_RETURN, false, false, 0)));
    EXPECT_EQ(Action::kPressFocused,
              CSettingsKeys::Decide(Key(VK_RETURN, false, false, kPushButtonCode)));
    constexpr UINT kDefaultButtonCode = DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    EXPECT_EQ(Action::kPressFocused,
              CSettingsKeys::Decide(Key(VK_RETURN, false, false, kDefaultButtonCode)));
}

TEST(SettingsKeysTest, EscapeHides)
{
    EXPECT_EQ(Action::kHide, CSettingsKeys::Decide(Key(VK_ESCAPE)));
    EXPECT_EQ(Action::kHide, CSettingsKeys::Decide(Key(VK_ESCAPE, false, false, kPushButtonCode)));
}

// The dialog manager would send the window IDOK and IDCANCEL for these, and
// the frame's commands 1 and 2 show pages.
TEST(SettingsKeysTest, EveryKeyOfTheOkAndCancelCommandsIsTakenWithOrWithoutCtrl)
{
    EXPECT_EQ(Action::kApply, CSettingsKeys::Decide(Key(VK_RETURN, true)));
    EXPECT_EQ(Action::kApply, CSettingsKeys::Decide(Key(VK_EXECUTE)));
    EXPECT_EQ(Action::kHide, CSettingsKeys::Decide(Key(VK_CANCEL, true)));
}

TEST(SettingsKeysTest, AControlThatWantsEveryKeyKeepsThem)
{
    for (UINT key : {VK_RETURN, VK_ESCAPE, VK_TAB})
        EXPECT_EQ(Action::kNone,
                  CSettingsKeys::Decide(Key(key, true, false, DLGC_WANTMESSAGE | kEditCode)))
            << key;
}

TEST(SettingsKeysTest, AltCombinationsKeyUpsAndCharactersAreLeftAlone)
{
    Press press = Key(VK_TAB, true);
    press.alt = true;
    EXPECT_EQ(Action::kNone, CSettingsKeys::Decide(press));
    for (UINT message : {WM_KEYUP, WM_SYSKEYDOWN, WM_CHAR}) {
        press = Key(VK_RETURN);
        press.message = message;
        EXPECT_EQ(Action::kNone, CSettingsKeys::Decide(press)) << message;
    }
}

TEST(SettingsKeysTest, KeysThatMoveTheFocusOrAltShowTheCues)
{
    for (UINT key : {VK_TAB, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
        EXPECT_TRUE(CSettingsKeys::ShowsFocusCues(Key(key))) << key;
    EXPECT_TRUE(CSettingsKeys::ShowsFocusCues(Key(VK_NEXT, true)));
    const Press alt{WM_SYSKEYDOWN, VK_MENU, false, false, true, 0};
    EXPECT_TRUE(CSettingsKeys::ShowsFocusCues(alt));
}

TEST(SettingsKeysTest, TypingDoesNotShowTheCues)
{
    const UINT typing[] = {'A', VK_SPACE, VK_RETURN, VK_NEXT, VK_F4};
    for (UINT key : typing)
        EXPECT_FALSE(CSettingsKeys::ShowsFocusCues(Key(key))) << key;
    EXPECT_FALSE(CSettingsKeys::ShowsFocusCues(Press{WM_KEYUP, VK_TAB, false, false, false, 0}));
}

}  // namespace
