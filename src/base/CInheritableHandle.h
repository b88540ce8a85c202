#pragma once

#include <windows.h>

// An inheritable copy of one of our handles with only the rights a child
// needs, closed again once the child holds its own.
class CInheritableHandle {
public:
    CInheritableHandle(HANDLE source, DWORD access)
    {
        const HANDLE self = GetCurrentProcess();
        if (!DuplicateHandle(self, source, self, &m_handle, access, TRUE, 0))
            m_handle = nullptr;
    }
    ~CInheritableHandle()
    {
        if (m_handle)
            CloseHandle(m_handle);
    }
    CInheritableHandle(const CInheritableHandle&) = delete;
    CInheritableHandle& operator=(const CInheritableHandle&) = delete;

    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};
