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

// The jump-list files hold the pins of every program's jump list, File
// Explorer's Quick Access among them: clearing the recent items must leave
// every one of them, whatever the Windows version.
TEST_F(PrivacyCleanerRecentTest, JumpListFilesAndTheirPinsStay)
{
    const auto before = Entries();
    ASSERT_EQ(3u, before.size());
    CPrivacyCleaner(registry).ClearRecentDocuments();
    EXPECT_EQ(before, Entries());
    EXPECT_TRUE(fs::exists(folder / L"keep" / L"inner.txt"));
}

TEST_F(PrivacyCleanerRecentTest, ClearingTwiceInARowIsHarmless)
{
    CPrivacyCleaner cleaner(registry);
    cleaner.ClearRecentDocuments();
    cleaner.ClearRecentDocuments();
    EXPECT_EQ(3u, Entries().size());
}

// What the shell is asked: its documented clearing call, a null item, which
// drops the usage data of all items (the recent lists) and no pin.
struct RecentDocsCalls {
    static inline int count = 0;
    static inline bool nullItem = false;
    static void WINAPI Record(UINT, LPCVOID item)
    {
        ++count;
        nullItem = item == nullptr;
    }
};

TEST(PrivacyCleanerRecentCallTest, ShellIsAskedOnceToClearEveryRecentItem)
{
    RecentDocsCalls::count = 0;
    RecentDocsCalls::nullItem = false;
    CRegistryPath registry;
    CPrivacyCleaner(registry, HKEY_CURRENT_USER, RecentDocsCalls::Record).ClearRecentDocuments();
    EXPECT_EQ(1, RecentDocsCalls::count);
    EXPECT_TRUE(RecentDocsCalls::nullItem);
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
