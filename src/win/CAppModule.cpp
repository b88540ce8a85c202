#include "win/CAppModule.h"

#include <new>

CAppModule::CAppModule() { InitializeCriticalSection(&m_lock); }

CAppModule::~CAppModule()
{
    Term();
    DeleteCriticalSection(&m_lock);
}

HRESULT CAppModule::Init(HINSTANCE instance)
{
    m_instance = instance;
    m_mainThreadId = ::GetCurrentThreadId();
    m_loops = new (std::nothrow) std::map<DWORD, CMessageLoop*>();
    return m_loops ? S_OK : E_OUTOFMEMORY;
}

void CAppModule::Term()
{
    EnterCriticalSection(&m_lock);
    delete m_loops;
    m_loops = nullptr;
    LeaveCriticalSection(&m_lock);
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop)
{
    EnterCriticalSection(&m_lock);
    const bool added = m_loops && m_loops->emplace(::GetCurrentThreadId(), loop).second;
    LeaveCriticalSection(&m_lock);
    return added;
}

bool CAppModule::RemoveMessageLoop()
{
    EnterCriticalSection(&m_lock);
    const bool removed = m_loops && m_loops->erase(::GetCurrentThreadId()) == 1;
    LeaveCriticalSection(&m_lock);
    return removed;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const
{
    EnterCriticalSection(&m_lock);
    CMessageLoop* loop = nullptr;
    if (m_loops) {
        auto it = m_loops->find(threadId);
        if (it != m_loops->end())
            loop = it->second;
    }
    LeaveCriticalSection(&m_lock);
    return loop;
}
