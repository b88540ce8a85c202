#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "settings/CHotkeyCode.h"
#include "settings/CHotkeyRule.h"
#include "ui/CHotkeyEditCtrl.h"

namespace {

std::wstring NameOf(UINT code, UINT* returned = nullptr)
{
    wchar_t name[12];
    wmemset(name, L'#', 12);
    const UINT result = CHotkeyCode::KeyName(code, name);
    if (returned)
        *returned = result;
    return name;
}

void ExpectNames(const std::vector<std::pair<UINT, std::wstring>>& table)
{
    for (const auto& [code, expected] : table) {
        UINT returned = 0;
        EXPECT_EQ(expected, NameOf(code, &returned)) << std::hex << code;
        EXPECT_EQ(code, returned) << std::hex << code;
    }
}

TEST(HotkeyKeyNameTest, FunctionKeysAreNamedF1ToF24)
{
    for (UINT code = 0x70; code <= 0x87; ++code) {
        UINT returned = 0;
        EXPECT_EQ(L"F" + std::to_wstring(code - 0x6F), NameOf(code, &returned));
        EXPECT_EQ(code, returned);
    }
    EXPECT_EQ(L"F24", NameOf(VK_F24));
}

TEST(HotkeyKeyNameTest, DigitRowAndKeypadDigitsReadAsDigitsButKeepTheirCodes)
{
    for (UINT digit = 0; digit <= 9; ++digit) {
        const std::wstring expected = std::to_wstring(digit);
        ExpectNames({{0x30 + digit, expected}, {VK_NUMPAD0 + digit, expected}});
    }
    UINT returned = 0;
    EXPECT_EQ(L"5", NameOf(VK_NUMPAD5, &returned));
    EXPECT_EQ(0x65u, returned);
}

TEST(HotkeyKeyNameTest, LettersReadAsThemselves)
{
    for (UINT code = 'A'; code <= 'Z'; ++code)
        ExpectNames({{code, std::wstring(1, static_cast<wchar_t>(code))}});
}

TEST(HotkeyKeyNameTest, PunctuationIsNamedUnderItsOemAndItsAsciiCode)
{
    ExpectNames({{0xC0, L"`"}, {0xBD, L"-"}, {0xBB, L"="}, {0x3D, L"="}, {0xDB, L"["},
                 {0x5B, L"["}, {0xDD, L"]"}, {0x5D, L"]"}, {0xDC, L"\\"}, {0x5C, L"\\"},
                 {0xBA, L";"}, {0x3B, L";"}, {0xDE, L"'"}, {0xBC, L","}, {0x2C, L","},
                 {0xBE, L"."}, {0xBF, L"/"}, {0x2F, L"/"}});
}

TEST(HotkeyKeyNameTest, EditingAndCursorKeysHaveWordNames)
{
    ExpectNames({{VK_SPACE, L"SPACE"}, {VK_BACK, L"BACK"}, {VK_PRIOR, L"PAGE_UP"},
                 {VK_NEXT, L"PAGE_DOWN"}, {VK_END, L"END"}, {VK_HOME, L"HOME"},
                 {VK_LEFT, L"LEFT"}, {VK_RIGHT, L"RIGHT"}, {VK_UP, L"UP"}, {VK_DOWN, L"DOWN"},
                 {VK_INSERT, L"INSERT"}, {VK_DELETE, L"DEL"}});
}

TEST(HotkeyKeyNameTest, KeypadOperatorsHaveShortNames)
{
    ExpectNames({{VK_SEPARATOR, L"SEP"}, {VK_SUBTRACT, L"SUB"}, {VK_DECIMAL, L"."},
                 {VK_DIVIDE, L"/"}});
}

TEST(HotkeyKeyNameTest, KeysWithoutANameGiveZeroAndAnEmptyName)
{
    for (UINT code : {0u, static_cast<UINT>(VK_ESCAPE), static_cast<UINT>(VK_TAB),
                      static_cast<UINT>(VK_RETURN), static_cast<UINT>(VK_MULTIPLY),
                      static_cast<UINT>(VK_ADD), static_cast<UINT>(VK_SHIFT),
                      static_cast<UINT>(VK_CONTROL), static_cast<UINT>(VK_MENU), 0x88u, 0xFFu,
                      0x141u}) {
        UINT returned = 1;
        EXPECT_EQ(L"", NameOf(code, &returned)) << std::hex << code;
        EXPECT_EQ(0u, returned) << std::hex << code;
    }
}

std::wstring TextOf(DWORD key, DWORD ctrl, DWORD shift, DWORD alt)
{
    CHotkeyCode code;
    code.enabled = 1;
    code.key = key;
    code.ctrl = ctrl;
    code.shift = shift;
    code.alt = alt;
    wchar_t text[40];
    wmemset(text, L'#', 40);
    code.Text(text);
    return text;
}

TEST(HotkeyTextTest, ModifiersComeAsCtrlAltShiftThenTheKey)
{
    EXPECT_EQ(L"Ctrl+Alt+Shift+F2", TextOf(VK_F2, 1, 1, 1));
    EXPECT_EQ(L"Alt+Shift+A", TextOf('A', 0, 1, 1));
    EXPECT_EQ(L"Ctrl+Shift+PAGE_DOWN", TextOf(VK_NEXT, 1, 1, 0));
    EXPECT_EQ(L"HOME", TextOf(VK_HOME, 0, 0, 0));
}

TEST(HotkeyTextTest, CodeWithoutAKeyReadsAsEmpty)
{
    EXPECT_EQ(L"", TextOf(0, 1, 1, 1));
}

TEST(HotkeyTextTest, KeyWithoutANameShowsOnlyItsModifiers)
{
    EXPECT_EQ(L"Ctrl+", TextOf(VK_ESCAPE, 1, 0, 0));
}

TEST(HotkeyCodeTest, FieldsAreFiveDwordsInStoredOrder)
{
    CHotkeyCode code;
    EXPECT_EQ(5 * sizeof(DWORD), sizeof(code));
    EXPECT_EQ(0u, code.enabled + code.key + code.ctrl + code.shift + code.alt);
    EXPECT_EQ(offsetof(CHotkeyCode, key), sizeof(DWORD));
    EXPECT_EQ(offsetof(CHotkeyCode, alt), 4 * sizeof(DWORD));
}

// ---- which combinations may be a global hot key ----

CHotkeyCode Code(UINT key, DWORD ctrl, DWORD shift, DWORD alt)
{
    return CHotkeyCode{1, key, ctrl, shift, alt};
}

// Every key that types something, as the names show them.
const UINT kTypingKeys[] = {'A', 'Z', '0', '9', VK_NUMPAD0, VK_NUMPAD9, VK_MULTIPLY, VK_ADD,
                            VK_SEPARATOR, VK_SUBTRACT, VK_DECIMAL, VK_DIVIDE, VK_OEM_1,
                            VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD, VK_OEM_2,
                            VK_OEM_3, VK_OEM_4, VK_OEM_5, VK_OEM_6, VK_OEM_7, VK_OEM_102,
                            0x2C, 0x2F, 0x3B, 0x3D, 0x5B, 0x5C, 0x5D, VK_SPACE, VK_RETURN,
                            VK_TAB, VK_BACK, VK_ESCAPE};
const UINT kKeysThatTypeNothing[] = {VK_F1, VK_F12, VK_F24, VK_PAUSE, VK_PRIOR, VK_NEXT,
                                     VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN,
                                     VK_INSERT, VK_DELETE, VK_SCROLL};

TEST(HotkeyRuleTest, AKeyThatTypesIsRefusedAloneAndWithShiftOnly)
{
    for (UINT key : kTypingKeys) {
        EXPECT_TRUE(CHotkeyRule::TypesText(key)) << std::hex << key;
        EXPECT_FALSE(CHotkeyRule::IsAllowed(Code(key, 0, 0, 0))) << std::hex << key;
        EXPECT_FALSE(CHotkeyRule::IsAllowed(Code(key, 0, 1, 0))) << std::hex << key;
    }
}

TEST(HotkeyRuleTest, AKeyThatTypesIsTakenWithCtrlOrAlt)
{
    for (UINT key : kTypingKeys) {
        EXPECT_TRUE(CHotkeyRule::IsAllowed(Code(key, 1, 0, 0))) << std::hex << key;
        EXPECT_TRUE(CHotkeyRule::IsAllowed(Code(key, 0, 0, 1))) << std::hex << key;
        EXPECT_TRUE(CHotkeyRule::IsAllowed(Code(key, 1, 1, 1))) << std::hex << key;
    }
}

TEST(HotkeyRuleTest, FunctionAndCursorKeysMayStandAlone)
{
    for (UINT key : kKeysThatTypeNothing) {
        EXPECT_FALSE(CHotkeyRule::TypesText(key)) << std::hex << key;
        EXPECT_TRUE(CHotkeyRule::IsAllowed(Code(key, 0, 0, 0))) << std::hex << key;
        EXPECT_TRUE(CHotkeyRule::IsAllowed(Code(key, 0, 1, 0))) << std::hex << key;
    }
}

TEST(HotkeyRuleTest, NoKeyIsNoHotKeyAndAlwaysAllowed)
{
    EXPECT_TRUE(CHotkeyRule::IsAllowed(Code(0, 0, 0, 0)));
    EXPECT_TRUE(CHotkeyRule::IsAllowed(Code(0, 0, 1, 0)));
}

// The box lives in a real EDIT control inside a hidden top-level window. The
// keys "held" are set in this thread's keyboard state, which is what
// GetKeyState reads while the box handles a key.
class HotkeyEditCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(GetKeyboardState(m_savedKeys));
        for (int modifier : {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN})
            Hold(modifier, false);
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        top = CreateWindowExW(0, L"STATIC", L"QuillowHotkeyTest", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                              100, nullptr, nullptr, instance, nullptr);
        ASSERT_NE(nullptr, top);
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER, 10, 10, 200, 24, top,
                               nullptr, instance, nullptr);
        ASSERT_NE(nullptr, edit);
        ASSERT_TRUE(box.Subclass(edit));
    }

    void TearDown() override
    {
        DestroyWindow(top);
        SetKeyboardState(m_savedKeys);
    }

    static void Hold(int virtualKey, bool down)
    {
        BYTE keys[256];
        ASSERT_TRUE(GetKeyboardState(keys));
        keys[virtualKey] = down ? 0x80 : 0;
        ASSERT_TRUE(SetKeyboardState(keys));
        ASSERT_EQ(down, (GetKeyState(virtualKey) & 0x8000) != 0) << virtualKey;
    }

    static bool IsModifier(UINT virtualKey)
    {
        return virtualKey == VK_CONTROL || virtualKey == VK_SHIFT || virtualKey == VK_MENU;
    }

    // With Alt held, or for Alt itself, Windows sends the system key messages.
    static bool IsSystemKey(UINT virtualKey)
    {
        return virtualKey == VK_MENU || (GetKeyState(VK_MENU) & 0x8000) != 0;
    }

    LRESULT KeyDown(UINT virtualKey)
    {
        if (IsModifier(virtualKey))
            Hold(virtualKey, true);
        const UINT message = IsSystemKey(virtualKey) ? WM_SYSKEYDOWN : WM_KEYDOWN;
        return SendMessageW(edit, message, virtualKey, 1);
    }

    LRESULT KeyUp(UINT virtualKey)
    {
        const UINT message = IsSystemKey(virtualKey) ? WM_SYSKEYUP : WM_KEYUP;
        if (IsModifier(virtualKey))
            Hold(virtualKey, false);
        return SendMessageW(edit, message, virtualKey, 0xC0000001);
    }

    std::wstring Text() const
    {
        wchar_t text[64] = {};
        GetWindowTextW(edit, text, 64);
        return text;
    }

    void CaptureCtrlF2()
    {
        KeyDown(VK_CONTROL);
        KeyDown(VK_F2);
        KeyUp(VK_F2);
        KeyUp(VK_CONTROL);
        ASSERT_EQ(L"Ctrl+F2", Text());
    }

    HWND top = nullptr;
    HWND edit = nullptr;
    CHotkeyEditCtrl box;

private:
    BYTE m_savedKeys[256] = {};
};

TEST_F(HotkeyEditCtrlTest, SubclassFindsTheTopLevelOwnerAndAddsItsStyles)
{
    EXPECT_EQ(top, box.Owner());
    const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
    EXPECT_EQ(WS_VISIBLE | ES_AUTOHSCROLL, style & (WS_VISIBLE | ES_AUTOHSCROLL));
    EXPECT_FALSE(box.Captured());
    EXPECT_EQ(0u, box.Key());
    EXPECT_FALSE(box.Ctrl() || box.Shift() || box.Alt());
}

TEST_F(HotkeyEditCtrlTest, CtrlThenAltThenF2BuildTheTextStepByStep)
{
    KeyDown(VK_CONTROL);
    EXPECT_EQ(L"Ctrl+", Text());
    EXPECT_FALSE(box.Captured());
    KeyDown(VK_MENU);
    EXPECT_EQ(L"Ctrl+Alt+", Text());
    EXPECT_FALSE(box.Captured());
    KeyDown(VK_F2);
    EXPECT_EQ(L"Ctrl+Alt+F2", Text());
    EXPECT_TRUE(box.Captured());
}

TEST_F(HotkeyEditCtrlTest, ReleasingTheKeysKeepsTheCapturedCode)
{
    KeyDown(VK_CONTROL);
    KeyDown(VK_MENU);
    KeyDown(VK_F2);
    KeyUp(VK_F2);
    KeyUp(VK_MENU);
    KeyUp(VK_CONTROL);
    EXPECT_EQ(L"Ctrl+Alt+F2", Text());
    const CHotkeyCode code = box.ReadCode(1);
    EXPECT_EQ(1u, code.enabled);
    EXPECT_EQ(static_cast<DWORD>(VK_F2), code.key);
    EXPECT_EQ(1u, code.ctrl);
    EXPECT_EQ(0u, code.shift);
    EXPECT_EQ(1u, code.alt);
}

TEST_F(HotkeyEditCtrlTest, ShiftAltAndAReadAsAltShiftA)
{
    KeyDown(VK_SHIFT);
    EXPECT_EQ(L"Shift+", Text());
    KeyDown(VK_MENU);
    EXPECT_EQ(L"Alt+Shift+", Text());
    KeyDown('A');
    EXPECT_EQ(L"Alt+Shift+A", Text());
    EXPECT_TRUE(box.Shift() && box.Alt());
    EXPECT_FALSE(box.Ctrl());
    EXPECT_EQ(static_cast<UINT>('A'), box.Key());
}

TEST_F(HotkeyEditCtrlTest, KeyDownsAreConsumedAndTheCaretGoesToTheEnd)
{
    KeyDown(VK_CONTROL);
    EXPECT_EQ(0, KeyDown(VK_HOME));  // the edit would move the caret to the start
    DWORD start = 99;
    DWORD end = 99;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(L"Ctrl+HOME", Text());
    EXPECT_EQ(9u, start);
    EXPECT_EQ(9u, end);
}

TEST_F(HotkeyEditCtrlTest, ModifiersReleasedBeforeTheKeyAreNotPartOfIt)
{
    KeyDown(VK_CONTROL);
    KeyUp(VK_CONTROL);
    KeyDown(VK_F2);
    EXPECT_EQ(L"F2", Text());
    EXPECT_FALSE(box.Ctrl());
}

TEST_F(HotkeyEditCtrlTest, EscTabAndEnterEmptyTheBoxAndCaptureNothing)
{
    for (UINT unnamed : {VK_ESCAPE, VK_TAB, VK_RETURN}) {
        CaptureCtrlF2();
        KeyDown(unnamed);
        EXPECT_EQ(L"", Text()) << unnamed;
        EXPECT_FALSE(box.Captured()) << unnamed;
        EXPECT_EQ(0u, box.Key()) << unnamed;
        KeyUp(unnamed);
        EXPECT_EQ(L"", Text()) << unnamed;
        const CHotkeyCode code = box.ReadCode(1);
        EXPECT_EQ(0u, code.key + code.ctrl + code.shift + code.alt) << unnamed;
    }
}

TEST_F(HotkeyEditCtrlTest, CtrlAloneThenReleasedLeavesTheBoxEmpty)
{
    KeyDown(VK_CONTROL);
    EXPECT_EQ(L"Ctrl+", Text());
    KeyUp(VK_CONTROL);
    EXPECT_EQ(L"", Text());
    EXPECT_FALSE(box.Captured());
}

TEST_F(HotkeyEditCtrlTest, ModifierPressedAfterACaptureStartsOver)
{
    CaptureCtrlF2();
    KeyDown(VK_SHIFT);
    EXPECT_EQ(L"Shift+", Text());
    EXPECT_FALSE(box.Captured());
    const CHotkeyCode code = box.ReadCode(1);
    EXPECT_EQ(0u, code.key + code.ctrl + code.shift + code.alt);
}

TEST_F(HotkeyEditCtrlTest, BackspaceOrDeleteAloneEmptiesTheBox)
{
    for (UINT clearing : {VK_BACK, VK_DELETE}) {
        CaptureCtrlF2();
        KeyDown(clearing);
        EXPECT_EQ(L"", Text()) << clearing;
        EXPECT_FALSE(box.Captured()) << clearing;
        KeyUp(clearing);
        const CHotkeyCode code = box.ReadCode(1);
        EXPECT_EQ(0u, code.key + code.ctrl + code.shift + code.alt) << clearing;
    }
}

TEST_F(HotkeyEditCtrlTest, BackspaceAndDeleteWithAModifierAreKeysLikeAnyOther)
{
    KeyDown(VK_CONTROL);
    KeyDown(VK_BACK);
    EXPECT_EQ(L"Ctrl+BACK", Text());
    KeyUp(VK_BACK);
    KeyUp(VK_CONTROL);
    KeyDown(VK_SHIFT);
    KeyDown(VK_DELETE);
    EXPECT_EQ(L"Shift+DEL", Text());
    EXPECT_TRUE(box.Captured());
    EXPECT_EQ(static_cast<UINT>(VK_DELETE), box.Key());
}

TEST_F(HotkeyEditCtrlTest, TheWinKeyIsNotTakenAloneNorWithAKey)
{
    CaptureCtrlF2();
    KeyDown(VK_LWIN);
    EXPECT_EQ(L"", Text()) << "0x5B would otherwise read as [";
    EXPECT_FALSE(box.Captured());
    Hold(VK_LWIN, true);
    KeyDown(VK_F9);
    EXPECT_EQ(L"", Text());
    EXPECT_FALSE(box.Captured());
    Hold(VK_LWIN, false);
    Hold(VK_RWIN, true);
    KeyDown(VK_F9);
    EXPECT_EQ(L"", Text());
    Hold(VK_RWIN, false);
    KeyDown(VK_F9);
    EXPECT_EQ(L"F9", Text()) << "without Win the same key is taken";
}

TEST_F(HotkeyEditCtrlTest, CharactersAreNotTyped)
{
    EXPECT_EQ(0, SendMessageW(edit, WM_CHAR, 'a', 1));
    EXPECT_EQ(L"", Text());
    KeyDown('A');
    SendMessageW(edit, WM_CHAR, 'a', 1);
    SendMessageW(edit, WM_SYSCHAR, 'a', 1);
    EXPECT_EQ(L"A", Text());
}

TEST_F(HotkeyEditCtrlTest, KeypadDigitShowsItsDigitAndKeepsItsCode)
{
    KeyDown(VK_NUMPAD5);
    EXPECT_EQ(L"5", Text());
    EXPECT_EQ(0x65u, box.Key());
}

TEST_F(HotkeyEditCtrlTest, SetCodeShowsTheStoredCode)
{
    box.SetCode(1, VK_F5, 1, 1, 1);
    EXPECT_EQ(L"Ctrl+Alt+Shift+F5", Text());
    EXPECT_TRUE(box.Captured());
    EXPECT_EQ(static_cast<UINT>(VK_F5), box.Key());
    EXPECT_TRUE(box.Ctrl() && box.Shift() && box.Alt());
}

TEST_F(HotkeyEditCtrlTest, SetCodeWithAnUnnamedKeyShowsOnlyItsModifiers)
{
    box.SetCode(1, VK_ESCAPE, 1, 0, 0);
    EXPECT_EQ(L"Ctrl+", Text());
}

TEST_F(HotkeyEditCtrlTest, SetCodeWithoutAKeyShowsNothing)
{
    box.SetCode(1, VK_F5, 1, 0, 0);
    box.SetCode(0, 0, 1, 1, 1);
    EXPECT_EQ(L"", Text());
    const CHotkeyCode code = box.ReadCode(0);
    EXPECT_EQ(0u, code.enabled + code.key + code.ctrl + code.shift + code.alt);
}

TEST_F(HotkeyEditCtrlTest, DestroyingTheBoxFirstGivesTheEditBack)
{
    const HWND plain = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 10, 40, 200, 24, top, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, plain);
    {
        CHotkeyEditCtrl shortLived;
        ASSERT_TRUE(shortLived.Subclass(plain));
        SendMessageW(plain, WM_CHAR, 'a', 1);
    }
    SendMessageW(plain, WM_CHAR, 'b', 1);
    wchar_t text[8] = {};
    GetWindowTextW(plain, text, 8);
    EXPECT_STREQ(L"b", text);
}

}  // namespace
