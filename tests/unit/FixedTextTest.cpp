#include <gtest/gtest.h>

#include <string>

#include "base/CFixedText.h"
#include "base/CSnapshot.h"

namespace {

TEST(FixedTextTest, LongTextIsCutToTheBufferAndStaysTerminated)
{
    const std::wstring longRoot(80, L'x');
    CFixedText<50> field(longRoot.c_str());
    EXPECT_EQ(49u, field.length());
    EXPECT_EQ(std::wstring(49, L'x'), field.c_str());
}

TEST(FixedTextTest, TextThatFitsIsKeptWhole)
{
    CFixedText<16> password(L"fourteen chars");
    EXPECT_TRUE(password == L"fourteen chars");
    CFixedText<16> exact(L"fifteen chars!!");
    EXPECT_EQ(15u, exact.length());
}

TEST(FixedTextTest, NullAndEmptyGiveAnEmptyText)
{
    CFixedText<16> text(L"old");
    text.Assign(nullptr);
    EXPECT_TRUE(text.empty());
    text.Assign(L"");
    EXPECT_TRUE(text.empty());
}

TEST(SnapshotTest, ReaderKeepsItsValueWhileTheWriterReplacesIt)
{
    CSnapshot<CFixedText<16>> password;
    password.Set(CFixedText<16>(L"first"));
    auto held = password.Get();
    password.Set(CFixedText<16>(L"second"));
    EXPECT_TRUE(*held == L"first");
    EXPECT_TRUE(*password.Get() == L"second");
}

}  // namespace
