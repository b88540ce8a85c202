#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"

namespace {

// The tray icon's menu as the resource script defines it: what the user
// sees, and the commands the frame handles. "Switch Desktop" came first
// later; the other items keep their ids and their order.
TEST(TrayMenuTest, HoldsTheSixItemsWithTheirCommandsInOrder)
{
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_NE(nullptr, menu);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);

    std::vector<std::wstring> items;
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        wchar_t text[64] = L"";
        GetMenuStringW(popup, i, text, 64, MF_BYPOSITION);
        const UINT id = GetMenuItemID(popup, i);
        items.push_back(id == 0 ? L"-" : std::wstring(text) + L" " + std::to_wstring(id));
    }
    DestroyMenu(menu);

    EXPECT_EQ((std::vector<std::wstring>{L"Switch Desktop 32793", L"Preferences 32776",
                                         L"Help Central 32777", L"-",
                                         L"Orvane on the Web 32778", L"More Products 32779",
                                         L"-", L"Exit 32780"}),
              items);
}

TEST(TrayMenuTest, FrameTitleIsTheFullProductName)
{
    wchar_t title[64] = L"";
    ASSERT_GT(LoadStringW(GetModuleHandleW(nullptr), IDR_MAINFRAME, title, 64), 0);
    EXPECT_STREQ(L"Orvane Quillow Veil Key", title);
}

}  // namespace
