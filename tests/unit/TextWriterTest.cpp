#include <gtest/gtest.h>

#include <cwchar>

#include "base/CTextWriter.h"

TEST(TextWriterTest, JoinsTextsLettersAndNumbersInOrder)
{
    wchar_t out[40];
    CTextWriter writer(out, 40);
    writer.Text(L"AC_PROCESS").Number(0).Letter(L'/').Number(18446744073709551615ull);
    EXPECT_STREQ(L"AC_PROCESS0/18446744073709551615", out);
    EXPECT_TRUE(writer.Whole());
    EXPECT_EQ(wcslen(out), writer.Length());
}

TEST(TextWriterTest, ExactFitIsWholeAndOneMoreIsCutButStaysTerminated)
{
    wchar_t out[6];
    EXPECT_TRUE(CTextWriter(out, 6).Text(L"abcde").Whole());
    EXPECT_STREQ(L"abcde", out);

    wchar_t guarded[8];
    wmemset(guarded, L'#', 8);
    CTextWriter writer(guarded, 6);
    writer.Text(L"abc").Number(123);
    EXPECT_FALSE(writer.Whole());
    EXPECT_STREQ(L"abc12", guarded);
    EXPECT_EQ(L'#', guarded[6]) << "nothing written past the capacity";
}

TEST(TextWriterTest, OnceCutNothingShorterIsAppendedAfterTheCut)
{
    // A path cut in the middle must not go on with the next piece: "C:\lon" +
    // "\x" would name some other file.
    char out[8];
    CTextWriterA writer(out, 8);
    writer.Text("C:\\longer").Text("\\x");
    EXPECT_FALSE(writer.Whole());
    EXPECT_STREQ("C:\\long", out);
}

TEST(TextWriterTest, NoRoomAtAllIsACutAndNullTextsAreEmpty)
{
    wchar_t out[1] = {L'#'};
    EXPECT_FALSE(CTextWriter(out, 0).Text(L"a").Whole());
    EXPECT_EQ(L'#', out[0]);
    EXPECT_TRUE(CTextWriter(out, 1).Text(nullptr).Whole());
    EXPECT_EQ(L'\0', out[0]);
}
