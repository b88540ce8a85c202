#include "app/CExitRequestEvent.h"

CExitRequestEvent::~CExitRequestEvent()
{
    if (m_event)
        CloseHandle(m_event);
}

bool CExitRequestEvent::Create(const wchar_t* name)
{
    if (m_event)
        return true;
    // Default security: the user's own processes, the installer among them,
    // may open it; an already existing event keeps its state, so a request
    // made while this Quillow was starting is still seen.
    m_event = CreateEventW(nullptr, TRUE, FALSE, name);
    return m_event != nullptr;
}

bool CExitRequestEvent::IsSet() const
{
    return m_event && WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0;
}
