#include "base/CHandleListAttribute.h"

CHandleListAttribute::CHandleListAttribute(HANDLE* handles, DWORD count)
{
    SIZE_T size = 0;
    // Asking for the size fails by design and fills it in.
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    if (size == 0)
        return;
    m_storage.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_storage.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
        return;
    if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                   count * sizeof(HANDLE), nullptr, nullptr)) {
        DeleteProcThreadAttributeList(list);
        return;
    }
    m_list = list;
}

CHandleListAttribute::~CHandleListAttribute()
{
    if (m_list)
        DeleteProcThreadAttributeList(m_list);
}
