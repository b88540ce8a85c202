#pragma once

#include <windows.h>

#include <map>

class CMessageLoop;

// The process's one module object: instance handle, main thread id and the
// message loop of each thread that runs one.
class CAppModule {
public:
    CAppModule();
    ~CAppModule();
    CAppModule(const CAppModule&) = delete;
    CAppModule& operator=(const CAppModule&) = delete;

    HRESULT Init(HINSTANCE instance);
    void Term();

    HINSTANCE GetModuleInstance() const { return m_instance; }
    DWORD GetMainThreadId() const { return m_mainThreadId; }

    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

private:
    HINSTANCE m_instance = nullptr;
    DWORD m_mainThreadId = 0;
    mutable CRITICAL_SECTION m_lock;
    std::map<DWORD, CMessageLoop*>* m_loops = nullptr;
};
