#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "base/CPatternMatcher.h"

namespace {

// Every test runs the real PCRE underneath; nothing here is mocked.
class PatternMatcherTest : public ::testing::Test {
protected:
    CPatternMatcher matcher;
};

// --- 8-bit texts ------------------------------------------------------------

TEST_F(PatternMatcherTest, OneGroupGivesTheGroup)
{
    char out[64];
    EXPECT_EQ(2u,
              matcher.Match("name=Quillow\nrevision=10\n", "revision=(\\d+)", out, sizeof(out)));
    EXPECT_STREQ("10", out);
}

TEST_F(PatternMatcherTest, SeveralGroupsGiveTheLastOneThatTookPart)
{
    char out[64];
    EXPECT_EQ(4u, matcher.Match("key:veil=open", "(\\w+):(\\w+)=(\\w+)", out, sizeof(out)));
    EXPECT_STREQ("open", out);
    // An optional last group that matched nothing is not counted: the
    // group before it is the last.
    EXPECT_EQ(4u, matcher.Match("key:veil", "(\\w+):(\\w+)(=\\w+)?", out, sizeof(out)));
    EXPECT_STREQ("veil", out);
}

TEST_F(PatternMatcherTest, WithoutAGroupTheWholeMatchIsGiven)
{
    char out[64];
    // A group that captures nothing is no group.
    EXPECT_EQ(8u, matcher.Match("see 4.1.0.10 now", "\\d+(?:\\.\\d+)+", out, sizeof(out)));
    EXPECT_STREQ("4.1.0.10", out);
}

TEST_F(PatternMatcherTest, NoMatchGivesZeroAndEmptiesTheOutput)
{
    char out[16] = "old";
    EXPECT_EQ(0u, matcher.Match("nothing here", "revision=(\\d+)", out, sizeof(out)));
    EXPECT_STREQ("", out);
    strcpy(out, "old");
    EXPECT_EQ(0u, matcher.Match("", "x", out, sizeof(out)));
    EXPECT_STREQ("", out);
}

TEST_F(PatternMatcherTest, PatternThatDoesNotCompileGivesZeroAndEmptiesTheOutput)
{
    char out[16] = "old";
    EXPECT_EQ(0u, matcher.Match("(open", "(open", out, sizeof(out)));
    EXPECT_STREQ("", out);
    strcpy(out, "old");
    EXPECT_EQ(0u, matcher.Match("a[b", "a[b", out, sizeof(out)));
    EXPECT_STREQ("", out);
}

TEST_F(PatternMatcherTest, MissingSubjectOrPatternGivesZero)
{
    char out[16] = "old";
    EXPECT_EQ(0u, matcher.Match(nullptr, "x", out, sizeof(out)));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0u, matcher.Match("x", nullptr, out, sizeof(out)));
}

TEST_F(PatternMatcherTest, MatchingIgnoresCase)
{
    char out[16];
    EXPECT_EQ(1u, matcher.Match("REVISION=7", "revision=(\\d)", out, sizeof(out)));
    EXPECT_STREQ("7", out);
}

TEST_F(PatternMatcherTest, LineAnchorsMatchAtEveryLine)
{
    char out[16];
    // ^ and $ stand for each line's start and end, not only the text's.
    EXPECT_EQ(2u, matcher.Match("host=x\nrev=12\nend", "^rev=(\\d+)$", out, sizeof(out)));
    EXPECT_STREQ("12", out);
}

TEST_F(PatternMatcherTest, ExtractLongerThanTheMatchersBufferIsCutTo263Bytes)
{
    const std::string subject = "<" + std::string(400, 'q') + ">";
    char out[1024];
    memset(out, '#', sizeof(out));
    EXPECT_EQ(CPatternMatcher::kTextCapacity - 1, matcher.Match(subject.c_str(), "<(q+)>", out,
                                                                sizeof(out)));
    EXPECT_EQ(std::string(CPatternMatcher::kTextCapacity - 1, 'q'), out);
    EXPECT_EQ('#', out[CPatternMatcher::kTextCapacity]);
}

TEST_F(PatternMatcherTest, ExtractLongerThanTheCallersBufferIsCutAndTerminated)
{
    const std::string subject = "<" + std::string(300, 'q') + ">";
    char out[16];
    memset(out, '#', sizeof(out));
    EXPECT_EQ(7u, matcher.Match(subject.c_str(), "<(q+)>", out, 8));
    EXPECT_STREQ("qqqqqqq", out);
    EXPECT_EQ('#', out[8]) << "written past the capacity given";
}

// --- wide texts ---------------------------------------------------------------

TEST_F(PatternMatcherTest, WideTextGivesTheLastGroup)
{
    wchar_t out[64];
    EXPECT_EQ(10u, matcher.MatchWide(L"\"%SystemRoot%\\notepad.exe\" \"%1\"", L"%([^%]+?)%", out,
                                     64));
    EXPECT_STREQ(L"SystemRoot", out);
}

TEST_F(PatternMatcherTest, WideNoMatchOrBadPatternGivesZeroAndEmptiesTheOutput)
{
    wchar_t out[16] = L"old";
    EXPECT_EQ(0u, matcher.MatchWide(L"no reference", L"%([^%]+?)%", out, 16));
    EXPECT_STREQ(L"", out);
    wcscpy(out, L"old");
    EXPECT_EQ(0u, matcher.MatchWide(L"(x", L"(x", out, 16));
    EXPECT_STREQ(L"", out);
    wcscpy(out, L"old");
    EXPECT_EQ(0u, matcher.MatchWide(L"x", L"", out, 16));
    EXPECT_STREQ(L"", out);
}

TEST_F(PatternMatcherTest, WideNonAsciiExtractComesBackWholeWithItsUtf8Length)
{
    wchar_t out[64];
    // Ü, ö and ß take two bytes each in UTF-8, the hiragana three, the
    // musical symbol (a surrogate pair) four.
    EXPECT_EQ(12u, matcher.MatchWide(L"Größe=Übergröße;", L"=([^;]+);", out, 64));
    EXPECT_STREQ(L"Übergröße", out);
    EXPECT_EQ(10u, matcher.MatchWide(L"<あい\U0001D11E>", L"<(.+)>", out, 64));
    EXPECT_STREQ(L"あい\U0001D11E", out);
}

TEST_F(PatternMatcherTest, WideExtractLongerThanTheCallersBufferIsCutAndTerminated)
{
    const std::wstring subject = L"<" + std::wstring(300, L'q') + L">";
    wchar_t out[16];
    wmemset(out, L'#', 16);
    EXPECT_EQ(7u, matcher.MatchWide(subject.c_str(), L"<(q+)>", out, 8));
    EXPECT_STREQ(L"qqqqqqq", out);
    EXPECT_EQ(L'#', out[8]) << "written past the capacity given";
}

TEST_F(PatternMatcherTest, WideOverLongExtractIsCutOnAWholeCharacter)
{
    // 200 two-byte characters are 400 bytes; 263 of them end in the middle
    // of the 132nd character, which must go rather than come back garbled.
    const std::wstring subject = L"<" + std::wstring(200, L'é') + L">";
    wchar_t out[512];
    EXPECT_EQ(262u, matcher.MatchWide(subject.c_str(), L"<(.+)>", out, 512));
    EXPECT_EQ(std::wstring(131, L'é'), out);
}

TEST_F(PatternMatcherTest, WideCutNeverPartsASurrogatePair)
{
    wchar_t out[4];
    wmemset(out, L'#', 4);
    // Room for two units: "a" and the first half of the pair would not do.
    EXPECT_EQ(1u, matcher.MatchWide(L"<a\U0001D11Eb>", L"<(.+)>", out, 3));
    EXPECT_STREQ(L"a", out);
}

}  // namespace
