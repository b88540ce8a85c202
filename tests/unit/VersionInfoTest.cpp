#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/CMyAppModule.h"
#include "QuillowVersion.h"

namespace {

// The version resource of a file that ships beside the tests, as Explorer
// and "Apps & features" read it.
class ShippedVersion {
public:
    explicit ShippedVersion(const wchar_t* fileName)
    {
        wchar_t path[MAX_PATH]{};
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder(path, length);
        folder.resize(folder.find_last_of(L'\\') + 1);
        m_path = folder + fileName;
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(m_path.c_str(), &ignored);
        m_data.resize(size);
        if (size && !GetFileVersionInfoW(m_path.c_str(), 0, size, m_data.data()))
            m_data.clear();
    }

    bool Present() const { return !m_data.empty(); }

    const VS_FIXEDFILEINFO* Fixed() const
    {
        void* info = nullptr;
        UINT length = 0;
        if (!Present() || !VerQueryValueW(m_data.data(), L"\\", &info, &length) ||
            length < sizeof(VS_FIXEDFILEINFO))
            return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(info);
    }

    std::wstring Text(const wchar_t* name) const
    {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
        void* text = nullptr;
        UINT length = 0;
        if (!Present() || !VerQueryValueW(m_data.data(), key.c_str(), &text, &length) || !length)
            return L"";
        return static_cast<const wchar_t*>(text);
    }

private:
    std::wstring m_path;
    std::vector<BYTE> m_data;
};

std::wstring Widened(const char* utf8)
{
    wchar_t wide[128]{};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 127);
    return wide;
}

struct Shipped {
    const wchar_t* fileName;
    const wchar_t* internalName;
    DWORD fileType;
};

class VersionInfoTest : public ::testing::TestWithParam<Shipped> {};

TEST_P(VersionInfoTest, CarriesTheProgramsVersionMakerAndCopyright)
{
    const Shipped& file = GetParam();
    const ShippedVersion version(file.fileName);
    ASSERT_TRUE(version.Present()) << "no version resource";
    const VS_FIXEDFILEINFO* fixed = version.Fixed();
    ASSERT_NE(nullptr, fixed);
    EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
    EXPECT_EQ(file.fileType, fixed->dwFileType);
    // The numbers Explorer compares when a newer copy is installed over an
    // older one, and the text it shows, must say what the About page says.
    wchar_t numbers[32]{};
    wsprintfW(numbers, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
              LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
              LOWORD(fixed->dwFileVersionLS));
    EXPECT_STREQ(g_module.m_version, numbers);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    EXPECT_EQ(g_module.m_version, version.Text(L"FileVersion"));
    EXPECT_EQ(g_module.m_version, version.Text(L"ProductVersion"));
    EXPECT_EQ(L"Orvane", version.Text(L"CompanyName"));
    EXPECT_EQ(L"Orvane Quillow Veil Key", version.Text(L"ProductName"));
    EXPECT_EQ(L"Copyright \u00a9 2026 Orvane Software.", version.Text(L"LegalCopyright"));
    EXPECT_EQ(file.fileName, version.Text(L"OriginalFilename"));
    EXPECT_EQ(file.internalName, version.Text(L"InternalName"));
}

INSTANTIATE_TEST_SUITE_P(ShippedFiles, VersionInfoTest,
                         ::testing::Values(Shipped{L"Quillow.exe", L"Quillow", VFT_APP},
                                           Shipped{L"HookLib.dll", L"HookLib", VFT_DLL},
                                           Shipped{L"QuillowWatch.exe", L"QuillowWatch", VFT_APP}));

// The task manager and the firewall show a file's description; each file
// says what it is, and none is mistaken for another.
TEST(VersionInfoDescriptionTest, EachFileDescribesItselfDifferently)
{
    const std::wstring program = ShippedVersion(L"Quillow.exe").Text(L"FileDescription");
    const std::wstring hooks = ShippedVersion(L"HookLib.dll").Text(L"FileDescription");
    const std::wstring watchdog = ShippedVersion(L"QuillowWatch.exe").Text(L"FileDescription");
    EXPECT_EQ(Widened(QUILLOW_PRODUCT), program);
    EXPECT_FALSE(hooks.empty());
    EXPECT_FALSE(watchdog.empty());
    EXPECT_NE(program, hooks);
    EXPECT_NE(hooks, watchdog);
    EXPECT_NE(program, watchdog);
}

}  // namespace
