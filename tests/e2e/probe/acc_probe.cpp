#include "acc_probe.h"

#include <oleacc.h>

#include <cstdio>
#include <string>

#include "ui/themed/AccessibilityGuids.h"

namespace {

// COM for the probe's one thread, for as long as a command runs.
class CComScope {
public:
    CComScope() : m_ok(SUCCEEDED(CoInitialize(nullptr))) {}
    ~CComScope()
    {
        if (m_ok)
            CoUninitialize();
    }

private:
    bool m_ok;
};

VARIANT ChildId(long child)
{
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

std::wstring Failure(HRESULT hr)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"!0x%08lx", static_cast<unsigned long>(hr));
    return text;
}

// A BSTR read by one of the get_acc calls; S_FALSE and an empty string both
// mean "none".
template <class Getter>
std::wstring Text(Getter get)
{
    BSTR value = nullptr;
    const HRESULT hr = get(&value);
    if (FAILED(hr))
        return Failure(hr);
    std::wstring text = value ? std::wstring(value, SysStringLen(value)) : std::wstring();
    SysFreeString(value);
    return text;
}

std::wstring Number(IAccessible* object, long child, bool role)
{
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = role ? object->get_accRole(ChildId(child), &value)
                            : object->get_accState(ChildId(child), &value);
    if (FAILED(hr))
        return Failure(hr);
    wchar_t text[16] = L"";
    if (value.vt == VT_I4)
        std::swprintf(text, 16, role ? L"%ld" : L"0x%lx", value.lVal);
    VariantClear(&value);
    return text;
}

void PrintLine(const std::wstring& who, const std::wstring& kind, IAccessible* object, long child)
{
    const std::wstring name =
        Text([&](BSTR* out) { return object->get_accName(ChildId(child), out); });
    const std::wstring action =
        Text([&](BSTR* out) { return object->get_accDefaultAction(ChildId(child), out); });
    std::wprintf(L"%ls|%ls|%ls|%ls|%ls|%ls\n", who.c_str(), kind.c_str(), name.c_str(),
                 Number(object, child, true).c_str(), Number(object, child, false).c_str(),
                 action.c_str());
}

void PrintChild(IAccessible* parent, long child)
{
    const std::wstring who = std::to_wstring(child);
    IDispatch* dispatch = nullptr;
    const HRESULT hr = parent->get_accChild(ChildId(child), &dispatch);
    if (hr == S_OK && dispatch) {
        IAccessible* object = nullptr;
        if (SUCCEEDED(dispatch->QueryInterface(AccessibilityGuids::kIAccessible,
                                               reinterpret_cast<void**>(&object)))) {
            PrintLine(who, L"object", object, CHILDID_SELF);
            object->Release();
        }
        dispatch->Release();
        return;
    }
    // A simple element, or a child the object cannot hand out: either way
    // its parent answers for it.
    PrintLine(who, hr == S_FALSE ? std::wstring(L"element") : L"hr=" + Failure(hr).substr(1),
              parent, child);
}

IAccessible* ClientObject(HWND window)
{
    IAccessible* object = nullptr;
    const HRESULT hr = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                  AccessibilityGuids::kIAccessible,
                                                  reinterpret_cast<void**>(&object));
    if (FAILED(hr) || !object) {
        std::wprintf(L"object|%ls\n", Failure(hr).c_str());
        return nullptr;
    }
    return object;
}

}  // namespace

int PrintAccessible(HWND window)
{
    CComScope com;
    IAccessible* object = ClientObject(window);
    if (!object)
        return 1;
    long count = 0;
    const HRESULT hr = object->get_accChildCount(&count);
    std::wprintf(L"count|%ls|%ld\n", SUCCEEDED(hr) ? L"ok" : Failure(hr).c_str(), count);
    PrintLine(L"self", L"self", object, CHILDID_SELF);
    // No count read from outside is trusted to be small.
    for (long child = 1; SUCCEEDED(hr) && child <= count && child <= 64; ++child)
        PrintChild(object, child);
    object->Release();
    return 0;
}

int DoDefaultAction(HWND window, long child)
{
    CComScope com;
    IAccessible* object = ClientObject(window);
    if (!object)
        return 1;
    const HRESULT hr = object->accDoDefaultAction(ChildId(child));
    std::wprintf(L"%ls\n", SUCCEEDED(hr) ? L"ok" : Failure(hr).c_str());
    object->Release();
    return SUCCEEDED(hr) ? 0 : 1;
}
