#pragma once

#include <windows.h>

#include <objbase.h>

// COM state of the calling thread, seen through what a fresh CoInitializeEx
// says: S_FALSE when the thread was already in that apartment, S_OK when it
// was not initialised at all, RPC_E_CHANGED_MODE for the other apartment.
// The probe undoes its own successful call, so asking leaves the state as
// it was.
inline HRESULT ProbeApartment(DWORD model)
{
    const HRESULT result = CoInitializeEx(nullptr, model);
    if (SUCCEEDED(result))
        CoUninitialize();
    return result;
}
