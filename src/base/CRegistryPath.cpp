#include "base/CRegistryPath.h"

#include <cwchar>

#include "base/CTrace.h"

namespace {

// RegQueryValueExW and RegSetValueExW count bytes in a DWORD; a character
// count beyond half of that cannot be passed on without wrapping.
constexpr DWORD kMaxStringChars = MAXDWORD / sizeof(wchar_t);

DWORD ByteSize(DWORD chars)
{
    return (chars > kMaxStringChars ? kMaxStringChars : chars) * sizeof(wchar_t);
}

}  // namespace

LONG CRegistryPath::SetRoot(HKEY root)
{
    m_root = root;
    return ERROR_SUCCESS;
}

LONG CRegistryPath::SetPath(const wchar_t* path)
{
    // A refused path must not leave the previous one in force: the caller
    // asked for another key, and writing to the old one would be worse.
    ClearPath();
    if (!path)
        return ERROR_INVALID_PARAMETER;
    const size_t length = wcsnlen(path, kMaxChars);
    if (length >= kMaxChars)
        return ERROR_BUFFER_OVERFLOW;
    wmemcpy(m_path, path, length + 1);
    if (length > 0 && m_path[length - 1] == L'\\')
        m_path[length - 1] = L'\0';
    wmemcpy(m_split, m_path, kMaxChars);
    if (!SplitComponents()) {
        ClearPath();
        return ERROR_BUFFER_OVERFLOW;
    }
    return ERROR_SUCCESS;
}

const wchar_t* CRegistryPath::Component(UINT index) const
{
    return index < m_componentCount ? m_components[index] : nullptr;
}

void CRegistryPath::ClearPath()
{
    wmemset(m_path, L'\0', kMaxChars);
    wmemset(m_split, L'\0', kMaxChars);
    for (wchar_t*& component : m_components)
        component = nullptr;
    m_componentCount = 0;
}

bool CRegistryPath::SplitComponents()
{
    UINT count = 0;
    wchar_t* start = m_split;
    for (wchar_t* at = m_split;; ++at) {
        if (*at != L'\\' && *at != L'\0')
            continue;
        if (count == kMaxComponents)
            return false;
        m_components[count++] = start;
        if (*at == L'\0')
            break;
        *at = L'\0';
        start = at + 1;
    }
    m_componentCount = count;
    return true;
}

LONG CRegistryPath::ReadDword(const wchar_t* name, DWORD* value) const
{
    if (!HasPath())
        return ERROR_PATH_NOT_FOUND;
    if (!value)
        return ERROR_INVALID_PARAMETER;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD bytes = sizeof(data);
    const LONG result = QueryValue(name, &type, reinterpret_cast<BYTE*>(&data), &bytes);
    // Anything longer than four bytes is no DWORD, whatever its type says.
    if (result == ERROR_MORE_DATA)
        return ERROR_INVALID_DATA;
    if (result != ERROR_SUCCESS)
        return result;
    if (type != REG_DWORD || bytes != sizeof(data))
        return ERROR_INVALID_DATA;
    *value = data;
    return ERROR_SUCCESS;
}

LONG CRegistryPath::ReadString(const wchar_t* name, wchar_t* buffer, DWORD* capacityInChars) const
{
    const LONG result = QueryString(name, buffer, capacityInChars);
    // Callers show or compare the buffer even after a failure, so it must
    // never be left holding half a value or no terminator.
    if (result != ERROR_SUCCESS && buffer && capacityInChars && *capacityInChars > 0)
        buffer[0] = L'\0';
    return result;
}

LONG CRegistryPath::QueryString(const wchar_t* name, wchar_t* buffer, DWORD* capacityInChars) const
{
    if (!HasPath())
        return ERROR_PATH_NOT_FOUND;
    if (!buffer || !capacityInChars)
        return ERROR_INVALID_PARAMETER;
    DWORD type = REG_NONE;
    DWORD bytes = ByteSize(*capacityInChars);
    const LONG result = QueryValue(name, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    // A value of the wrong type is refused as such even when it is also too
    // long: a bigger buffer would not make it readable.
    if ((result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && !IsStringType(type))
        return ERROR_INVALID_DATA;
    if (result != ERROR_SUCCESS)
        return result;
    return TakeStringData(buffer, bytes, capacityInChars);
}

LONG CRegistryPath::TakeStringData(wchar_t* buffer, DWORD bytes, DWORD* capacityInChars)
{
    if (bytes % sizeof(wchar_t) != 0)
        return ERROR_INVALID_DATA;
    const DWORD chars = bytes / sizeof(wchar_t);
    if (chars == 0) {
        // Stored with no data at all: the empty string, which still needs
        // room for its terminator.
        if (*capacityInChars == 0)
            return ERROR_MORE_DATA;
        buffer[0] = L'\0';
        *capacityInChars = 1;
        return ERROR_SUCCESS;
    }
    if (buffer[chars - 1] != L'\0')
        return ERROR_INVALID_DATA;
    *capacityInChars = chars;
    return ERROR_SUCCESS;
}

LONG CRegistryPath::WriteDword(const wchar_t* name, DWORD value) const
{
    return ChangeValue(L"RegSetValueExW", name, [&](HKEY key) {
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                              sizeof(value));
    });
}

LONG CRegistryPath::WriteString(const wchar_t* name, const wchar_t* text) const
{
    if (!HasPath())
        return ERROR_PATH_NOT_FOUND;
    if (!text)
        return ERROR_INVALID_DATA;
    const size_t length = wcslen(text);
    if (length >= kMaxStringChars)
        return ERROR_INVALID_DATA;
    return ChangeValue(L"RegSetValueExW", name, [&](HKEY key) {
        return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              ByteSize(static_cast<DWORD>(length) + 1));
    });
}

LONG CRegistryPath::DeleteValue(const wchar_t* name) const
{
    return ChangeValue(L"RegDeleteValueW", name, [&](HKEY key) { return RegDeleteValueW(key, name); });
}

LONG CRegistryPath::QueryValue(const wchar_t* name, DWORD* type, BYTE* data, DWORD* bytes) const
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(m_root, m_path, 0, KEY_READ, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegQueryValueExW(key, name, nullptr, type, data, bytes);
    RegCloseKey(key);
    return result;
}

// A failed change is dropped by most callers (the value in memory stays as
// it is), so it leaves a trace here; a value to delete that is not there is
// no failure.
template <class Change>
LONG CRegistryPath::ChangeValue(const wchar_t* call, const wchar_t* name, Change change) const
{
    if (!HasPath())
        return ERROR_PATH_NOT_FOUND;
    HKEY key = nullptr;
    LONG result = OpenForWrite(&key);
    if (result != ERROR_SUCCESS) {
        CTrace::Failure(L"RegCreateKeyExW", static_cast<DWORD>(result), m_path);
        return result;
    }
    result = change(key);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        CTrace::Failure(call, static_cast<DWORD>(result), name);
    return result;
}

LONG CRegistryPath::OpenForWrite(HKEY* key) const
{
    if (RegOpenKeyExW(m_root, m_path, 0, KEY_WRITE, key) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    const LONG result = CreateMissingKeys();
    if (result != ERROR_SUCCESS)
        return result;
    return RegOpenKeyExW(m_root, m_path, 0, KEY_WRITE, key);
}

LONG CRegistryPath::CreateMissingKeys() const
{
    // The first component ("Software") is never created: a root without it
    // is not a place where Quillow should start building keys.
    HKEY current = nullptr;
    LONG result = RegOpenKeyExW(m_root, m_components[0], 0, KEY_WRITE, &current);
    if (result != ERROR_SUCCESS)
        return result;
    for (UINT index = 1; index < m_componentCount && result == ERROR_SUCCESS; ++index) {
        HKEY next = nullptr;
        result = OpenOrCreateBelow(current, m_components[index], &next);
        if (result == ERROR_SUCCESS) {
            RegCloseKey(current);
            current = next;
        }
    }
    RegCloseKey(current);
    return result;
}

LONG CRegistryPath::OpenOrCreateBelow(HKEY parent, const wchar_t* name, HKEY* key)
{
    if (RegOpenKeyExW(parent, name, 0, KEY_WRITE, key) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    return RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                           key, nullptr);
}
