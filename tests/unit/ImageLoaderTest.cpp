#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/themed/CImageLoader.h"

namespace {

// 2 x 1 RGBA: (200, 100, 50) at half alpha 128, then opaque green.
const unsigned char kTwoPixelPng[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0xf4,
    0x22, 0x7f, 0x8a, 0x00, 0x00, 0x00, 0x11, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0x38,
    0x91, 0x62, 0xd4, 0xc0, 0xf0, 0x9f, 0xe1, 0x3f, 0x00, 0x10, 0xad, 0x03, 0xdd, 0x8d, 0xd4,
    0x0e, 0xd9, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

struct Pixel {
    int blue, green, red, alpha;
};

// The bitmap's pixels, top row first, as AlphaBlend reads them.
std::vector<Pixel> PixelsOf(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    std::vector<DWORD> raw(static_cast<size_t>(width) * height);
    HDC dc = GetDC(nullptr);
    const int rows = GetDIBits(dc, bitmap, 0, height, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    std::vector<Pixel> pixels;
    if (rows != height)
        return pixels;
    for (DWORD value : raw)
        pixels.push_back(Pixel{static_cast<int>(value & 0xFF),
                               static_cast<int>((value >> 8) & 0xFF),
                               static_cast<int>((value >> 16) & 0xFF),
                               static_cast<int>(value >> 24)});
    return pixels;
}

BITMAP InfoOf(HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    return info;
}

class CTempPng {
public:
    CTempPng()
    {
        wchar_t directory[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, directory);
        wchar_t path[MAX_PATH] = L"";
        GetTempFileNameW(directory, L"qpn", 0, path);
        m_path = path;
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, kTwoPixelPng, sizeof(kTwoPixelPng), &written, nullptr);
        CloseHandle(file);
    }
    ~CTempPng() { DeleteFileW(m_path.c_str()); }
    const wchar_t* Path() const { return m_path.c_str(); }

private:
    std::wstring m_path;
};

TEST(ImageLoaderTest, PresentPngResourceBecomesA32BitBitmapOfItsSize)
{
    HBITMAP bitmap = CImageLoader::Load(MAKEINTRESOURCEW(IDB_FRAME_BACKGROUND), L"PNG");
    ASSERT_NE(nullptr, bitmap);
    const BITMAP info = InfoOf(bitmap);
    EXPECT_EQ(472, info.bmWidth);
    EXPECT_EQ(352, info.bmHeight);
    EXPECT_EQ(32, info.bmBitsPixel);
    DeleteObject(bitmap);
}

// The frame's background runs from near white at the top to light blue at
// the bottom, opaque throughout; a decoder that lost the rows' order or the
// alpha would show here, whatever the exact shades of the art.
TEST(ImageLoaderTest, PresentPngResourceKeepsItsGradientAndOpacity)
{
    HBITMAP bitmap = CImageLoader::Load(MAKEINTRESOURCEW(IDB_FRAME_BACKGROUND), L"PNG");
    ASSERT_NE(nullptr, bitmap);
    const std::vector<Pixel> pixels = PixelsOf(bitmap, 472, 352);
    ASSERT_EQ(472u * 352u, pixels.size());
    const Pixel& top = pixels[0];
    const Pixel& bottom = pixels[351u * 472u];
    EXPECT_EQ(255, top.alpha);
    EXPECT_EQ(255, bottom.alpha);
    EXPECT_GT(top.red, 240);
    EXPECT_GT(top.red + top.green, bottom.red + bottom.green);
    EXPECT_GE(bottom.blue, bottom.red);
    DeleteObject(bitmap);
}

TEST(ImageLoaderTest, LoadPngTakesTheSameResource)
{
    HBITMAP bitmap = CImageLoader::LoadPng(IDB_FRAME_BACKGROUND);
    ASSERT_NE(nullptr, bitmap);
    EXPECT_EQ(472, InfoOf(bitmap).bmWidth);
    DeleteObject(bitmap);
}

TEST(ImageLoaderTest, AbsentIdGivesNothing)
{
    EXPECT_EQ(nullptr, CImageLoader::Load(MAKEINTRESOURCEW(9999), L"PNG"));
    EXPECT_EQ(nullptr, CImageLoader::LoadPng(9999));
}

TEST(ImageLoaderTest, AbsentBitmapResourceGivesNothing)
{
    EXPECT_EQ(nullptr, CImageLoader::Load(MAKEINTRESOURCEW(9999), RT_BITMAP));
}

TEST(ImageLoaderTest, MissingFileGivesNothing)
{
    EXPECT_EQ(nullptr, CImageLoader::Load(L"C:\\no such folder\\none.png", nullptr));
}

TEST(ImageLoaderTest, FileIsDecodedWithItsSize)
{
    CTempPng png;
    HBITMAP bitmap = CImageLoader::Load(png.Path(), nullptr);
    ASSERT_NE(nullptr, bitmap);
    const BITMAP info = InfoOf(bitmap);
    EXPECT_EQ(2, info.bmWidth);
    EXPECT_EQ(1, info.bmHeight);
    EXPECT_EQ(32, info.bmBitsPixel);
    DeleteObject(bitmap);
}

// AlphaBlend with AC_SRC_ALPHA adds the source's colour channels as they
// are, so they must already be multiplied by the pixel's alpha.
TEST(ImageLoaderTest, HalfTransparentPixelComesPremultiplied)
{
    CTempPng png;
    HBITMAP bitmap = CImageLoader::Load(png.Path(), nullptr);
    ASSERT_NE(nullptr, bitmap);
    const std::vector<Pixel> pixels = PixelsOf(bitmap, 2, 1);
    ASSERT_EQ(2u, pixels.size());
    EXPECT_EQ(128, pixels[0].alpha);
    EXPECT_NEAR(100, pixels[0].red, 1);
    EXPECT_NEAR(50, pixels[0].green, 1);
    EXPECT_NEAR(25, pixels[0].blue, 1);
    EXPECT_EQ(255, pixels[1].alpha);
    EXPECT_EQ(255, pixels[1].green);
    EXPECT_EQ(0, pixels[1].red);
    DeleteObject(bitmap);
}

}  // namespace

// --- at another DPI -----------------------------------------------------------

SIZE SizeOf(HBITMAP bitmap)
{
    const BITMAP info = InfoOf(bitmap);
    return SIZE{info.bmWidth, info.bmHeight};
}

// The mean alpha of one column: a frame's edge against its neighbour's.
double ColumnAlpha(const std::vector<Pixel>& pixels, int width, int height, int x)
{
    double sum = 0;
    for (int y = 0; y < height; ++y)
        sum += pixels[static_cast<size_t>(y) * width + x].alpha;
    return sum / height;
}

TEST(ImageLoaderDpiTest, AtTheStandardDpiTheStoredImageComesAsItIs)
{
    HBITMAP bitmap = CImageLoader::LoadPng(IDB_TAB, CDpi(96), 5);
    ASSERT_NE(nullptr, bitmap);
    const SIZE size = SizeOf(bitmap);
    EXPECT_EQ(545, size.cx);
    EXPECT_EQ(28, size.cy);
    DeleteObject(bitmap);
}

TEST(ImageLoaderDpiTest, EachFrameIsItsStandardSizeScaledAndRoundedOnItsOwn)
{
    // Five frames of 109 x 28: 163.5 rounds to 164 a frame, not 817.5 for all.
    HBITMAP tabs = CImageLoader::LoadPng(IDB_TAB, CDpi(144), 5);
    ASSERT_NE(nullptr, tabs);
    EXPECT_EQ(5 * 164, SizeOf(tabs).cx);
    EXPECT_EQ(42, SizeOf(tabs).cy);
    DeleteObject(tabs);
    // 120 DPI draws from the standard art: four frames of 25 become 31.
    HBITMAP home = CImageLoader::LoadPng(IDB_NAV_HOME, CDpi(120), 4);
    ASSERT_NE(nullptr, home);
    EXPECT_EQ(4 * 31, SizeOf(home).cx);
    EXPECT_EQ(31, SizeOf(home).cy);
    DeleteObject(home);
}

TEST(ImageLoaderDpiTest, FramesThatDoNotDivideTheImageAreRefused)
{
    EXPECT_EQ(nullptr, CImageLoader::LoadPng(IDB_TAB, CDpi(144), 4));
    EXPECT_EQ(nullptr, CImageLoader::LoadPng(IDB_TAB, CDpi(120), 0));
}

TEST(ImageLoaderDpiTest, ScaledArtKeepsItsTransparencyAndStaysInsideItsFrames)
{
    // A navigation button: a round disc in each frame, transparent corners.
    HBITMAP bitmap = CImageLoader::LoadPng(IDB_NAV_HOME, CDpi(144), 4);
    ASSERT_NE(nullptr, bitmap);
    const SIZE size = SizeOf(bitmap);
    const std::vector<Pixel> pixels = PixelsOf(bitmap, size.cx, size.cy);
    ASSERT_EQ(static_cast<size_t>(size.cx) * size.cy, pixels.size());
    const int frame = size.cx / 4;
    EXPECT_EQ(0, pixels[0].alpha) << "a corner";
    EXPECT_GT(pixels[static_cast<size_t>(size.cy / 2) * size.cx + frame / 2].alpha, 200)
        << "the disc's middle";
    for (int seam = frame; seam < size.cx; seam += frame) {
        EXPECT_LT(ColumnAlpha(pixels, size.cx, size.cy, seam - 1), 128) << "left of seam " << seam;
        EXPECT_LT(ColumnAlpha(pixels, size.cx, size.cy, seam), 128) << "right of seam " << seam;
    }
    for (const Pixel& p : pixels) {
        ASSERT_LE(p.red, p.alpha);  // pre-multiplied, as AlphaBlend wants
        ASSERT_LE(p.green, p.alpha);
        ASSERT_LE(p.blue, p.alpha);
    }
    DeleteObject(bitmap);
}
