#pragma once

#include <windows.h>

#include <vector>

// Limits what a child inherits to exactly the handles listed, whatever else
// in the process is inheritable. Get() is null when the list could not be
// built; the handles must outlive the CreateProcess call.
class CHandleListAttribute {
public:
    CHandleListAttribute(HANDLE* handles, DWORD count);
    ~CHandleListAttribute();
    CHandleListAttribute(const CHandleListAttribute&) = delete;
    CHandleListAttribute& operator=(const CHandleListAttribute&) = delete;

    LPPROC_THREAD_ATTRIBUTE_LIST Get() const { return m_list; }

private:
    std::vector<unsigned char> m_storage;
    LPPROC_THREAD_ATTRIBUTE_LIST m_list = nullptr;
};
