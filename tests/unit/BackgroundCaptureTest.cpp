#include <gtest/gtest.h>

#include <windows.h>

#include "CBackgroundSourceWindow.h"
#include "CPixelCanvas.h"
#include "ui/themed/CBackgroundCapture.h"

namespace {

constexpr int kControlX = 37;
constexpr int kControlY = 23;
constexpr int kControlWidth = 50;
constexpr int kControlHeight = 30;

HWND MakeControl(HWND parent, int x, int y)
{
    return CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, x, y, kControlWidth,
                           kControlHeight, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void FillWithBrush(CPixelCanvas& canvas, HBRUSH brush)
{
    HGDIOBJ old = SelectObject(canvas.Dc(), brush);
    PatBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), PATCOPY);
    SelectObject(canvas.Dc(), old);
}

// How many pixels of the canvas differ from the source's pattern at the
// given offset.
int MismatchesAgainstPattern(const CPixelCanvas& canvas, int offsetX, int offsetY)
{
    int mismatches = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            mismatches += canvas.At(x, y) !=
                          CBackgroundSourceWindow::PatternAt(offsetX + x, offsetY + y);
    return mismatches;
}

TEST(BackgroundCaptureTest, BrushReproducesTheSourceBehindTheControl)
{
    CBackgroundSourceWindow source;
    source.SetPattern();
    ASSERT_NE(nullptr, source.CreateShown(300, 200));
    HWND control = MakeControl(source, kControlX, kControlY);
    ASSERT_NE(nullptr, control);

    HBRUSH brush = CBackgroundCapture::Capture(control, source);
    ASSERT_NE(nullptr, brush);
    CPixelCanvas canvas(kControlWidth, kControlHeight);
    FillWithBrush(canvas, brush);
    EXPECT_EQ(0, MismatchesAgainstPattern(canvas, kControlX, kControlY));
    DeleteObject(brush);
}

TEST(BackgroundCaptureTest, ControlInsideAnIntermediateParentIsMappedToTheSource)
{
    CBackgroundSourceWindow source;
    source.SetPattern();
    ASSERT_NE(nullptr, source.CreateShown(300, 200));
    HWND page = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 40, 30, 200, 120,
                                source, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND control = MakeControl(page, 11, 7);
    ASSERT_NE(nullptr, control);

    HBRUSH brush = CBackgroundCapture::Capture(control, source);
    ASSERT_NE(nullptr, brush);
    CPixelCanvas canvas(kControlWidth, kControlHeight);
    FillWithBrush(canvas, brush);
    EXPECT_EQ(0, MismatchesAgainstPattern(canvas, 40 + 11, 30 + 7));
    DeleteObject(brush);
}

TEST(BackgroundCaptureTest, DestroyedSourceGivesNoBrush)
{
    CBackgroundSourceWindow source;
    ASSERT_NE(nullptr, source.CreateShown(300, 200));
    HWND control = MakeControl(source, kControlX, kControlY);
    CBackgroundSourceWindow gone;
    HWND goneWindow = gone.CreateShown(100, 100);
    gone.DestroyWindow();
    EXPECT_EQ(nullptr, CBackgroundCapture::Capture(control, goneWindow));
    EXPECT_EQ(nullptr, CBackgroundCapture::Capture(nullptr, source));
}

TEST(BackgroundCaptureTest, ControlOfNoSizeGivesNoBrush)
{
    CBackgroundSourceWindow source;
    ASSERT_NE(nullptr, source.CreateShown(300, 200));
    HWND control = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 10, 0, 0,
                                   source, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, control);
    EXPECT_EQ(nullptr, CBackgroundCapture::Capture(control, source));
}

}  // namespace
