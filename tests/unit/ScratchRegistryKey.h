#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

// A key below HKCU\Software that belongs to one test only. The process id in
// its name keeps parallel runs apart, and the tree is removed on the way in
// as well as on the way out, so a run that crashed leaves nothing the next
// run could mistake for its own values.
class CScratchRegistryKey {
public:
    // What the readers give back for a value that is not there; distinct from
    // anything a test stores, so "absent" and "stored empty or zero" differ.
    static constexpr const wchar_t* kMissingText = L"(missing)";
    static constexpr DWORD kMissingDword = 0xdeadbeef;

    // below: where under the scratch root the values live, for code that
    // expects a nested path like the product's own; the whole root goes.
    explicit CScratchRegistryKey(const wchar_t* stem, const wchar_t* below = nullptr)
        : m_root(L"Software\\QuillowTest-" + std::wstring(stem) + L"-" +
                 std::to_wstring(GetCurrentProcessId())),
          m_path(below ? m_root + L"\\" + below : m_root)
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, m_root.c_str());
    }

    ~CScratchRegistryKey() { RegDeleteTreeW(HKEY_CURRENT_USER, m_root.c_str()); }

    CScratchRegistryKey(const CScratchRegistryKey&) = delete;
    CScratchRegistryKey& operator=(const CScratchRegistryKey&) = delete;

    const std::wstring& Path() const { return m_path; }

    std::wstring ReadText(const wchar_t* name) const
    {
        // Sized first, so a long value is compared whole rather than as
        // "missing" because it outgrew a fixed buffer.
        DWORD bytes = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, m_path.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr,
                         &bytes) != ERROR_SUCCESS)
            return kMissingText;
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegGetValueW(HKEY_CURRENT_USER, m_path.c_str(), name, RRF_RT_REG_SZ, nullptr,
                         text.data(), &bytes) != ERROR_SUCCESS)
            return kMissingText;
        return text.data();
    }

    DWORD ReadDword(const wchar_t* name) const
    {
        DWORD value = kMissingDword;
        DWORD bytes = sizeof(value);
        if (RegGetValueW(HKEY_CURRENT_USER, m_path.c_str(), name, RRF_RT_REG_DWORD, nullptr,
                         &value, &bytes) != ERROR_SUCCESS)
            return kMissingDword;
        return value;
    }

    bool Has(const wchar_t* name) const
    {
        return RegGetValueW(HKEY_CURRENT_USER, m_path.c_str(), name, RRF_RT_ANY, nullptr, nullptr,
                            nullptr) == ERROR_SUCCESS;
    }

    void PutDword(const wchar_t* name, DWORD value) const
    {
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, m_path.c_str(), name,
                                                 REG_DWORD, &value, sizeof(value)));
    }

    void PutText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) const
    {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetKeyValueW(HKEY_CURRENT_USER, m_path.c_str(), name, type, text.c_str(),
                                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
    }

private:
    std::wstring m_root;
    std::wstring m_path;
};
