#include <gtest/gtest.h>

#include <windows.h>

#include "ui/themed/CNineGrid.h"

namespace {

using Piece = CNineGrid::Piece;

enum { kTopLeft, kTop, kTopRight, kLeft, kCentre, kRight, kBottomLeft, kBottom, kBottomRight };

void ExpectDestination(const Piece& piece, int x, int y, int width, int height)
{
    EXPECT_EQ(x, piece.x);
    EXPECT_EQ(y, piece.y);
    EXPECT_EQ(width, piece.width);
    EXPECT_EQ(height, piece.height);
}

void ExpectSource(const Piece& piece, int x, int y, int width, int height)
{
    EXPECT_EQ(x, piece.srcX);
    EXPECT_EQ(y, piece.srcY);
    EXPECT_EQ(width, piece.srcWidth);
    EXPECT_EQ(height, piece.srcHeight);
}

// A 202 x 36 button frame at x 808 of its strip, drawn into a 120 x 50
// button at (10, 20), with borders of different widths on each side.
const RECT kDest{10, 20, 130, 70};
const RECT kSource{808, 0, 1010, 36};
const RECT kBorders{8, 6, 10, 4};

TEST(NineGridTest, CornersKeepTheirSizeAndSitInTheCorners)
{
    const auto pieces = CNineGrid::Pieces(kDest, kSource, kBorders);
    ExpectDestination(pieces[kTopLeft], 10, 20, 8, 6);
    ExpectSource(pieces[kTopLeft], 808, 0, 8, 6);
    ExpectDestination(pieces[kTopRight], 120, 20, 10, 6);
    ExpectSource(pieces[kTopRight], 1000, 0, 10, 6);
    ExpectDestination(pieces[kBottomLeft], 10, 66, 8, 4);
    ExpectSource(pieces[kBottomLeft], 808, 32, 8, 4);
    ExpectDestination(pieces[kBottomRight], 120, 66, 10, 4);
    ExpectSource(pieces[kBottomRight], 1000, 32, 10, 4);
}

TEST(NineGridTest, EdgesStretchAlongTheirLengthOnly)
{
    const auto pieces = CNineGrid::Pieces(kDest, kSource, kBorders);
    ExpectDestination(pieces[kTop], 18, 20, 102, 6);
    ExpectSource(pieces[kTop], 816, 0, 184, 6);
    ExpectDestination(pieces[kBottom], 18, 66, 102, 4);
    ExpectSource(pieces[kBottom], 816, 32, 184, 4);
    ExpectDestination(pieces[kLeft], 10, 26, 8, 40);
    ExpectSource(pieces[kLeft], 808, 6, 8, 26);
    ExpectDestination(pieces[kRight], 120, 26, 10, 40);
    ExpectSource(pieces[kRight], 1000, 6, 10, 26);
}

TEST(NineGridTest, CentreStretchesBothWays)
{
    const auto pieces = CNineGrid::Pieces(kDest, kSource, kBorders);
    ExpectDestination(pieces[kCentre], 18, 26, 102, 40);
    ExpectSource(pieces[kCentre], 816, 6, 184, 26);
}

TEST(NineGridTest, PiecesTileTheDestinationWithoutGapsOrOverlaps)
{
    const auto pieces = CNineGrid::Pieces(kDest, kSource, kBorders);
    long area = 0;
    for (const Piece& piece : pieces)
        area += static_cast<long>(piece.width) * piece.height;
    EXPECT_EQ(120L * 50L, area);
}

TEST(NineGridTest, ZeroBordersLeaveTheirRowsAndColumnsEmpty)
{
    const RECT onlyLeftAndRight{4, 0, 4, 0};
    const auto pieces = CNineGrid::Pieces(kDest, kSource, onlyLeftAndRight);
    for (int index : {kTopLeft, kTop, kTopRight, kBottomLeft, kBottom, kBottomRight})
        EXPECT_EQ(0, pieces[index].height) << "piece " << index;
    ExpectDestination(pieces[kLeft], 10, 20, 4, 50);
    ExpectDestination(pieces[kCentre], 14, 20, 112, 50);
    ExpectSource(pieces[kCentre], 812, 0, 194, 36);
    ExpectDestination(pieces[kRight], 126, 20, 4, 50);
}

TEST(NineGridTest, DestinationNarrowerThanItsBordersGetsNoMiddleAndNoNegativeSize)
{
    const RECT narrow{0, 0, 12, 50};
    const auto pieces = CNineGrid::Pieces(narrow, kSource, kBorders);
    for (const Piece& piece : pieces) {
        EXPECT_GE(piece.width, 0);
        EXPECT_GE(piece.height, 0);
        EXPECT_GE(piece.srcWidth, 0);
        EXPECT_GE(piece.srcHeight, 0);
    }
    EXPECT_EQ(0, pieces[kTop].width);
    EXPECT_EQ(0, pieces[kCentre].width);
    // The corners keep their size and stay anchored to their own side.
    ExpectDestination(pieces[kTopLeft], 0, 0, 8, 6);
    ExpectDestination(pieces[kTopRight], 2, 0, 10, 6);
}

TEST(NineGridTest, DrawCoversTheWholeDestinationWhenRowsAreEmpty)
{
    // A 3 x 3 source of opaque white blended into a black canvas, with side
    // borders only: the three pieces of the middle row cover every pixel.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, -3, 1, 32, BI_RGB};
    HDC sourceDc = CreateCompatibleDC(nullptr);
    DWORD* bits = nullptr;
    HBITMAP source =
        CreateDIBSection(sourceDc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    ASSERT_NE(nullptr, source);
    for (int i = 0; i < 9; ++i)
        bits[i] = 0xFFFFFFFF;
    HGDIOBJ oldSource = SelectObject(sourceDc, source);

    HDC canvasDc = CreateCompatibleDC(nullptr);
    DWORD* canvasBits = nullptr;
    BITMAPINFO canvasInfo{};
    canvasInfo.bmiHeader = {sizeof(BITMAPINFOHEADER), 20, -10, 1, 32, BI_RGB};
    HBITMAP canvas = CreateDIBSection(canvasDc, &canvasInfo, DIB_RGB_COLORS,
                                      reinterpret_cast<void**>(&canvasBits), nullptr, 0);
    ASSERT_NE(nullptr, canvas);
    HGDIOBJ oldCanvas = SelectObject(canvasDc, canvas);

    CNineGrid::Draw(canvasDc, RECT{0, 0, 20, 10}, sourceDc, RECT{0, 0, 3, 3}, 255,
                    RECT{1, 0, 1, 0});
    GdiFlush();
    int white = 0;
    for (int i = 0; i < 200; ++i)
        white += (canvasBits[i] & 0xFFFFFF) == 0xFFFFFF;
    EXPECT_EQ(200, white);

    SelectObject(canvasDc, oldCanvas);
    DeleteObject(canvas);
    DeleteDC(canvasDc);
    SelectObject(sourceDc, oldSource);
    DeleteObject(source);
    DeleteDC(sourceDc);
}

}  // namespace
