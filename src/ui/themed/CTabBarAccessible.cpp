#include "ui/themed/CTabBarAccessible.h"

#include "ui/themed/AccessibilityGuids.h"
#include "ui/themed/CThemedTabBar.h"

namespace {

void SetChildId(VARIANT* variant, long child)
{
    variant->vt = VT_I4;
    variant->lVal = child;
}

void SetEmpty(VARIANT* variant) { variant->vt = VT_EMPTY; }

HRESULT Text(const wchar_t* text, BSTR* out)
{
    *out = ::SysAllocString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

CTabBarAccessible::CTabBarAccessible(CThemedTabBar* bar) : m_bar(bar) {}

HRESULT CTabBarAccessible::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, AccessibilityGuids::kIAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CTabBarAccessible::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG CTabBarAccessible::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT CTabBarAccessible::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CTabBarAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CTabBarAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT CTabBarAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                  UINT*)
{
    return E_NOTIMPL;
}

int CTabBarAccessible::TabCount() const { return m_bar ? m_bar->GetTabCount() : 0; }

bool CTabBarAccessible::HasFocus() const { return m_bar && ::GetFocus() == m_bar->m_hWnd; }

long CTabBarAccessible::ChildOf(const VARIANT& child) const
{
    if (child.vt != VT_I4)
        return -1;
    if (child.lVal == CHILDID_SELF)
        return CHILDID_SELF;
    return child.lVal >= 1 && child.lVal <= TabCount() ? child.lVal : -1;
}

// The window's own object, which the system makes: it holds the bar's
// frame and places it among the frame's other children.
HRESULT CTabBarAccessible::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    return ::CreateStdAccessibleObject(m_bar->m_hWnd, OBJID_WINDOW, IID_IDispatch,
                                       reinterpret_cast<void**>(parent));
}

HRESULT CTabBarAccessible::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    *count = TabCount();
    return S_OK;
}

// The tabs are simple elements: the bar answers for them itself.
HRESULT CTabBarAccessible::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    return ChildOf(child) > 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT CTabBarAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    const long id = ChildOf(child);
    if (id < 0)
        return E_INVALIDARG;
    // The bar itself has no label; its tabs say what it holds.
    if (id == CHILDID_SELF)
        return S_FALSE;
    return Text(m_bar->GetTabText(id - 1), name);
}

HRESULT CTabBarAccessible::get_accValue(VARIANT, BSTR* value)
{
    if (value)
        *value = nullptr;
    return m_bar ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT CTabBarAccessible::get_accDescription(VARIANT, BSTR* description)
{
    if (description)
        *description = nullptr;
    return m_bar ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT CTabBarAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (!role)
        return E_POINTER;
    SetEmpty(role);
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    const long id = ChildOf(child);
    if (id < 0)
        return E_INVALIDARG;
    SetChildId(role, id == CHILDID_SELF ? ROLE_SYSTEM_PAGETABLIST : ROLE_SYSTEM_PAGETAB);
    return S_OK;
}

HRESULT CTabBarAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (!state)
        return E_POINTER;
    SetEmpty(state);
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    const long id = ChildOf(child);
    if (id < 0)
        return E_INVALIDARG;
    long flags = STATE_SYSTEM_FOCUSABLE;
    if (!m_bar->IsWindowVisible())
        flags |= STATE_SYSTEM_INVISIBLE;
    if (id == CHILDID_SELF) {
        if (HasFocus())
            flags |= STATE_SYSTEM_FOCUSED;
    } else {
        flags |= STATE_SYSTEM_SELECTABLE;
        const bool selected = m_bar->GetSelectedIndex() == id - 1;
        if (selected)
            flags |= STATE_SYSTEM_SELECTED;
        if (selected && HasFocus())
            flags |= STATE_SYSTEM_FOCUSED;
        if (m_bar->GetTabState(id - 1) & CThemedTabBar::kHot)
            flags |= STATE_SYSTEM_HOTTRACKED;
    }
    SetChildId(state, flags);
    return S_OK;
}

HRESULT CTabBarAccessible::get_accHelp(VARIANT, BSTR* help)
{
    if (help)
        *help = nullptr;
    return m_bar ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT CTabBarAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic)
{
    if (file)
        *file = nullptr;
    if (topic)
        *topic = 0;
    return m_bar ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

HRESULT CTabBarAccessible::get_accKeyboardShortcut(VARIANT, BSTR* shortcut)
{
    if (shortcut)
        *shortcut = nullptr;
    return m_bar ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

// The selected tab stands for the focus while the bar has it.
HRESULT CTabBarAccessible::get_accFocus(VARIANT* child)
{
    if (!child)
        return E_POINTER;
    SetEmpty(child);
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    if (!HasFocus())
        return S_FALSE;
    const int selected = m_bar->GetSelectedIndex();
    SetChildId(child, selected >= 0 ? selected + 1 : CHILDID_SELF);
    return S_OK;
}

HRESULT CTabBarAccessible::get_accSelection(VARIANT* children)
{
    if (!children)
        return E_POINTER;
    SetEmpty(children);
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    const int selected = m_bar->GetSelectedIndex();
    if (selected < 0)
        return S_FALSE;
    SetChildId(children, selected + 1);
    return S_OK;
}

HRESULT CTabBarAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (!action)
        return E_POINTER;
    *action = nullptr;
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    const long id = ChildOf(child);
    if (id < 0)
        return E_INVALIDARG;
    if (id == CHILDID_SELF)
        return DISP_E_MEMBERNOTFOUND;
    return Text(kDefaultAction, action);
}

// One tab is selected at a time: only taking the selection (and the
// focus) means anything.
HRESULT CTabBarAccessible::accSelect(long flags, VARIANT child)
{
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    const long id = ChildOf(child);
    constexpr long kMeaningful = SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION;
    if (id <= 0 || (flags & ~kMeaningful) || !(flags & kMeaningful))
        return E_INVALIDARG;
    if (flags & SELFLAG_TAKEFOCUS)
        m_bar->SetFocus();
    if (flags & SELFLAG_TAKESELECTION)
        m_bar->ActivateTab(id - 1);
    return S_OK;
}

HRESULT CTabBarAccessible::accLocation(long* left, long* top, long* width, long* height,
                                       VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    const long id = ChildOf(child);
    if (id < 0)
        return E_INVALIDARG;
    RECT place{};
    if (id == CHILDID_SELF) {
        m_bar->GetClientRect(&place);
    } else {
        place = m_bar->GetTabRect(id - 1);
    }
    ::MapWindowPoints(m_bar->m_hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&place), 2);
    *left = place.left;
    *top = place.top;
    *width = place.right - place.left;
    *height = place.bottom - place.top;
    return S_OK;
}

HRESULT CTabBarAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (!end)
        return E_POINTER;
    SetEmpty(end);
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    const long id = ChildOf(start);
    if (id < 0)
        return E_INVALIDARG;
    const long count = TabCount();
    long target = 0;
    if (id == CHILDID_SELF) {
        if (direction == NAVDIR_FIRSTCHILD)
            target = 1;
        else if (direction == NAVDIR_LASTCHILD)
            target = count;
        else
            // Among the frame's children: its own object answers that.
            return S_FALSE;
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) {
        target = id + 1;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) {
        target = id - 1;
    } else if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
        return E_INVALIDARG;  // a simple element has no children
    }
    if (target < 1 || target > count)
        return S_FALSE;
    SetChildId(end, target);
    return S_OK;
}

HRESULT CTabBarAccessible::accHitTest(long x, long y, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    SetEmpty(child);
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    POINT point{x, y};
    ::ScreenToClient(m_bar->m_hWnd, &point);
    RECT client{};
    m_bar->GetClientRect(&client);
    if (!PtInRect(&client, point))
        return S_FALSE;
    for (int i = 0; i < TabCount(); ++i) {
        const RECT tab = m_bar->GetTabRect(i);
        if (PtInRect(&tab, point)) {
            SetChildId(child, i + 1);
            return S_OK;
        }
    }
    SetChildId(child, CHILDID_SELF);
    return S_OK;
}

// As a click on the tab: its page is shown, then it lights.
HRESULT CTabBarAccessible::accDoDefaultAction(VARIANT child)
{
    if (!m_bar)
        return RPC_E_DISCONNECTED;
    const long id = ChildOf(child);
    if (id < 0)
        return E_INVALIDARG;
    if (id == CHILDID_SELF)
        return DISP_E_MEMBERNOTFOUND;
    m_bar->ActivateTab(id - 1);
    return S_OK;
}

HRESULT CTabBarAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }

HRESULT CTabBarAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }
