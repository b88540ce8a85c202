#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/CSettingsRecord.h"
#include "res/resource.h"
#include "settings/CUnmatchablePassword.h"
#include "ui/CBasicSettingsDlg.h"

namespace {

// The page lives in a hidden top-level window, as it would in a frame that
// has not been shown yet.
class BasicSettingsDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                 531, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, parent);
    }

    void TearDown() override
    {
        if (page.IsCreated())
            page.DestroyWindow();
        if (parent)
            DestroyWindow(parent);
    }

    HWND Open(const CSettingsRecord& settings)
    {
        HWND window = page.CreatePage(parent, 1, settings);
        if (window)
            ShowWindow(window, SW_SHOWNA);
        return window;
    }

    HWND Item(int id) const { return GetDlgItem(page.m_hWnd, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(page.m_hWnd, id) == BST_CHECKED; }

    std::wstring Text(int id) const
    {
        wchar_t text[64] = L"";
        GetWindowTextW(Item(id), text, 64);
        return text;
    }

    void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }

    void Type(int id, wchar_t character, int times)
    {
        for (int i = 0; i < times; ++i)
            SendMessageW(Item(id), WM_CHAR, character, 0);
    }

    std::wstring TipOf(int id) const
    {
        wchar_t text[128] = L"";
        TTTOOLINFOW info{};
        info.cbSize = sizeof(info);
        info.hwnd = page.m_hWnd;
        info.uId = reinterpret_cast<UINT_PTR>(Item(id));
        info.lpszText = text;
        SendMessageW(page.ToolTip(), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
        return text;
    }

    static LONG FontHeight(HFONT font)
    {
        LOGFONTW description{};
        GetObjectW(font, sizeof(description), &description);
        return description.lfHeight;
    }

    LONG FontHeightOf(int id) const
    {
        return FontHeight(reinterpret_cast<HFONT>(SendMessageW(Item(id), WM_GETFONT, 0, 0)));
    }

    HWND parent = nullptr;
    CBasicSettingsDlg page;
};

// ---- filling from the settings ----

TEST_F(BasicSettingsDlgTest, FillsEveryCheckBoxFromItsOwnSetting)
{
    CSettingsRecord settings;
    settings.SW_WHEEL = 1;
    settings.SW_DOUBLE = 0;
    settings.SS_STARTUP = 0;
    settings.SS_TRAYICON = 1;
    settings.SS_UPDATE = 1;
    ASSERT_NE(nullptr, Open(settings));
    EXPECT_TRUE(Checked(IDC_SW_WHEEL));
    EXPECT_FALSE(Checked(IDC_SW_DOUBLE));
    EXPECT_FALSE(Checked(IDC_SS_STARTUP));
    EXPECT_TRUE(Checked(IDC_SS_TRAYICON));
    EXPECT_TRUE(Checked(IDC_SS_UPDATE));
    EXPECT_EQ(0u, page.IsChecked(IDC_SW_DOUBLE));
    EXPECT_EQ(1u, page.IsChecked(IDC_SS_UPDATE));
}

TEST_F(BasicSettingsDlgTest, PasswordKeptWhileItsFlagIsOffShowsGreyedInBothBoxes)
{
    CSettingsRecord settings;
    settings.PWD_VIRT_ENABLED = 0;
    settings.PWD_VIRT.Assign(L"secret");
    settings.PWD_ORIG_ENABLED = 1;
    settings.PWD_ORIG.Assign(L"back");
    ASSERT_NE(nullptr, Open(settings));

    EXPECT_FALSE(Checked(IDC_PWD_VIRT_ENABLED));
    EXPECT_EQ(L"secret", Text(IDC_PWD_VIRT));
    EXPECT_EQ(L"secret", Text(IDC_PWD_VIRT_CONFIRM));
    EXPECT_FALSE(Enabled(IDC_PWD_VIRT));
    EXPECT_FALSE(Enabled(IDC_PWD_VIRT_CONFIRM));

    EXPECT_TRUE(Checked(IDC_PWD_ORIG_ENABLED));
    EXPECT_EQ(L"back", Text(IDC_PWD_ORIG));
    EXPECT_EQ(L"back", Text(IDC_PWD_ORIG_CONFIRM));
    EXPECT_TRUE(Enabled(IDC_PWD_ORIG));
    EXPECT_TRUE(Enabled(IDC_PWD_ORIG_CONFIRM));
}

// A password that could not be read is set again here: the box stays
// ticked and the entries are empty, ready for a new one.
TEST_F(BasicSettingsDlgTest, UnreadablePasswordShowsTickedWithEmptyBoxes)
{
    CSettingsRecord settings;
    settings.PWD_VIRT_ENABLED = 1;
    settings.PWD_VIRT.Assign(CUnmatchablePassword::Text());
    ASSERT_NE(nullptr, Open(settings));
    EXPECT_TRUE(Checked(IDC_PWD_VIRT_ENABLED));
    EXPECT_EQ(L"", Text(IDC_PWD_VIRT));
    EXPECT_EQ(L"", Text(IDC_PWD_VIRT_CONFIRM));
    EXPECT_TRUE(Enabled(IDC_PWD_VIRT));

    page.ShowRestorePassword(1, CUnmatchablePassword::Text());
    EXPECT_TRUE(Checked(IDC_PWD_ORIG_ENABLED));
    EXPECT_EQ(L"", Text(IDC_PWD_ORIG));
    EXPECT_EQ(L"", Text(IDC_PWD_ORIG_CONFIRM));
}

// The setters take ctrl before shift; a swap would show and read back
// another hot key than the one in force.
TEST_F(BasicSettingsDlgTest, SwitchHotKeyOffWithAKeyShowsTheKeyGreyed)
{
    CSettingsRecord settings;
    settings.SW_HOTKEY_ENABLED = 0;
    settings.SW_HOTKEY = VK_F2;
    settings.SW_CTRL = 1;
    settings.SW_SHIFT = 0;
    settings.SW_ALT = 1;
    ASSERT_NE(nullptr, Open(settings));
    EXPECT_FALSE(Checked(IDC_SW_HOTKEY_ENABLED));
    EXPECT_EQ(L"Ctrl+Alt+F2", Text(IDC_SW_HOTKEY));
    EXPECT_FALSE(Enabled(IDC_SW_HOTKEY));

    const CHotkeyCode code = page.ReadHotKey(IDC_SW_HOTKEY, page.IsChecked(IDC_SW_HOTKEY_ENABLED));
    EXPECT_EQ(0u, code.enabled);
    EXPECT_EQ(static_cast<DWORD>(VK_F2), code.key);
    EXPECT_EQ(1u, code.ctrl);
    EXPECT_EQ(0u, code.shift);
    EXPECT_EQ(1u, code.alt);
}

TEST_F(BasicSettingsDlgTest, HotKeyWithoutAKeyShowsEmptyAndReadsAsNoKey)
{
    CSettingsRecord settings;
    settings.SS_HOTKEY_ENABLED = 1;
    settings.SS_HOTKEY = 0;
    settings.SS_SHIFT = 1;
    ASSERT_NE(nullptr, Open(settings));
    EXPECT_TRUE(Checked(IDC_SS_HOTKEY_ENABLED));
    EXPECT_TRUE(Enabled(IDC_SS_HOTKEY));
    EXPECT_EQ(L"", Text(IDC_SS_HOTKEY));
    const CHotkeyCode code = page.ReadHotKey(IDC_SS_HOTKEY, 1);
    EXPECT_EQ(1u, code.enabled);
    EXPECT_EQ(0u, code.key);
    EXPECT_EQ(0u, code.shift);
}

TEST_F(BasicSettingsDlgTest, LaterApplyKeepsTheControlsInStep)
{
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    page.ShowSettingsHotKey(1, 'K', 0, 1, 0);
    EXPECT_TRUE(Checked(IDC_SS_HOTKEY_ENABLED));
    EXPECT_TRUE(Enabled(IDC_SS_HOTKEY));
    EXPECT_EQ(L"Shift+K", Text(IDC_SS_HOTKEY));
    page.ShowSettingsHotKey(0, 0, 0, 0, 0);
    EXPECT_FALSE(Checked(IDC_SS_HOTKEY_ENABLED));
    EXPECT_FALSE(Enabled(IDC_SS_HOTKEY));
    EXPECT_EQ(L"", Text(IDC_SS_HOTKEY));
    EXPECT_EQ(0u, page.ReadHotKey(IDC_SS_HOTKEY, 0).key);

    page.ShowTrayIcon(1);
    EXPECT_TRUE(Checked(IDC_SS_TRAYICON));
    page.ShowTrayIcon(0);
    EXPECT_FALSE(Checked(IDC_SS_TRAYICON));
}

// ---- dependent controls ----

TEST_F(BasicSettingsDlgTest, UntickingSwitchPasswordGreysBothBoxesAndKeepsTheText)
{
    CSettingsRecord settings;
    settings.PWD_VIRT_ENABLED = 1;
    settings.PWD_VIRT.Assign(L"secret");
    ASSERT_NE(nullptr, Open(settings));
    ASSERT_TRUE(Enabled(IDC_PWD_VIRT));

    Click(IDC_PWD_VIRT_ENABLED);
    EXPECT_FALSE(Checked(IDC_PWD_VIRT_ENABLED));
    EXPECT_FALSE(Enabled(IDC_PWD_VIRT));
    EXPECT_FALSE(Enabled(IDC_PWD_VIRT_CONFIRM));
    EXPECT_EQ(L"secret", Text(IDC_PWD_VIRT));
    EXPECT_EQ(L"secret", Text(IDC_PWD_VIRT_CONFIRM));

    Click(IDC_PWD_VIRT_ENABLED);
    EXPECT_TRUE(Enabled(IDC_PWD_VIRT));
    EXPECT_TRUE(Enabled(IDC_PWD_VIRT_CONFIRM));
}

TEST_F(BasicSettingsDlgTest, EachFlagOpensOnlyItsOwnFields)
{
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    for (int field : {IDC_SW_HOTKEY, IDC_SS_HOTKEY, IDC_PWD_ORIG, IDC_PWD_ORIG_CONFIRM,
                      IDC_PWD_VIRT, IDC_PWD_VIRT_CONFIRM})
        EXPECT_FALSE(Enabled(field)) << field;

    Click(IDC_SW_HOTKEY_ENABLED);
    EXPECT_TRUE(Enabled(IDC_SW_HOTKEY));
    EXPECT_FALSE(Enabled(IDC_SS_HOTKEY));

    Click(IDC_SS_HOTKEY_ENABLED);
    EXPECT_TRUE(Enabled(IDC_SS_HOTKEY));

    Click(IDC_PWD_ORIG_ENABLED);
    EXPECT_TRUE(Enabled(IDC_PWD_ORIG));
    EXPECT_TRUE(Enabled(IDC_PWD_ORIG_CONFIRM));
    EXPECT_FALSE(Enabled(IDC_PWD_VIRT));

    // A box without fields changes nothing else.
    Click(IDC_SW_WHEEL);
    EXPECT_TRUE(Enabled(IDC_SW_HOTKEY));
    EXPECT_FALSE(Enabled(IDC_PWD_VIRT));
}

// ---- what the user set ----

TEST_F(BasicSettingsDlgTest, PasswordBoxesTakeNoSixteenthCharacter)
{
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    Click(IDC_PWD_VIRT_ENABLED);
    Click(IDC_PWD_ORIG_ENABLED);
    for (int box : {IDC_PWD_ORIG, IDC_PWD_ORIG_CONFIRM, IDC_PWD_VIRT, IDC_PWD_VIRT_CONFIRM}) {
        Type(box, L'a', 16);
        EXPECT_EQ(15, GetWindowTextLengthW(Item(box))) << box;
    }
}

// A text from outside bypasses the box's limit; the box still never holds
// more than it accepts, and the reader never more than the prompt reads.
TEST_F(BasicSettingsDlgTest, LongPasswordIsCutToTheBoxAndReadBackAsTheFirstFourteen)
{
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    page.ShowRestorePassword(1, L"abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(L"abcdefghijklmno", Text(IDC_PWD_ORIG));
    EXPECT_EQ(L"abcdefghijklmno", Text(IDC_PWD_ORIG_CONFIRM));
    wchar_t read[16];
    wmemset(read, L'#', 16);
    page.ReadPassword(IDC_PWD_ORIG, read);
    EXPECT_STREQ(L"abcdefghijklmn", read);
    page.ShowRestorePassword(0, nullptr);
    EXPECT_EQ(L"", Text(IDC_PWD_ORIG));
}

TEST_F(BasicSettingsDlgTest, GettersReturnWhatTheUserSet)
{
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    Click(IDC_SW_DOUBLE);
    Click(IDC_SS_STARTUP);
    Click(IDC_PWD_VIRT_ENABLED);
    Type(IDC_PWD_VIRT, L'x', 3);
    Type(IDC_PWD_VIRT_CONFIRM, L'y', 2);
    Click(IDC_SW_HOTKEY_ENABLED);
    SendMessageW(Item(IDC_SW_HOTKEY), WM_KEYDOWN, VK_F5, 0);
    SendMessageW(Item(IDC_SW_HOTKEY), WM_KEYUP, VK_F5, 0);

    EXPECT_EQ(0u, page.IsChecked(IDC_SW_WHEEL));
    EXPECT_EQ(1u, page.IsChecked(IDC_SW_DOUBLE));
    EXPECT_EQ(1u, page.IsChecked(IDC_SS_STARTUP));
    EXPECT_EQ(1u, page.IsChecked(IDC_PWD_VIRT_ENABLED));
    EXPECT_EQ(0u, page.IsChecked(IDC_PWD_ORIG_ENABLED));
    wchar_t entry[16] = L"", confirmation[16] = L"";
    page.ReadPassword(IDC_PWD_VIRT, entry);
    page.ReadPassword(IDC_PWD_VIRT_CONFIRM, confirmation);
    EXPECT_STREQ(L"xxx", entry);
    EXPECT_STREQ(L"yy", confirmation);
    const CHotkeyCode code = page.ReadHotKey(IDC_SW_HOTKEY, page.IsChecked(IDC_SW_HOTKEY_ENABLED));
    EXPECT_EQ(1u, code.enabled);
    EXPECT_EQ(static_cast<DWORD>(VK_F5), code.key);
    EXPECT_EQ(L"F5", Text(IDC_SW_HOTKEY));
    // The other box was never touched.
    EXPECT_EQ(0u, page.ReadHotKey(IDC_SS_HOTKEY, 1).key);
}

TEST_F(BasicSettingsDlgTest, PageNotYetCreatedReadsAsNothingSet)
{
    EXPECT_FALSE(page.IsCreated());
    EXPECT_EQ(0u, page.IsChecked(IDC_SW_WHEEL));
    EXPECT_EQ(0u, page.ReadHotKey(IDC_SW_HOTKEY, 1).key);
    wchar_t text[16];
    wmemset(text, L'#', 16);
    page.ReadPassword(IDC_PWD_VIRT, text);
    EXPECT_STREQ(L"", text);
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    EXPECT_TRUE(page.IsCreated());
}

// ---- looks and tips ----

TEST_F(BasicSettingsDlgTest, HoverTipOfShowTrayIcon)
{
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    ASSERT_NE(nullptr, page.ToolTip());
    EXPECT_EQ(L"Enabled to show Quillow icon in system tray.", TipOf(IDC_SS_TRAYICON));
    EXPECT_EQ(L"Re-enter password for switching to virtual desktop here.",
              TipOf(IDC_PWD_VIRT_CONFIRM));
    // Every check box and field has one; icons and titles have none.
    EXPECT_EQ(15, SendMessageW(page.ToolTip(), TTM_GETTOOLCOUNT, 0, 0));
}

// The page set-up hands every child the page font; titles and hot keys must
// still come out two units larger than it.
TEST_F(BasicSettingsDlgTest, TitlesAndHotKeysAreDrawnLargerThanThePage)
{
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    const LONG pageHeight = FontHeight(page.PageFont());
    ASSERT_NE(0, pageHeight);
    const LONG larger = pageHeight + (pageHeight < 0 ? -2 : 2);
    for (int id : {IDC_SECTION_TITLE, IDC_SYSTEM_TITLE, IDC_PASSWORD_TITLE, IDC_SW_HOTKEY,
                   IDC_SS_HOTKEY})
        EXPECT_EQ(larger, FontHeightOf(id)) << id;
    EXPECT_EQ(pageHeight, FontHeightOf(IDC_SW_WHEEL));
}

// The page font is wider than the template's: no text may be cut, and the
// system column must not run into the trigger column.
TEST_F(BasicSettingsDlgTest, TextsFitAndColumnsStayApartInThePageFont)
{
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    auto place = [&](int id) {
        RECT rect{};
        GetWindowRect(Item(id), &rect);
        MapWindowPoints(nullptr, page.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    HDC dc = GetDC(page.m_hWnd);
    for (int id : {IDC_SW_WHEEL, IDC_SW_DOUBLE, IDC_SW_HOTKEY_ENABLED, IDC_SS_HOTKEY_ENABLED,
                   IDC_PWD_ORIG_ENABLED, IDC_PWD_VIRT_ENABLED, IDC_SECTION_TITLE}) {
        wchar_t text[64] = L"";
        const int length = GetWindowTextW(Item(id), text, 64);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Item(id), WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text, length, &extent);
        SelectObject(dc, old);
        const RECT rect = place(id);
        EXPECT_GE(rect.right - rect.left, extent.cx) << id;
    }
    ReleaseDC(page.m_hWnd, dc);
    EXPECT_GT(place(IDC_SS_STARTUP).left, place(IDC_SW_DOUBLE).right);
    EXPECT_GT(place(IDC_SS_HOTKEY).left, place(IDC_SW_HOTKEY).right);
    EXPECT_GT(place(IDC_PWD_VIRT).left, place(IDC_PWD_VIRT_ENABLED).right);
    EXPECT_GT(place(IDC_PWD_VIRT_CONFIRM).left, place(IDC_PWD_VIRT).right);
    EXPECT_LE(place(IDC_SS_HOTKEY_ENABLED).right, 531);
}

TEST_F(BasicSettingsDlgTest, SectionIconsTakeTheirImagesSize)
{
    ASSERT_NE(nullptr, Open(CSettingsRecord()));
    for (int id : {IDC_SECTION_ICON, IDC_SYSTEM_ICON, IDC_PASSWORD_ICON}) {
        RECT client{};
        GetClientRect(Item(id), &client);
        EXPECT_EQ(24, client.right) << id;
        EXPECT_EQ(24, client.bottom) << id;
    }
}

}  // namespace
