#include "update/CUpdatePrompt.h"

#include "app/CSettingsTable.h"

#include <shellapi.h>

#include <cwchar>

#include "update/CWebAddress.h"

namespace {
const wchar_t kQuestion[] =
    L"A new version of Quillow, Quillow %s, is available. Would you like to download and "
    L"upgrade now?";
const wchar_t kCaption[] = L"New Quillow version available";

// Appends as much of text as fits; returns false once out is full.
bool Append(wchar_t* out, size_t capacity, size_t* length, const wchar_t* text, size_t count)
{
    const size_t room = capacity - 1 - *length;
    const size_t taken = count < room ? count : room;
    wmemcpy(out + *length, text, taken);
    *length += taken;
    out[*length] = L'\0';
    return taken == count;
}
}

CUpdatePrompt::CUpdatePrompt(const wchar_t* settingsKey, MessageBoxFunction messageBox,
                             OpenFunction open)
    : m_messageBox(std::move(messageBox)), m_open(std::move(open))
{
    m_registry.SetRoot(HKEY_CURRENT_USER);
    m_registry.SetPath(settingsKey);
}

void CUpdatePrompt::Run(HWND owner)
{
    // The message box runs a modal loop in which the hot key or a tray
    // double-click can bring the window up again; that request must not open
    // a second box over the first.
    if (m_running || AlreadyShown())
        return;
    m_running = true;
    Offer(owner);
    m_running = false;
}

void CUpdatePrompt::Offer(HWND owner)
{
    wchar_t version[kVersionChars];
    DWORD versionChars = kVersionChars;
    if (m_registry.ReadString(CSettingsTable::Name(StoredValue::UPDATE_VERSION), version,
                              &versionChars) != ERROR_SUCCESS)
        return;
    wchar_t address[kAddressChars];
    DWORD addressChars = kAddressChars;
    if (m_registry.ReadString(CSettingsTable::Name(StoredValue::UPDATE_URL), address,
                              &addressChars) != ERROR_SUCCESS)
        return;
    // An address we would refuse to open is not offered: a "Yes" that
    // silently does nothing would mislead the user.
    if (!CWebAddress::IsPlain(address))
        return;
    wchar_t text[kTextChars];
    FormText(version, text, kTextChars);
    if (m_messageBox(owner, text, kCaption, MB_ICONINFORMATION | MB_YESNO) == IDYES)
        m_open(address);
    m_registry.WriteDword(CSettingsTable::Name(StoredValue::UPDATE_SHOWED), 1);
}

bool CUpdatePrompt::AlreadyShown() const
{
    DWORD shown = 0;
    return m_registry.ReadDword(CSettingsTable::Name(StoredValue::UPDATE_SHOWED), &shown) ==
               ERROR_SUCCESS &&
           shown != 0;
}

void CUpdatePrompt::FormText(const wchar_t* version, wchar_t* out, size_t capacity)
{
    if (!out || capacity == 0)
        return;
    out[0] = L'\0';
    // Substituted by hand rather than through a printf: the literal stays
    // exactly as the user sees it, whatever "%s" means to the C library.
    const wchar_t* marker = wcsstr(kQuestion, L"%s");
    const wchar_t* value = version ? version : L"";
    size_t length = 0;
    Append(out, capacity, &length, kQuestion, static_cast<size_t>(marker - kQuestion)) &&
        Append(out, capacity, &length, value, wcslen(value)) &&
        Append(out, capacity, &length, marker + 2, wcslen(marker + 2));
}

void CUpdatePrompt::OpenInBrowser(const wchar_t* address)
{
    ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
