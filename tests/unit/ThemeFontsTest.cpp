#include <gtest/gtest.h>

#include <windows.h>

#include "ui/themed/CThemeFonts.h"

namespace {

LOGFONTW LogFontOf(HGDIOBJ font)
{
    LOGFONTW result{};
    GetObjectW(font, sizeof(result), &result);
    return result;
}

TEST(ThemeFontsTest, EnlargeMovesACharacterHeightFurtherBelowZero)
{
    LOGFONTW font{};
    font.lfHeight = -11;
    CThemeFonts::Enlarge(font);
    EXPECT_EQ(-13, font.lfHeight);
}

TEST(ThemeFontsTest, EnlargeMovesACellHeightFurtherAboveZero)
{
    LOGFONTW font{};
    font.lfHeight = 16;
    CThemeFonts::Enlarge(font);
    EXPECT_EQ(18, font.lfHeight);
}

// Zero asks for the default size; enlarged it becomes a character height.
TEST(ThemeFontsTest, EnlargeTurnsTheDefaultHeightIntoACharacterHeight)
{
    LOGFONTW font{};
    CThemeFonts::Enlarge(font);
    EXPECT_EQ(-2, font.lfHeight);
}

TEST(ThemeFontsTest, SystemAcceptsTheMetricsSizeItIsAskedWith)
{
    const NONCLIENTMETRICSW metrics = CThemeFonts::ReadNonClientMetrics();
    EXPECT_NE(0u, metrics.cbSize);
    EXPECT_NE(L'\0', metrics.lfMessageFont.lfFaceName[0]);
}

TEST(ThemeFontsTest, EnlargedNothingIsTheEnlargedDefaultGuiFont)
{
    LOGFONTW expected = LogFontOf(GetStockObject(DEFAULT_GUI_FONT));
    CThemeFonts::Enlarge(expected);
    HFONT font = CThemeFonts::CreateEnlarged(nullptr);
    ASSERT_NE(nullptr, font);
    const LOGFONTW made = LogFontOf(font);
    EXPECT_EQ(expected.lfHeight, made.lfHeight);
    EXPECT_STREQ(expected.lfFaceName, made.lfFaceName);
    DeleteObject(font);
}

TEST(ThemeFontsTest, PageFontIsTheMessageFontAtFourteenPixels)
{
    const NONCLIENTMETRICSW metrics = CThemeFonts::ReadNonClientMetrics();
    HFONT font = CThemeFonts::CreatePageFont();
    ASSERT_NE(nullptr, font);
    const LOGFONTW made = LogFontOf(font);
    EXPECT_EQ(-14, made.lfHeight);
    EXPECT_STREQ(metrics.lfMessageFont.lfFaceName, made.lfFaceName);
    DeleteObject(font);
}

TEST(ThemeFontsTest, EnlargedMenuFontIsTwoUnitsLargerThanTheMenuFont)
{
    LOGFONTW expected = CThemeFonts::ReadNonClientMetrics().lfMenuFont;
    CThemeFonts::Enlarge(expected);
    HFONT font = CThemeFonts::CreateEnlargedMenuFont();
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(expected.lfHeight, LogFontOf(font).lfHeight);
    DeleteObject(font);
}

}  // namespace
