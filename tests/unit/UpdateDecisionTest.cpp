#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "update/CUpdateDecision.h"
#include "update/CUpdatePrompt.h"

namespace {

// Own revision 10, as the product's; every test in a scratch key of its own.
class UpdateDecisionTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str()); }

    std::wstring ReadText(const wchar_t* name)
    {
        wchar_t text[512] = L"";
        DWORD bytes = sizeof(text);
        if (RegGetValueW(HKEY_CURRENT_USER, scratch.c_str(), name, RRF_RT_REG_SZ, nullptr, text,
                         &bytes) != ERROR_SUCCESS)
            return L"(missing)";
        return text;
    }

    DWORD ReadDword(const wchar_t* name)
    {
        DWORD value = 0xdeadbeef;
        DWORD bytes = sizeof(value);
        RegGetValueW(HKEY_CURRENT_USER, scratch.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value,
                     &bytes);
        return value;
    }

    void WriteDword(const wchar_t* name, DWORD value)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, scratch.c_str(), name, REG_DWORD, &value,
                        sizeof(value));
    }

    bool Announced() { return ReadDword(L"UPDATE_REVISION") != 0xdeadbeef; }

    const std::wstring scratch =
        L"Software\\QuillowTest-Decision-" + std::to_wstring(GetCurrentProcessId());
    CUpdateDecision decision{scratch.c_str(), 10};
};

TEST_F(UpdateDecisionTest, RevisionWindowAroundOwnRevisionTen)
{
    EXPECT_TRUE(CUpdateDecision::IsDue(10, 11, 10)) << "11 with minimum 10 is announced";
    EXPECT_FALSE(CUpdateDecision::IsDue(10, 11, 11)) << "minimum 11 bars revision 10";
    EXPECT_FALSE(CUpdateDecision::IsDue(10, 10, 0)) << "our own revision is not newer";
    EXPECT_FALSE(CUpdateDecision::IsDue(10, 0, 0x9999)) << "the defaults never announce";
    EXPECT_TRUE(CUpdateDecision::IsDue(10, 0xFFFFFFFF, 0)) << "compared unsigned";
}

TEST_F(UpdateDecisionTest, DueAnnouncementWritesTheFourValues)
{
    EXPECT_TRUE(decision.Decide("4.2.0.11", "http://www.orvane.com/download/", 11, 10));
    EXPECT_EQ(L"4.2.0.11", ReadText(L"UPDATE_VERSION"));
    EXPECT_EQ(L"http://www.orvane.com/download/", ReadText(L"UPDATE_URL"));
    EXPECT_EQ(11u, ReadDword(L"UPDATE_REVISION"));
    EXPECT_EQ(0u, ReadDword(L"UPDATE_SHOWED"));
}

TEST_F(UpdateDecisionTest, AnnouncementOutsideTheWindowWritesNothing)
{
    EXPECT_FALSE(decision.Decide("4.2.0.11", "http://a.example/", 11, 11));
    EXPECT_FALSE(decision.Decide("4.1.0.10", "http://a.example/", 10, 10));
    EXPECT_FALSE(Announced());
    EXPECT_EQ(L"(missing)", ReadText(L"UPDATE_VERSION"));
}

TEST_F(UpdateDecisionTest, StoredRevisionIsNotStoredAgainSoShownStaysShown)
{
    ASSERT_TRUE(decision.Decide("4.2.0.11", "http://a.example/", 11, 10));
    WriteDword(L"UPDATE_SHOWED", 1);
    EXPECT_FALSE(decision.Decide("4.2.0.11", "http://b.example/", 11, 10));
    EXPECT_EQ(1u, ReadDword(L"UPDATE_SHOWED"));
    EXPECT_EQ(L"http://a.example/", ReadText(L"UPDATE_URL"));
}

TEST_F(UpdateDecisionTest, NewerRevisionThanTheStoredOneIsOfferedAfresh)
{
    ASSERT_TRUE(decision.Decide("4.2.0.11", "http://a.example/", 11, 10));
    WriteDword(L"UPDATE_SHOWED", 1);
    EXPECT_TRUE(decision.Decide("4.3.0.12", "http://b.example/", 12, 10));
    EXPECT_EQ(0u, ReadDword(L"UPDATE_SHOWED"));
    EXPECT_EQ(L"4.3.0.12", ReadText(L"UPDATE_VERSION"));
    EXPECT_EQ(12u, ReadDword(L"UPDATE_REVISION"));
}

TEST_F(UpdateDecisionTest, OlderRevisionThanTheStoredOneIsIgnored)
{
    WriteDword(L"UPDATE_REVISION", 30);
    EXPECT_FALSE(decision.Decide("4.2.0.11", "http://a.example/", 11, 10));
    EXPECT_EQ(30u, ReadDword(L"UPDATE_REVISION"));
}

TEST_F(UpdateDecisionTest, TwentyCharacterVersionIsStoredButNeverOffered)
{
    const char version[] = "12345678901234567890";
    ASSERT_TRUE(decision.Decide(version, "http://a.example/", 11, 10));
    EXPECT_EQ(L"12345678901234567890", ReadText(L"UPDATE_VERSION"));

    int boxes = 0;
    CUpdatePrompt prompt(scratch.c_str(),
                         [&](HWND, const wchar_t*, const wchar_t*, UINT) { return ++boxes, IDNO; },
                         [](const wchar_t*) {});
    prompt.Run(nullptr);
    EXPECT_EQ(0, boxes);
    EXPECT_EQ(0u, ReadDword(L"UPDATE_SHOWED"));
}

TEST_F(UpdateDecisionTest, ConversionCutsToTheBufferAndNeverSplitsASurrogatePair)
{
    wchar_t out[4];
    CUpdateDecision::ConvertCut("abcdef", out, 4);
    EXPECT_STREQ(L"abc", out);
    // "ab" then U+1F600, a surrogate pair that does not fit whole.
    CUpdateDecision::ConvertCut("ab\xF0\x9F\x98\x80", out, 4);
    EXPECT_STREQ(L"ab", out);
    CUpdateDecision::ConvertCut("", out, 4);
    EXPECT_STREQ(L"", out);
}

}  // namespace
