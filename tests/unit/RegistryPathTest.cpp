#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/CRegistryPath.h"
#include "ScratchRegistryKey.h"

namespace {

// Every test works in its own key below HKCU\Software, removed afterwards, so
// runs in parallel or after a crash never see each other's values.
class RegistryPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr,
                                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                                 &key, nullptr));
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, path.SetPath(scratch.c_str()));
    }

    void TearDown() override
    {
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str()));
    }

    // Stores raw data the way another program (or a damaged profile) might.
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExW(HKEY_CURRENT_USER, scratch.c_str(), 0, KEY_SET_VALUE, &key));
        EXPECT_EQ(ERROR_SUCCESS,
                  RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), bytes));
        RegCloseKey(key);
    }

    void SetString(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ)
    {
        SetRaw(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    DWORD StoredBytes(const wchar_t* name)
    {
        DWORD bytes = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, scratch.c_str(), name,
                                              RRF_RT_ANY | RRF_NOEXPAND, nullptr, nullptr,
                                              &bytes));
        return bytes;
    }

    const CScratchRegistryKey scratchKey{L"Path"};
    const std::wstring& scratch = scratchKey.Path();
    CRegistryPath path;
};

TEST_F(RegistryPathTest, DwordWrittenIsReadBack)
{
    EXPECT_EQ(ERROR_SUCCESS, path.WriteDword(L"Number", 0x12345678));
    DWORD value = 0;
    EXPECT_EQ(ERROR_SUCCESS, path.ReadDword(L"Number", &value));
    EXPECT_EQ(0x12345678u, value);
}

TEST_F(RegistryPathTest, StringWrittenIsReadBackWithItsLength)
{
    EXPECT_EQ(ERROR_SUCCESS, path.WriteString(L"Text", L"veil"));
    wchar_t buffer[32];
    DWORD capacity = 32;
    EXPECT_EQ(ERROR_SUCCESS, path.ReadString(L"Text", buffer, &capacity));
    EXPECT_STREQ(L"veil", buffer);
    EXPECT_EQ(5u, capacity);
}

TEST_F(RegistryPathTest, StringIsStoredAsRegSzWithItsTerminator)
{
    EXPECT_EQ(ERROR_SUCCESS, path.WriteString(L"Text", L"veil"));
    DWORD type = 0;
    DWORD bytes = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, scratch.c_str(), L"Text",
                                          RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &bytes));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(10u, bytes);
}

TEST_F(RegistryPathTest, NullTextIsInvalidDataAndWritesNothing)
{
    EXPECT_EQ(ERROR_INVALID_DATA, path.WriteString(L"Text", nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegGetValueW(HKEY_CURRENT_USER, scratch.c_str(), L"Text", RRF_RT_ANY, nullptr,
                           nullptr, nullptr));
}

TEST_F(RegistryPathTest, MissingValueIsNotFoundAndLeavesTheOutputAlone)
{
    DWORD value = 77;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, path.ReadDword(L"Missing", &value));
    EXPECT_EQ(77u, value);
    wchar_t buffer[8] = L"old";
    DWORD capacity = 8;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, path.ReadString(L"Missing", buffer, &capacity));
    EXPECT_STREQ(L"", buffer);
}

TEST_F(RegistryPathTest, StringReadAsDwordIsInvalidDataAndLeavesTheOutputAlone)
{
    SetString(L"Short", L"x");  // four bytes, exactly a DWORD's size
    SetString(L"Long", L"not a number");
    DWORD value = 77;
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadDword(L"Short", &value));
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadDword(L"Long", &value));
    EXPECT_EQ(77u, value);
}

TEST_F(RegistryPathTest, DwordOfTheWrongSizeIsInvalidData)
{
    const BYTE two[2] = {1, 2};
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    SetRaw(L"Two", REG_DWORD, two, sizeof(two));
    SetRaw(L"Eight", REG_BINARY, eight, sizeof(eight));
    DWORD value = 77;
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadDword(L"Two", &value));
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadDword(L"Eight", &value));
    EXPECT_EQ(77u, value);
}

TEST_F(RegistryPathTest, DwordReadAsStringIsInvalidDataAndLeavesAnEmptyString)
{
    EXPECT_EQ(ERROR_SUCCESS, path.WriteDword(L"Number", 0x00410041));  // "AA" if taken as text
    wchar_t buffer[8] = L"old";
    DWORD capacity = 8;
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadString(L"Number", buffer, &capacity));
    EXPECT_STREQ(L"", buffer);
    EXPECT_EQ(8u, capacity);
}

TEST_F(RegistryPathTest, BinaryReadAsStringIsInvalidDataWhateverItsLength)
{
    const wchar_t text[] = L"looks like text";
    SetRaw(L"Small", REG_BINARY, text, 4 * sizeof(wchar_t));
    SetRaw(L"Large", REG_BINARY, text, sizeof(text));
    wchar_t buffer[8];
    DWORD capacity = 8;
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadString(L"Small", buffer, &capacity));
    EXPECT_STREQ(L"", buffer);
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadString(L"Large", buffer, &capacity));
    EXPECT_STREQ(L"", buffer);
}

TEST_F(RegistryPathTest, OddByteLengthIsInvalidData)
{
    const BYTE data[8] = {'a', 0, 'b', 0, 0, 'x', 'y', 'z'};
    SetRaw(L"Odd", REG_SZ, data, 5);
    ASSERT_EQ(5u, StoredBytes(L"Odd"));
    wchar_t buffer[8];
    DWORD capacity = 8;
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadString(L"Odd", buffer, &capacity));
    EXPECT_STREQ(L"", buffer);
}

TEST_F(RegistryPathTest, StringWithoutTerminatorIsInvalidData)
{
    // RegSetValueExW adds the terminator a caller forgot when the next
    // character in memory is a zero; "abcd" makes sure none follows "abc".
    SetRaw(L"Open", REG_SZ, L"abcd", 3 * sizeof(wchar_t));
    ASSERT_EQ(6u, StoredBytes(L"Open"));
    wchar_t roomy[8];
    DWORD capacity = 8;
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadString(L"Open", roomy, &capacity));
    EXPECT_STREQ(L"", roomy);
    wchar_t exact[3];
    capacity = 3;
    EXPECT_EQ(ERROR_INVALID_DATA, path.ReadString(L"Open", exact, &capacity));
    EXPECT_EQ(L'\0', exact[0]);
}

TEST_F(RegistryPathTest, StringLongerThanTheBufferIsMoreDataAndNothingIsWrittenPastIt)
{
    SetString(L"Fifteen", L"fifteen chars!!");
    wchar_t buffer[20];
    wmemset(buffer, L'#', 20);
    DWORD capacity = 15;
    EXPECT_EQ(ERROR_MORE_DATA, path.ReadString(L"Fifteen", buffer, &capacity));
    EXPECT_EQ(L'\0', buffer[0]);
    for (int index = 15; index < 20; ++index)
        EXPECT_EQ(L'#', buffer[index]) << index;
}

TEST_F(RegistryPathTest, StringThatJustFitsIsRead)
{
    SetString(L"Fourteen", L"fourteen chars");
    wchar_t buffer[15];
    DWORD capacity = 15;
    EXPECT_EQ(ERROR_SUCCESS, path.ReadString(L"Fourteen", buffer, &capacity));
    EXPECT_STREQ(L"fourteen chars", buffer);
    EXPECT_EQ(15u, capacity);
}

TEST_F(RegistryPathTest, EmptyDataGivesAnEmptyString)
{
    SetRaw(L"Empty", REG_SZ, nullptr, 0);
    ASSERT_EQ(0u, StoredBytes(L"Empty"));
    wchar_t buffer[8] = L"old";
    DWORD capacity = 8;
    EXPECT_EQ(ERROR_SUCCESS, path.ReadString(L"Empty", buffer, &capacity));
    EXPECT_STREQ(L"", buffer);
    EXPECT_EQ(1u, capacity);
}

TEST_F(RegistryPathTest, ExpandableStringIsReadLiterally)
{
    SetString(L"Expand", L"%SystemRoot%\\x", REG_EXPAND_SZ);
    wchar_t buffer[64];
    DWORD capacity = 64;
    EXPECT_EQ(ERROR_SUCCESS, path.ReadString(L"Expand", buffer, &capacity));
    EXPECT_STREQ(L"%SystemRoot%\\x", buffer);
    EXPECT_EQ(15u, capacity);
}

TEST_F(RegistryPathTest, DeletedValueIsGone)
{
    EXPECT_EQ(ERROR_SUCCESS, path.WriteDword(L"Number", 1));
    EXPECT_EQ(ERROR_SUCCESS, path.DeleteValue(L"Number"));
    DWORD value = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, path.ReadDword(L"Number", &value));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, path.DeleteValue(L"Number"));
}

TEST_F(RegistryPathTest, WritingCreatesTheMissingKeysBelowTheFirstComponent)
{
    const std::wstring deep = scratch + L"\\Orvane\\Quillow";
    ASSERT_EQ(ERROR_SUCCESS, path.SetPath(deep.c_str()));
    EXPECT_EQ(ERROR_SUCCESS, path.WriteDword(L"Number", 5));
    DWORD value = 0;
    DWORD bytes = sizeof(value);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, deep.c_str(), L"Number",
                                          RRF_RT_REG_DWORD, nullptr, &value, &bytes));
    EXPECT_EQ(5u, value);
}

TEST_F(RegistryPathTest, MissingFirstComponentIsNotCreated)
{
    const std::wstring orphan =
        L"QuillowTestNoRoot-" + std::to_wstring(GetCurrentProcessId()) + L"\\Orvane";
    ASSERT_EQ(ERROR_SUCCESS, path.SetPath(orphan.c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, path.WriteDword(L"Number", 5));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, path.WriteString(L"Text", L"x"));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_CURRENT_USER, path.Component(0), 0, KEY_READ, &key));
    if (key)
        RegCloseKey(key);
}

TEST_F(RegistryPathTest, ReadingDoesNotCreateMissingKeys)
{
    const std::wstring deep = scratch + L"\\Orvane";
    ASSERT_EQ(ERROR_SUCCESS, path.SetPath(deep.c_str()));
    DWORD value = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, path.ReadDword(L"Number", &value));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_READ, &key));
    if (key)
        RegCloseKey(key);
}

TEST_F(RegistryPathTest, TrailingBackslashIsRemoved)
{
    const std::wstring withSlash = scratch + L"\\";
    ASSERT_EQ(ERROR_SUCCESS, path.SetPath(withSlash.c_str()));
    EXPECT_EQ(scratch, path.Path());
    EXPECT_EQ(2u, path.ComponentCount());
    EXPECT_STREQ(L"Software", path.Component(0));
    EXPECT_EQ(scratch.substr(9), path.Component(1));
    EXPECT_EQ(ERROR_SUCCESS, path.WriteDword(L"Number", 9));
    DWORD value = 0;
    EXPECT_EQ(ERROR_SUCCESS, path.ReadDword(L"Number", &value));
    EXPECT_EQ(9u, value);
}

TEST_F(RegistryPathTest, RootChangesWhileThePathStays)
{
    ASSERT_EQ(ERROR_SUCCESS, path.SetPath(L".ini"));
    EXPECT_EQ(ERROR_SUCCESS, path.SetRoot(HKEY_CLASSES_ROOT));
    EXPECT_STREQ(L".ini", path.Path());
    EXPECT_EQ(HKEY_CLASSES_ROOT, path.Root());
}

TEST_F(RegistryPathTest, ClassesRootIsReadAfterSetRoot)
{
    ASSERT_EQ(ERROR_SUCCESS, path.SetPath(L".ini"));
    ASSERT_EQ(ERROR_SUCCESS, path.SetRoot(HKEY_CLASSES_ROOT));
    wchar_t buffer[32];
    DWORD capacity = 32;
    EXPECT_EQ(ERROR_SUCCESS, path.ReadString(nullptr, buffer, &capacity));
    EXPECT_STREQ(L"inifile", buffer);
    EXPECT_EQ(8u, capacity);
}

class RegistryPathWithoutPathTest : public ::testing::Test {
protected:
    CRegistryPath path;
};

TEST_F(RegistryPathWithoutPathTest, EveryOperationIsPathNotFound)
{
    DWORD value = 77;
    wchar_t buffer[8] = L"old";
    DWORD capacity = 8;
    EXPECT_EQ(0u, path.ComponentCount());
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, path.ReadDword(L"Number", &value));
    EXPECT_EQ(77u, value);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, path.ReadString(L"Text", buffer, &capacity));
    EXPECT_STREQ(L"", buffer);
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, path.WriteDword(L"Number", 1));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, path.WriteString(L"Text", L"x"));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, path.WriteString(L"Text", nullptr));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, path.DeleteValue(L"Text"));
}

TEST_F(RegistryPathWithoutPathTest, RootIsTheCurrentUserAtFirst)
{
    EXPECT_EQ(HKEY_CURRENT_USER, path.Root());
}

TEST_F(RegistryPathWithoutPathTest, OverLongPathIsRefusedAndLeavesNoPath)
{
    ASSERT_EQ(ERROR_SUCCESS, path.SetPath(L"Software\\Orvane"));
    const std::wstring tooLong = L"Software\\" + std::wstring(251, L'x');  // 260 characters
    EXPECT_EQ(ERROR_BUFFER_OVERFLOW, path.SetPath(tooLong.c_str()));
    EXPECT_EQ(0u, path.ComponentCount());
    EXPECT_STREQ(L"", path.Path());
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, path.WriteDword(L"Number", 1));
}

TEST_F(RegistryPathWithoutPathTest, LongestPathThatFitsIsKept)
{
    const std::wstring longest = L"Software\\" + std::wstring(250, L'x');  // 259 characters
    EXPECT_EQ(ERROR_SUCCESS, path.SetPath(longest.c_str()));
    EXPECT_EQ(longest, path.Path());
    EXPECT_EQ(2u, path.ComponentCount());
}

TEST_F(RegistryPathWithoutPathTest, MoreThanTenComponentsAreRefused)
{
    ASSERT_EQ(ERROR_SUCCESS, path.SetPath(L"Software\\Orvane"));
    EXPECT_EQ(ERROR_BUFFER_OVERFLOW, path.SetPath(L"a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k"));
    EXPECT_EQ(0u, path.ComponentCount());
    DWORD value = 0;
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, path.ReadDword(L"Number", &value));
}

TEST_F(RegistryPathWithoutPathTest, TenComponentsAreSplitInOrder)
{
    EXPECT_EQ(ERROR_SUCCESS, path.SetPath(L"a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\"));
    ASSERT_EQ(10u, path.ComponentCount());
    EXPECT_STREQ(L"a", path.Component(0));
    EXPECT_STREQ(L"j", path.Component(9));
    EXPECT_EQ(nullptr, path.Component(10));
    EXPECT_STREQ(L"a\\b\\c\\d\\e\\f\\g\\h\\i\\j", path.Path());
}

TEST_F(RegistryPathWithoutPathTest, NullPathIsRefused)
{
    EXPECT_EQ(ERROR_INVALID_PARAMETER, path.SetPath(nullptr));
    EXPECT_EQ(0u, path.ComponentCount());
}

}  // namespace
