#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ScratchRegistryKey.h"
#include "update/CUpdatePrompt.h"
#include "update/CWebAddress.h"

namespace {

// The message box and the browser are stand-ins: the box answers as told
// and both record what they were given.
class UpdatePromptTest : public ::testing::Test {
protected:
    struct Box {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        UINT flags;
    };

    void Announce(const std::wstring& version, const std::wstring& address, DWORD shown = 0)
    {
        scratch.PutText(L"UPDATE_VERSION", version);
        scratch.PutText(L"UPDATE_URL", address);
        scratch.PutDword(L"UPDATE_SHOWED", shown);
    }

    DWORD Shown() { return scratch.ReadDword(L"UPDATE_SHOWED"); }

    void Run(HWND owner = nullptr)
    {
        CUpdatePrompt prompt(
            scratch.Path().c_str(),
            [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
                boxes.push_back({owner, text, caption, flags});
                return answer;
            },
            [this](const wchar_t* address) { opened.push_back(address); });
        prompt.Run(owner);
    }

    const CScratchRegistryKey scratch{L"Prompt"};
    int answer = IDNO;
    std::vector<Box> boxes;
    std::vector<std::wstring> opened;
};

TEST_F(UpdatePromptTest, AnnouncementIsOfferedWithItsTextCaptionAndButtons)
{
    Announce(L"4.2.0.11", L"http://www.orvane.com/download/");
    const HWND owner = reinterpret_cast<HWND>(0x1234);
    Run(owner);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(owner, boxes[0].owner);
    EXPECT_EQ(L"A new version of Quillow, Quillow 4.2.0.11, is available. Would you like to "
              L"download and upgrade now?",
              boxes[0].text);
    EXPECT_EQ(L"New Quillow version available", boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONINFORMATION | MB_YESNO), boxes[0].flags);
    EXPECT_EQ(0x44u, boxes[0].flags);
}

TEST_F(UpdatePromptTest, NoMarksTheAnnouncementShownAndOpensNothing)
{
    Announce(L"4.2.0.11", L"http://www.orvane.com/download/");
    answer = IDNO;
    Run();
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(1u, Shown());
}

TEST_F(UpdatePromptTest, YesOpensTheAddressAndMarksItShown)
{
    Announce(L"4.2.0.11", L"http://www.orvane.com/download/");
    answer = IDYES;
    Run();
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(L"http://www.orvane.com/download/", opened[0]);
    EXPECT_EQ(1u, Shown());
}

TEST_F(UpdatePromptTest, ShownAnnouncementIsNotOfferedAgain)
{
    Announce(L"4.2.0.11", L"http://www.orvane.com/download/");
    Run();
    Run();
    EXPECT_EQ(1u, boxes.size());
}

// The hot key arriving while the question is open runs the prompt again
// from inside the message box's modal loop.
TEST_F(UpdatePromptTest, RequestWhileTheQuestionIsOpenOffersNothingMore)
{
    Announce(L"4.2.0.11", L"http://www.orvane.com/download/");
    answer = IDYES;
    CUpdatePrompt* running = nullptr;
    CUpdatePrompt prompt(
        scratch.Path().c_str(),
        [&](HWND owner, const wchar_t* text, const wchar_t* caption, UINT flags) {
            boxes.push_back({owner, text, caption, flags});
            running->Run(owner);
            return answer;
        },
        [this](const wchar_t* address) { opened.push_back(address); });
    running = &prompt;
    prompt.Run(nullptr);
    EXPECT_EQ(1u, boxes.size());
    EXPECT_EQ(1u, opened.size());
    EXPECT_EQ(1u, Shown());
}

TEST_F(UpdatePromptTest, NoRecordOffersNothing)
{
    Run();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0xdeadbeefu, Shown()) << "nothing is written either";
}

TEST_F(UpdatePromptTest, AddressOfMoreThan259CharactersIsNeverOffered)
{
    Announce(L"4.2.0.11", L"http://" + std::wstring(253, L'a'));
    Run();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0u, Shown());
}

TEST_F(UpdatePromptTest, AddressOf259CharactersIsOffered)
{
    Announce(L"4.2.0.11", L"http://" + std::wstring(252, L'a'));
    answer = IDYES;
    Run();
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(259u, opened[0].size());
}

TEST_F(UpdatePromptTest, NonWebAddressIsNeverOpenedNorOffered)
{
    answer = IDYES;
    for (const wchar_t* address :
         {L"C:\\Windows\\system32\\calc.exe", L"file:///C:/Windows/notepad.exe",
          L"\\\\server\\share\\setup.exe", L"ms-settings:", L"javascript:alert(1)",
          L"httpx://a.example/", L"http:/a.example/", L"http://", L"ftp://a.example/"}) {
        Announce(L"4.2.0.11", address);
        Run();
        EXPECT_EQ(0u, Shown()) << address;
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(UpdatePromptTest, WebAddressSchemeMatchesInAnyLetterCase)
{
    answer = IDYES;
    Announce(L"4.2.0.11", L"HTTPS://Www.Orvane.com/download/");
    Run();
    Announce(L"4.2.0.11", L"hTtP://www.orvane.com/");
    Run();
    EXPECT_EQ((std::vector<std::wstring>{L"HTTPS://Www.Orvane.com/download/",
                                         L"hTtP://www.orvane.com/"}),
              opened);
}

TEST_F(UpdatePromptTest, WebAddressWithBlanksOrQuotesIsRefused)
{
    EXPECT_FALSE(CWebAddress::IsPlain(L"http://a.example/\" --load-extension=x"));
    EXPECT_FALSE(CWebAddress::IsPlain(L"http://a.example/ x"));
    EXPECT_FALSE(CWebAddress::IsPlain(L"http://a.example/\tx"));
    EXPECT_FALSE(CWebAddress::IsPlain(nullptr));
    EXPECT_TRUE(CWebAddress::IsPlain(L"https://a.example/dl?v=4.2%200"));
}

TEST_F(UpdatePromptTest, TextIsCutToItsBufferNotWrittenPastIt)
{
    wchar_t text[24];
    wmemset(text, L'#', 24);
    CUpdatePrompt::FormText(L"4.2.0.11", text, 20);
    EXPECT_EQ(std::wstring(L"A new version of Qu"), text);
    EXPECT_EQ(L'#', text[20]);
}

}  // namespace
