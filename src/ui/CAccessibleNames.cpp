#include "ui/CAccessibleNames.h"

#include <algorithm>
#include <cwchar>

#include "ui/themed/AccessibilityGuids.h"

CAccessibleNames::CAccessibleNames()
{
    // S_FALSE too is a start of our own that must be balanced; a thread
    // already in another apartment (RPC_E_CHANGED_MODE) is used as it is.
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_startedCom = SUCCEEDED(init);
    if (FAILED(::CoCreateInstance(AccessibilityGuids::kAccPropServicesClass, nullptr,
                                  CLSCTX_INPROC_SERVER, AccessibilityGuids::kIAccPropServices,
                                  reinterpret_cast<void**>(&m_services))))
        m_services = nullptr;
}

// A control's annotation outlives the control unless taken back; the
// system cannot tell a later window with the same handle from it.
CAccessibleNames::~CAccessibleNames()
{
    if (m_services) {
        const MSAAPROPID properties[] = {AccessibilityGuids::kNameProperty,
                                         AccessibilityGuids::kRoleProperty};
        for (HWND control : m_annotated)
            m_services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       properties, 2);
        m_services->Release();
    }
    if (m_startedCom)
        ::CoUninitialize();
}

void CAccessibleNames::Remember(HWND control)
{
    if (std::find(m_annotated.begin(), m_annotated.end(), control) == m_annotated.end())
        m_annotated.push_back(control);
}

void CAccessibleNames::Name(HWND control, const wchar_t* name)
{
    if (!m_services || !control || !name)
        return;
    if (SUCCEEDED(m_services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                             CHILDID_SELF, AccessibilityGuids::kNameProperty,
                                             name)))
        Remember(control);
}

void CAccessibleNames::Role(HWND control, long role)
{
    if (!m_services || !control)
        return;
    VARIANT value;
    value.vt = VT_I4;
    value.lVal = role;
    if (SUCCEEDED(m_services->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                          AccessibilityGuids::kRoleProperty, value)))
        Remember(control);
}

std::unique_ptr<IAccessibleNames> CAccessibleNames::Make()
{
    return std::make_unique<CAccessibleNames>();
}

void IAccessibleNames::NameByLabel(HWND dialog, int labelId, int boxId, int confirmationId)
{
    wchar_t label[128] = L"";
    ::GetDlgItemTextW(dialog, labelId, label, 128);
    const std::wstring name = CAccessibleNames::NameOfLine(label);
    if (name.empty())
        return;
    Name(::GetDlgItem(dialog, boxId), name.c_str());
    if (confirmationId)
        Name(::GetDlgItem(dialog, confirmationId), CAccessibleNames::ConfirmationOf(name).c_str());
}

void IAccessibleNames::MarkAsGraphics(HWND dialog, std::initializer_list<int> ids)
{
    for (int id : ids)
        Role(::GetDlgItem(dialog, id), ROLE_SYSTEM_GRAPHIC);
}

std::wstring CAccessibleNames::NameOfLine(const wchar_t* label)
{
    std::wstring name;
    for (const wchar_t* c = label ? label : L""; *c; ++c) {
        // A lone "&" marks the mnemonic and is not shown.
        if (*c == L'&' && *++c == L'\0')
            break;
        name += *c;
    }
    while (!name.empty() && (name.back() == L':' || name.back() == L' '))
        name.pop_back();
    return name;
}

std::wstring CAccessibleNames::ConfirmationOf(const std::wstring& name)
{
    return name + L" (confirm)";
}
