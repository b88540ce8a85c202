#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "actions/CPrivacyCleaner.h"

#include "ComApartmentProbe.h"
#include "ScratchRegistryKey.h"

namespace fs = std::filesystem;

namespace {

const wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
const wchar_t kSystemPolicy[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

// The cleaner writes below a scratch key standing in for HKEY_CURRENT_USER,
// so the real typed addresses and policies of the test account stay as they
// were and runs never see each other's values.
class PrivacyCleanerRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (scratch + L"\\Software").c_str(),
                                                 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                                 nullptr, &root, nullptr));
        RegCloseKey(root);
        root = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegOpenKeyExW(HKEY_CURRENT_USER, scratch.c_str(), 0, KEY_ALL_ACCESS, &root));
    }

    void TearDown() override
    {
        if (root)
            RegCloseKey(root);
        EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str()));
    }

    void SetString(const wchar_t* key, const std::wstring& name, const wchar_t* text)
    {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetKeyValueW(root, key, name.c_str(), REG_SZ, text,
                                  static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t))));
    }

    void SetUrls(std::initializer_list<int> numbers)
    {
        for (int number : numbers)
            SetString(kTypedUrls, L"url" + std::to_wstring(number), L"http://example.org/");
    }

    std::set<std::wstring> ValueNames(const wchar_t* key)
    {
        std::set<std::wstring> names;
        HKEY opened = nullptr;
        if (RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return names;
        wchar_t name[64];
        for (DWORD index = 0;; ++index) {
            DWORD chars = 64;
            if (RegEnumValueW(opened, index, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            names.insert(name);
        }
        RegCloseKey(opened);
        return names;
    }

    bool KeyExists(const wchar_t* key)
    {
        HKEY opened = nullptr;
        if (RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return false;
        RegCloseKey(opened);
        return true;
    }

    LONG ReadPolicy(HKEY from, DWORD* value, DWORD* type)
    {
        DWORD bytes = sizeof(*value);
        return RegGetValueW(from, kSystemPolicy, L"DisableTaskMgr", RRF_RT_ANY, type, value, &bytes);
    }

    const CScratchRegistryKey scratchKey{L"Cleaner"};
    const std::wstring& scratch = scratchKey.Path();
    HKEY root = nullptr;
    CRegistryPath registry;
};

TEST_F(PrivacyCleanerRegistryTest, TypedUrlsOneToFiveAreAllDeleted)
{
    SetUrls({1, 2, 3, 4, 5});
    CPrivacyCleaner(registry, root).ClearTypedUrls();
    EXPECT_TRUE(ValueNames(kTypedUrls).empty());
}

TEST_F(PrivacyCleanerRegistryTest, TypedUrlsBeyondTheFirstGapStay)
{
    SetUrls({1, 2, 4});
    CPrivacyCleaner(registry, root).ClearTypedUrls();
    EXPECT_EQ(std::set<std::wstring>{L"url4"}, ValueNames(kTypedUrls));
}

TEST_F(PrivacyCleanerRegistryTest, TypedUrlsWithoutUrl1AreAllKept)
{
    SetUrls({2, 3});
    SetString(kTypedUrls, L"other", L"kept");
    CPrivacyCleaner(registry, root).ClearTypedUrls();
    EXPECT_EQ((std::set<std::wstring>{L"url2", L"url3", L"other"}), ValueNames(kTypedUrls));
}

TEST_F(PrivacyCleanerRegistryTest, TypedUrlsKeyIsCreatedEmptyWhenMissing)
{
    ASSERT_FALSE(KeyExists(kTypedUrls));
    CPrivacyCleaner(registry, root).ClearTypedUrls();
    EXPECT_TRUE(KeyExists(kTypedUrls));
    EXPECT_TRUE(ValueNames(kTypedUrls).empty());
}

TEST_F(PrivacyCleanerRegistryTest, TaskManagerPolicyIsWrittenAsDwordOneThenZero)
{
    CPrivacyCleaner cleaner(registry, root);
    DWORD value = 77;
    DWORD type = REG_NONE;
    cleaner.SetTaskManagerPolicy(1);
    ASSERT_EQ(ERROR_SUCCESS, ReadPolicy(root, &value, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(1u, value);
    cleaner.SetTaskManagerPolicy(0);
    ASSERT_EQ(ERROR_SUCCESS, ReadPolicy(root, &value, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(0u, value);
}

TEST_F(PrivacyCleanerRegistryTest, TaskManagerPolicyKeyIsCreatedWhenMissing)
{
    ASSERT_FALSE(KeyExists(kSystemPolicy));
    CPrivacyCleaner(registry, root).SetTaskManagerPolicy(1);
    EXPECT_EQ(std::set<std::wstring>{L"DisableTaskMgr"}, ValueNames(kSystemPolicy));
}

TEST_F(PrivacyCleanerRegistryTest, TaskManagerPolicyZeroReplacesAnAdministratorsOne)
{
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(root, kSystemPolicy, L"DisableTaskMgr", REG_DWORD,
                                             "\x01\x00\x00\x00", 4));
    CPrivacyCleaner(registry, root).SetTaskManagerPolicy(0);
    DWORD value = 77;
    DWORD type = REG_NONE;
    ASSERT_EQ(ERROR_SUCCESS, ReadPolicy(root, &value, &type));
    EXPECT_EQ(0u, value);
}

// The registry object is shared with the other actions of the thread; the
// policy must land in the current user's hive whatever root it was left at.
TEST(PrivacyCleanerRealPolicyTest, PolicyGoesToTheCurrentUserWhateverRootTheSharedObjectHad)
{
    HKEY existing = nullptr;
    const bool keyExisted =
        RegOpenKeyExW(HKEY_CURRENT_USER, kSystemPolicy, 0, KEY_READ, &existing) == ERROR_SUCCESS;
    if (existing)
        RegCloseKey(existing);
    DWORD saved = 0;
    DWORD bytes = sizeof(saved);
    const bool valueExisted = RegGetValueW(HKEY_CURRENT_USER, kSystemPolicy, L"DisableTaskMgr",
                                           RRF_RT_REG_DWORD, nullptr, &saved, &bytes) == ERROR_SUCCESS;

    CRegistryPath registry;
    registry.SetRoot(HKEY_CLASSES_ROOT);
    CPrivacyCleaner(registry).SetTaskManagerPolicy(1);

    DWORD value = 0;
    bytes = sizeof(value);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, kSystemPolicy, L"DisableTaskMgr",
                                          RRF_RT_REG_DWORD, nullptr, &value, &bytes));
    EXPECT_EQ(1u, value);
    EXPECT_NE(ERROR_SUCCESS, RegGetValueW(HKEY_CLASSES_ROOT, kSystemPolicy, L"DisableTaskMgr",
                                          RRF_RT_ANY, nullptr, nullptr, nullptr));

    if (valueExisted)
        RegSetKeyValueW(HKEY_CURRENT_USER, kSystemPolicy, L"DisableTaskMgr", REG_DWORD, &saved,
                        sizeof(saved));
    else if (keyExisted)
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSystemPolicy, L"DisableTaskMgr");
    else
        RegDeleteKeyW(HKEY_CURRENT_USER, kSystemPolicy);
}

// Each test gets a scratch folder as %AppData%, restored afterwards, with a
// jump-list folder holding two files and a sub-folder with a file of its own.
class PrivacyCleanerRecentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int counter = 0;
        wchar_t temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
        base = fs::path(temp) / (L"qw-appdata-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(++counter));
        SaveAppData();
        UseAppData(base);
    }

    void TearDown() override
    {
        if (hadAppData)
            SetEnvironmentVariableW(L"AppData", savedAppData);
        else
            SetEnvironmentVariableW(L"AppData", nullptr);
        std::error_code ignored;
        fs::remove_all(base, ignored);
    }

    void SaveAppData()
    {
        const DWORD length = GetEnvironmentVariableW(L"AppData", savedAppData, 32767);
        hadAppData = length > 0 && length < 32767;
    }

    void UseAppData(const fs::path& appData)
    {
        folder = appData / L"Microsoft\\Windows\\Recent\\AutomaticDestinations";
        std::error_code error;
        fs::create_directories(folder / L"keep", error);
        ASSERT_FALSE(error) << error.message();
        Touch(folder / L"1b4dd67f29cb1962.automaticDestinations-ms");
        Touch(folder / L"5f7b5f1e01b83767.automaticDestinations-ms");
        Touch(folder / L"keep" / L"inner.txt");
        ASSERT_TRUE(SetEnvironmentVariableW(L"AppData", appData.c_str()));
    }

    static void Touch(const fs::path& file) { std::ofstream(file) << "jump list"; }

    std::set<std::wstring> Entries()
    {
        std::set<std::wstring> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error))
            names.insert(entry.path().filename().wstring());
        return names;
    }

    fs::path base;
    fs::path folder;
    wchar_t savedAppData[32767] = {};
    bool hadAppData = false;
    CRegistryPath registry;
};

TEST_F(PrivacyCleanerRecentTest, FromVersionSixTheJumpListFilesAreDeleted)
{
    CPrivacyCleaner(registry).ClearRecentDocuments(6);
    EXPECT_EQ(std::set<std::wstring>{L"keep"}, Entries());
}

TEST_F(PrivacyCleanerRecentTest, SubFoldersAndTheirFilesAreLeftAlone)
{
    CPrivacyCleaner(registry).ClearRecentDocuments(10);
    EXPECT_TRUE(fs::is_directory(folder / L"keep"));
    EXPECT_TRUE(fs::exists(folder / L"keep" / L"inner.txt"));
}

TEST_F(PrivacyCleanerRecentTest, VersionFiveLeavesTheJumpListFolderAlone)
{
    const auto before = Entries();
    ASSERT_EQ(3u, before.size());
    CPrivacyCleaner(registry).ClearRecentDocuments(5);
    EXPECT_EQ(before, Entries());
}

TEST_F(PrivacyCleanerRecentTest, ClearingTwiceInARowIsHarmless)
{
    CPrivacyCleaner cleaner(registry);
    cleaner.ClearRecentDocuments(6);
    cleaner.ClearRecentDocuments(6);
    EXPECT_EQ(std::set<std::wstring>{L"keep"}, Entries());
}

TEST_F(PrivacyCleanerRecentTest, MissingJumpListFolderIsNotCreated)
{
    fs::remove_all(base / L"Microsoft");
    CPrivacyCleaner(registry).ClearRecentDocuments(6);
    EXPECT_FALSE(fs::exists(base / L"Microsoft"));
}

// A relative AppData would point the deletion at whatever folder the process
// stands in; the cleaner refuses it.
TEST_F(PrivacyCleanerRecentTest, RelativeAppDataDeletesNothing)
{
    wchar_t saved[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryW(MAX_PATH, saved));
    ASSERT_TRUE(SetCurrentDirectoryW(base.c_str()));
    ASSERT_TRUE(SetEnvironmentVariableW(L"AppData", L"."));
    CPrivacyCleaner(registry).ClearRecentDocuments(6);
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(3u, Entries().size());
}

TEST_F(PrivacyCleanerRecentTest, UnsetAppDataDeletesNothing)
{
    ASSERT_TRUE(SetEnvironmentVariableW(L"AppData", nullptr));
    CPrivacyCleaner(registry).ClearRecentDocuments(6);
    EXPECT_EQ(3u, Entries().size());
}

// Paths are built in 262-character buffers: an entry whose full path would
// not fit is skipped rather than cut (a cut path names another file), while
// one that just fits is deleted.
TEST_F(PrivacyCleanerRecentTest, EntryWhosePathWouldNotFitIsSkippedAndOneThatFitsIsDeleted)
{
    const size_t folderChars = folder.wstring().size();
    ASSERT_LT(folderChars + 20, static_cast<size_t>(CPrivacyCleaner::kPathChars));
    // "folder\name" plus its terminator: exactly the buffer, then one more.
    const std::wstring fits(CPrivacyCleaner::kPathChars - folderChars - 2, L'y');
    const std::wstring tooLong(CPrivacyCleaner::kPathChars - folderChars - 1, L'x');
    Touch(folder / fits);
    Touch(folder / tooLong);
    ASSERT_TRUE(fs::exists(folder / fits));
    ASSERT_TRUE(fs::exists(folder / tooLong));
    CPrivacyCleaner(registry).ClearRecentDocuments(6);
    EXPECT_EQ((std::set<std::wstring>{L"keep", tooLong}), Entries());
}

// "\\." steps make a value too long for the buffer that still names the real
// folder; cutting it would have found the files, so it must be refused.
TEST_F(PrivacyCleanerRecentTest, AppDataTooLongForTheBufferDeletesNothing)
{
    std::wstring longAppData = base.wstring();
    while (longAppData.size() < CPrivacyCleaner::kPathChars)
        longAppData += L"\\.";
    // The value does name the folder: a larger buffer would find its files.
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(
        (longAppData + L"\\Microsoft\\Windows\\Recent\\AutomaticDestinations\\*.*-ms").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    FindClose(search);
    ASSERT_TRUE(SetEnvironmentVariableW(L"AppData", longAppData.c_str()));
    CPrivacyCleaner(registry).ClearRecentDocuments(6);
    EXPECT_EQ(3u, Entries().size());
}

// Under Wine the history object answers E_NOTIMPL, so what remains to see is
// that the call returns and leaves the thread's COM as it found it.
TEST(PrivacyCleanerHistoryTest, UninitialisedThreadStaysUninitialised)
{
    HRESULT after = E_FAIL;
    std::thread([&] {
        CRegistryPath registry;
        CPrivacyCleaner(registry).ClearBrowserHistory();
        after = ProbeApartment(COINIT_APARTMENTTHREADED);
    }).join();
    EXPECT_EQ(S_OK, after);
}

TEST(PrivacyCleanerHistoryTest, SingleThreadedApartmentOfTheCallerIsKept)
{
    HRESULT after = E_FAIL;
    std::thread([&] {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        CRegistryPath registry;
        CPrivacyCleaner(registry).ClearBrowserHistory();
        after = ProbeApartment(COINIT_APARTMENTTHREADED);
        CoUninitialize();
    }).join();
    EXPECT_EQ(S_FALSE, after);
}

// CoInitialize fails on a thread in the multithreaded apartment; undoing
// that failed call would take the caller's own COM away.
TEST(PrivacyCleanerHistoryTest, MultithreadedApartmentOfTheCallerIsKept)
{
    HRESULT after = E_FAIL;
    std::thread([&] {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        CRegistryPath registry;
        CPrivacyCleaner(registry).ClearBrowserHistory();
        after = ProbeApartment(COINIT_MULTITHREADED);
        CoUninitialize();
    }).join();
    EXPECT_EQ(S_FALSE, after);
}

}  // namespace
