#pragma once

#include <windows.h>

// Names one registry key below a root. No handle is kept between calls: each
// operation opens the key, does its work and closes it again, so a key that
// another program deletes or recreates meanwhile is simply found anew.
class CRegistryPath {
public:
    static constexpr UINT kMaxChars = 260;      // including the terminator
    static constexpr UINT kMaxComponents = 10;

    CRegistryPath() = default;
    // The component pointers point into this object's own buffer, so a copy
    // would read through them into the original.
    CRegistryPath(const CRegistryPath&) = delete;
    CRegistryPath& operator=(const CRegistryPath&) = delete;

    LONG SetRoot(HKEY root);
    // A path that does not fit the buffers or has too many components is
    // refused with ERROR_BUFFER_OVERFLOW and leaves no path set.
    LONG SetPath(const wchar_t* path);

    LONG ReadDword(const wchar_t* name, DWORD* value) const;
    // On success *capacityInChars becomes the characters read, terminator
    // included. On failure the buffer holds an empty string.
    LONG ReadString(const wchar_t* name, wchar_t* buffer, DWORD* capacityInChars) const;
    LONG WriteDword(const wchar_t* name, DWORD value) const;
    LONG WriteString(const wchar_t* name, const wchar_t* text) const;
    LONG DeleteValue(const wchar_t* name) const;

    const wchar_t* Path() const { return m_path; }
    HKEY Root() const { return m_root; }
    UINT ComponentCount() const { return m_componentCount; }
    const wchar_t* Component(UINT index) const;

private:
    bool HasPath() const { return m_componentCount != 0; }
    void ClearPath();
    bool SplitComponents();
    // Each opens its own key handle and closes it before returning.
    LONG QueryValue(const wchar_t* name, DWORD* type, BYTE* data, DWORD* bytes) const;
    template <class Change>
    LONG ChangeValue(const wchar_t* call, const wchar_t* name, Change change) const;
    LONG OpenForWrite(HKEY* key) const;
    LONG CreateMissingKeys() const;
    static LONG OpenOrCreateBelow(HKEY parent, const wchar_t* name, HKEY* key);
    static bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }
    LONG QueryString(const wchar_t* name, wchar_t* buffer, DWORD* capacityInChars) const;
    static LONG TakeStringData(wchar_t* buffer, DWORD bytes, DWORD* capacityInChars);

    wchar_t m_path[kMaxChars] = {};
    wchar_t m_split[kMaxChars] = {};
    wchar_t* m_components[kMaxComponents] = {};
    UINT m_componentCount = 0;
    HKEY m_root = HKEY_CURRENT_USER;
};
