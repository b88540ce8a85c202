#include <gtest/gtest.h>

#include "win/CDpi.h"

namespace {

TEST(DpiTest, ScalesAndRoundsHalvesAwayFromZero)
{
    const CDpi high(144);
    EXPECT_EQ(38, high.Scale(25));    // 37.5
    EXPECT_EQ(-21, high.Scale(-14));  // a font height
    EXPECT_EQ(0, high.Scale(0));
    EXPECT_EQ(31, CDpi(120).Scale(25));  // 31.25
    EXPECT_EQ(52, CDpi().Scale(52));
    const RECT borders = high.Scale(RECT{14, 6, 14, 6});
    EXPECT_EQ(21, borders.left);
    EXPECT_EQ(9, borders.top);
}

TEST(DpiTest, NoDpiIsTheStandardOneAndDoubleArtStartsAt144)
{
    EXPECT_EQ(96u, CDpi(0).Value());
    EXPECT_TRUE(CDpi(0).IsStandard());
    EXPECT_FALSE(CDpi(143).PrefersDoubleArt());
    EXPECT_TRUE(CDpi(144).PrefersDoubleArt());
    EXPECT_TRUE(CDpi(192).PrefersDoubleArt());
}

TEST(DpiTest, BringsASizeMeasuredAtOneDpiToAnother)
{
    EXPECT_EQ(24, CDpi(144).From(16, CDpi(96)));
    EXPECT_EQ(16, CDpi(96).From(24, CDpi(144)));
    EXPECT_EQ(30, CDpi(120).From(30, CDpi(120)));
}

TEST(DpiTest, AWindowHasADpiAndNoWindowTheSystems)
{
    EXPECT_EQ(CDpi::OfSystem().Value(), CDpi::OfWindow(nullptr).Value());
    EXPECT_GE(CDpi::OfSystem().Value(), 96u);
}

}  // namespace
