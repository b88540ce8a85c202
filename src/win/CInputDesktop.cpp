#include "win/CInputDesktop.h"

bool CInputDesktop::Is(const wchar_t* name)
{
    HDESK input = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (!input)
        return false;
    wchar_t inputName[64];
    const bool same = NameOf(input, inputName, ARRAYSIZE(inputName)) &&
                      CompareStringOrdinal(inputName, -1, name, -1, TRUE) == CSTR_EQUAL;
    CloseDesktop(input);
    return same;
}

bool CInputDesktop::NameOf(HDESK desktop, wchar_t* name, DWORD capacity)
{
    if (capacity == 0)
        return false;
    name[0] = L'\0';
    // One place kept for the closing zero, which a name that fills the
    // buffer exactly would not get.
    const DWORD bytes = (capacity - 1) * sizeof(wchar_t);
    if (!desktop || !GetUserObjectInformationW(desktop, UOI_NAME, name, bytes, nullptr)) {
        name[0] = L'\0';
        return false;
    }
    name[capacity - 1] = L'\0';
    return true;
}
