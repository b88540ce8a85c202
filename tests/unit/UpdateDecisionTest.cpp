#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ScratchRegistryKey.h"
#include "update/CUpdateDecision.h"
#include "update/CUpdatePrompt.h"
#include "update/CUpdateReply.h"

namespace {

// Own revision 10, as the product's; every test in a scratch key of its own.
class UpdateDecisionTest : public ::testing::Test {
protected:
    bool Announced()
    {
        return scratch.ReadDword(L"UPDATE_REVISION") != CScratchRegistryKey::kMissingDword;
    }

    // Declared first: the decision is made with its path.
    const CScratchRegistryKey scratch{L"Decision"};
    CUpdateDecision decision{scratch.Path().c_str(), 10};
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
    EXPECT_EQ(L"4.2.0.11", scratch.ReadText(L"UPDATE_VERSION"));
    EXPECT_EQ(L"http://www.orvane.com/download/", scratch.ReadText(L"UPDATE_URL"));
    EXPECT_EQ(11u, scratch.ReadDword(L"UPDATE_REVISION"));
    EXPECT_EQ(0u, scratch.ReadDword(L"UPDATE_SHOWED"));
}

TEST_F(UpdateDecisionTest, AnnouncementOutsideTheWindowWritesNothing)
{
    EXPECT_FALSE(decision.Decide("4.2.0.11", "http://a.example/", 11, 11));
    EXPECT_FALSE(decision.Decide("4.1.0.10", "http://a.example/", 10, 10));
    EXPECT_FALSE(Announced());
    EXPECT_EQ(L"(missing)", scratch.ReadText(L"UPDATE_VERSION"));
}

TEST_F(UpdateDecisionTest, AnnouncementWithoutAPlainWebAddressIsNotStored)
{
    // The prompt would refuse each of these, but their revision would still
    // keep the genuine update out.
    for (const char* address : {"file:///C:/windows/system32/calc.exe", "javascript:alert(1)",
                                "http://a.example/\" --load-extension=x", "C:\\evil.exe", "",
                                "http://"}) {
        EXPECT_FALSE(decision.Decide("4.2.0.11", address, 11, 10)) << address;
    }
    EXPECT_FALSE(Announced());
    EXPECT_EQ(L"(missing)", scratch.ReadText(L"UPDATE_URL"));
}

TEST_F(UpdateDecisionTest, AnnouncementWithoutAVersionIsNotStored)
{
    EXPECT_FALSE(decision.Decide("", "http://a.example/", 11, 10));
    EXPECT_FALSE(Announced());
}

TEST_F(UpdateDecisionTest, RecordPinnedByAnAbsurdRevisionGivesWayToAGenuineOne)
{
    scratch.PutDword(L"UPDATE_REVISION", 0xFFFFFFFF);
    EXPECT_TRUE(decision.Decide("4.2.0.11", "http://a.example/", 11, 10));
    EXPECT_EQ(11u, scratch.ReadDword(L"UPDATE_REVISION"));
}

TEST_F(UpdateDecisionTest, StoredRevisionIsNotStoredAgainSoShownStaysShown)
{
    ASSERT_TRUE(decision.Decide("4.2.0.11", "http://a.example/", 11, 10));
    scratch.PutDword(L"UPDATE_SHOWED", 1);
    EXPECT_FALSE(decision.Decide("4.2.0.11", "http://b.example/", 11, 10));
    EXPECT_EQ(1u, scratch.ReadDword(L"UPDATE_SHOWED"));
    EXPECT_EQ(L"http://a.example/", scratch.ReadText(L"UPDATE_URL"));
}

TEST_F(UpdateDecisionTest, NewerRevisionThanTheStoredOneIsOfferedAfresh)
{
    ASSERT_TRUE(decision.Decide("4.2.0.11", "http://a.example/", 11, 10));
    scratch.PutDword(L"UPDATE_SHOWED", 1);
    EXPECT_TRUE(decision.Decide("4.3.0.12", "http://b.example/", 12, 10));
    EXPECT_EQ(0u, scratch.ReadDword(L"UPDATE_SHOWED"));
    EXPECT_EQ(L"4.3.0.12", scratch.ReadText(L"UPDATE_VERSION"));
    EXPECT_EQ(12u, scratch.ReadDword(L"UPDATE_REVISION"));
}

TEST_F(UpdateDecisionTest, OlderRevisionThanTheStoredOneIsIgnored)
{
    scratch.PutDword(L"UPDATE_REVISION", 30);
    EXPECT_FALSE(decision.Decide("4.2.0.11", "http://a.example/", 11, 10));
    EXPECT_EQ(30u, scratch.ReadDword(L"UPDATE_REVISION"));
}

TEST_F(UpdateDecisionTest, TwentyCharacterVersionIsStoredButNeverOffered)
{
    const char version[] = "12345678901234567890";
    ASSERT_TRUE(decision.Decide(version, "http://a.example/", 11, 10));
    EXPECT_EQ(L"12345678901234567890", scratch.ReadText(L"UPDATE_VERSION"));

    int boxes = 0;
    CUpdatePrompt prompt(scratch.Path().c_str(),
                         [&](HWND, const wchar_t*, const wchar_t*, UINT) { return ++boxes, IDNO; },
                         [](const wchar_t*) {});
    prompt.Run(nullptr);
    EXPECT_EQ(0, boxes);
    EXPECT_EQ(0u, scratch.ReadDword(L"UPDATE_SHOWED"));
}

TEST_F(UpdateDecisionTest, ConversionCutsToTheBufferAndNeverSplitsASurrogatePair)
{
    wchar_t out[4];
    CUpdateReply::ConvertCut("abcdef", out, 4);
    EXPECT_STREQ(L"abc", out);
    // "ab" then U+1F600, a surrogate pair that does not fit whole.
    CUpdateReply::ConvertCut("ab\xF0\x9F\x98\x80", out, 4);
    EXPECT_STREQ(L"ab", out);
    CUpdateReply::ConvertCut("", out, 4);
    EXPECT_STREQ(L"", out);
}

}  // namespace
