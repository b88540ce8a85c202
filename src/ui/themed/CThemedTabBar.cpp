#include "ui/themed/CThemedTabBar.h"

#include <windowsx.h>
#include <oleacc.h>

#include <cwchar>

#include "ui/themed/AccessibilityGuids.h"
#include "ui/themed/CBackgroundBrush.h"
#include "ui/themed/CFocusCue.h"
#include "ui/themed/CImageBlend.h"
#include "ui/themed/CImageLoader.h"
#include "ui/themed/CNineGrid.h"
#include "ui/themed/CTabBarAccessible.h"
#include "ui/themed/CThemeFonts.h"
#include "win/CClientDC.h"
#include "win/CPaintDC.h"
#include "win/CScopedSelect.h"

namespace {
constexpr UINT kBaseStripImage = 204;
constexpr UINT kTabImage = 205;
constexpr int kTabImageFrames = 5;
constexpr RECT kBaseStripBorders{4, 2, 4, 0};
constexpr RECT kTabBorders{14, 6, 14, 6};
constexpr int kFirstTabLeft = 16;
constexpr int kTabGap = 4;
constexpr int kTabTop = 4;
constexpr int kLabelPadding = 28;
constexpr int kTabHeightOverText = 14;
constexpr int kBarHeightOverTabs = 5;
constexpr UINT kLabelFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
// The focus line stands this far inside a tab, clear of its rounded ends.
constexpr int kFocusInsetX = 8;
constexpr int kFocusInsetY = 4;

// The flag a tab shows: selected outranks hot.
DWORD VisibleFlag(DWORD state)
{
    if (state & CThemedTabBar::kSelected)
        return CThemedTabBar::kSelected;
    return state & CThemedTabBar::kHot;
}

RECT WholeImage(HBITMAP image)
{
    const SIZE size = CImageBlend::SizeOf(image);
    return RECT{0, 0, size.cx, size.cy};
}
}

CThemedTabBar::~CThemedTabBar()
{
    // The window must not outlive the object its procedure calls into.
    if (IsWindow())
        DestroyWindow();
    DisconnectAccessible();
}

HWND CThemedTabBar::Create(HWND parent, DWORD style)
{
    const RECT empty{};
    return CWindowImpl::Create(parent, &empty, nullptr, style, 0);
}

RECT CThemedTabBar::LayoutTab(int x, SIZE text, int textHeight, CDpi dpi)
{
    const int top = dpi.Scale(kTabTop);
    return RECT{x, top, x + text.cx + dpi.Scale(kLabelPadding), top + textHeight + dpi.Scale(12)};
}

int CThemedTabBar::FadeWeight(DWORD start, DWORD end, DWORD now)
{
    // Differences of tick counts, so a fade across the 49-day wrap of
    // GetTickCount runs like any other.
    const DWORD length = end - start;
    const DWORD elapsed = now - start;
    if (length == 0 || elapsed >= length)
        return 255;
    return static_cast<int>(static_cast<unsigned long long>(elapsed) * 255 / length);
}

int CThemedTabBar::FrameOf(DWORD state)
{
    if (state & kSelected)
        return 1;
    if (state & kHot)
        return 3;
    return 0;
}

bool CThemedTabBar::AddTabs(const TabDescription* tabs, int count)
{
    if (!m_hWnd || !tabs || count <= 0)
        return false;
    CClientDC dc(m_hWnd);
    CScopedSelect font(dc, m_font);
    const int gap = m_dpi.Scale(kTabGap);
    int x = m_tabs.empty() ? m_dpi.Scale(kFirstTabLeft) : m_tabs.back().rect.right + gap;
    for (int i = 0; i < count; ++i) {
        TabItem tab;
        tab.id = tabs[i].id;
        // A label that fills its whole array has no terminator of its own.
        const size_t length = wcsnlen(tabs[i].text, _countof(tabs[i].text));
        const size_t kept = length < _countof(tab.text) ? length : _countof(tab.text) - 1;
        wmemcpy(tab.text, tabs[i].text, kept);
        tab.text[kept] = L'\0';
        tab.state = static_cast<DWORD>(tabs[i].state);
        tab.previousState = tab.state;
        SIZE text{};
        dc.GetTextExtent(tab.text, static_cast<int>(kept), &text);
        tab.rect = LayoutTab(x, text, m_textMetrics.tmHeight, m_dpi);
        x = tab.rect.right + gap;
        m_tabs.push_back(tab);
    }
    m_selected = -1;
    Select(0, true);
    return true;
}

BOOL CThemedTabBar::Select(int index, bool fade)
{
    if (index < 0 || index >= GetTabCount())
        return FALSE;
    ChangeTabStates(index, kSelected, fade ? kSelectionFadeMs : 0);
    m_selected = index;
    Invalidate();
    TellAssistiveTools(EVENT_OBJECT_SELECTION, index);
    if (::GetFocus() == m_hWnd)
        TellAssistiveTools(EVENT_OBJECT_FOCUS, index);
    return TRUE;
}

void CThemedTabBar::ActivateTab(int index)
{
    if (index < 0 || index >= GetTabCount())
        return;
    m_selected = index;
    Invalidate();
    SendTabCommand(m_tabs[index]);
    Select(index, true);
}

// A screen reader follows the selection and the focus by these events; the
// tab is named by its child id, as the bar's IAccessible numbers it.
void CThemedTabBar::TellAssistiveTools(DWORD event, int index)
{
    if (m_hWnd)
        ::NotifyWinEvent(event, m_hWnd, OBJID_CLIENT, index + 1);
}

const wchar_t* CThemedTabBar::GetTabText(int index) const
{
    return index >= 0 && index < GetTabCount() ? m_tabs[index].text : L"";
}

RECT CThemedTabBar::GetTabRect(int index) const
{
    return index >= 0 && index < GetTabCount() ? m_tabs[index].rect : RECT{};
}

DWORD CThemedTabBar::GetTabState(int index) const
{
    return index >= 0 && index < GetTabCount() ? m_tabs[index].state : 0;
}

bool CThemedTabBar::IsTabFading(int index) const
{
    if (index < 0 || index >= GetTabCount())
        return false;
    return FadeRuns(m_tabs[index].fadeStart, m_tabs[index].fadeEnd);
}

void CThemedTabBar::ChangeTabStates(int index, DWORD flags, DWORD fadeMs)
{
    const DWORD now = GetTickCount();
    for (int i = 0; i < GetTabCount(); ++i) {
        TabItem& tab = m_tabs[i];
        if (i == index) {
            // The tab that gains the flag shows it at once.
            if (tab.state & flags)
                continue;
            tab.previousState = tab.state;
            tab.state |= flags;
        } else {
            if (!(tab.state & flags))
                continue;
            if (VisibleFlag(tab.state) & flags)
                StartFade(tab, now, fadeMs);
            tab.previousState = tab.state;
            tab.state &= ~flags;
        }
        InvalidateRect(&tab.rect);
    }
}

void CThemedTabBar::StartFade(TabItem& tab, DWORD now, DWORD fadeMs)
{
    if (fadeMs == 0) {
        // An immediate change also ends a fade still running on the tab.
        tab.fadeStart = tab.fadeEnd = 0;
        return;
    }
    tab.fadeStart = now;
    tab.fadeEnd = now + fadeMs;
    SetTimer(kFadeTimer, kFadeTimerPeriod);
}

LRESULT CThemedTabBar::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    ModifyStyleEx(0, WS_EX_COMPOSITED);
    m_baseStrip.Attach(CImageLoader::LoadPng(kBaseStripImage, m_dpi));
    m_tabImage.Attach(CImageLoader::LoadPng(kTabImage, m_dpi, kTabImageFrames));
    m_background.SetSource(::GetParent(m_hWnd));
    if (!m_notify)
        m_notify = ::GetParent(m_hWnd);
    MakeLabelFont();
    {
        CClientDC dc(m_hWnd);
        CScopedSelect font(dc, m_font);
        dc.GetTextMetrics(&m_textMetrics);
    }
    m_tabHeight = m_textMetrics.tmHeight + m_dpi.Scale(kTabHeightOverText);
    FitHeightToTabs();
    return 0;
}

bool CThemedTabBar::MakeLabelFont()
{
    if (m_font.IsNull())
        m_font.Attach(CThemeFonts::CreateEnlargedMenuFont(m_dpi));
    return !m_font.IsNull();
}

void CThemedTabBar::FitHeightToTabs()
{
    RECT window{}, client{};
    GetWindowRect(&window);
    GetClientRect(&client);
    const int frameHeight = (window.bottom - window.top) - (client.bottom - client.top);
    SetWindowPos(nullptr, 0, 0, window.right - window.left,
                 frameHeight + m_tabHeight + m_dpi.Scale(kBarHeightOverTabs),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CThemedTabBar::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    KillTimer(kFadeTimer);
    DisconnectAccessible();
    // The tabs were laid out, and the font made, for this window's DPI; a bar
    // made again starts afresh.
    m_tabs.clear();
    m_selected = -1;
    m_font.Attach(nullptr);
    handled = FALSE;
    return 0;
}

void CThemedTabBar::OnPaint(HDC)
{
    CPaintDC dc(m_hWnd);
    DoPaint(dc);
}

LRESULT CThemedTabBar::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    DoPaint(CDCHandle(reinterpret_cast<HDC>(wParam)));
    return 0;
}

void CThemedTabBar::DoPaint(CDCHandle dc)
{
    if (dc.IsNull())
        return;
    RECT client{};
    GetClientRect(&client);
    PaintBackground(dc, client);
    PaintBaseStrip(dc, client);
    const DWORD now = GetTickCount();
    for (const TabItem& tab : m_tabs)
        PaintTab(dc, tab, now);
    PaintFocus(dc);
}

// Round the selected tab's label, inside the tab's rounded edges.
void CThemedTabBar::PaintFocus(CDCHandle dc)
{
    if (m_selected < 0 || m_selected >= GetTabCount() || !CFocusCue::IsShown(m_hWnd))
        return;
    RECT around = m_tabs[m_selected].rect;
    InflateRect(&around, -m_dpi.Scale(kFocusInsetX), -m_dpi.Scale(kFocusInsetY));
    CFocusCue::DrawRectangle(dc, around);
}

void CThemedTabBar::PaintBackground(CDCHandle dc, const RECT& client)
{
    m_background.Fill(m_hWnd, dc, client);
}

void CThemedTabBar::PaintBaseStrip(CDCHandle dc, const RECT& client)
{
    if (m_baseStrip.IsNull())
        return;
    const int inset = m_dpi.Scale(4);
    const RECT strip{client.left + inset, client.top + m_tabHeight, client.right - inset,
                     client.bottom};
    CNineGrid::DrawImage(dc, strip, m_baseStrip, WholeImage(m_baseStrip), 255,
                         m_dpi.Scale(kBaseStripBorders));
}

void CThemedTabBar::PaintTab(CDCHandle dc, const TabItem& tab, DWORD now)
{
    if (FadeRuns(tab.fadeStart, tab.fadeEnd)) {
        const int weight = FadeWeight(tab.fadeStart, tab.fadeEnd, now);
        PaintTabFrame(dc, tab.rect, FrameOf(tab.previousState), static_cast<BYTE>(255 - weight));
        PaintTabFrame(dc, tab.rect, FrameOf(tab.state), static_cast<BYTE>(weight));
    } else {
        PaintTabFrame(dc, tab.rect, FrameOf(tab.state), 255);
    }
    PaintLabel(dc, tab);
}

void CThemedTabBar::PaintTabFrame(CDCHandle dc, const RECT& rect, int frame, BYTE alpha)
{
    if (m_tabImage.IsNull())
        return;
    const RECT image = WholeImage(m_tabImage);
    const int frameWidth = image.right / kTabImageFrames;
    if (frameWidth <= 0)
        return;
    const RECT source{frame * frameWidth, 0, (frame + 1) * frameWidth, image.bottom};
    CNineGrid::DrawImage(dc, rect, m_tabImage, source, alpha, m_dpi.Scale(kTabBorders));
}

void CThemedTabBar::PaintLabel(CDCHandle dc, const TabItem& tab)
{
    CScopedSelect font(dc, m_font);
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc.SetTextColor(RGB(0, 0, 0));
    RECT rect = tab.rect;
    dc.DrawText(tab.text, -1, &rect, kLabelFormat);
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
}

void CThemedTabBar::OnTimer(UINT_PTR timerId)
{
    if (timerId != kFadeTimer) {
        SetMsgHandled(FALSE);
        return;
    }
    const DWORD now = GetTickCount();
    bool fading = false;
    for (TabItem& tab : m_tabs) {
        if (!FadeRuns(tab.fadeStart, tab.fadeEnd))
            continue;
        InvalidateRect(&tab.rect);
        if (FadeWeight(tab.fadeStart, tab.fadeEnd, now) >= 255)
            tab.fadeStart = tab.fadeEnd = 0;
        else
            fading = true;
    }
    if (!fading)
        KillTimer(kFadeTimer);
}

int CThemedTabBar::TabAt(LPARAM point) const
{
    const POINT pt{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    for (int i = 0; i < GetTabCount(); ++i) {
        if (PtInRect(&m_tabs[i].rect, pt))
            return i;
    }
    return -1;
}

LRESULT CThemedTabBar::OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    ChangeTabStates(TabAt(lParam), kHot, 0);
    if (!m_tracking) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
        m_tracking = TrackMouseEvent(&track) != FALSE;
    }
    return 0;
}

LRESULT CThemedTabBar::OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&)
{
    m_tracking = false;
    ChangeTabStates(-1, kHot, 0);
    return 0;
}

LRESULT CThemedTabBar::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    if (TabAt(lParam) < 0)
        return 0;
    // As a tab control does: the tabs clicked take the keyboard too.
    SetFocus();
    m_pressed = true;
    SetCapture();
    return 0;
}

LRESULT CThemedTabBar::OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&)
{
    // Only a press that began on a tab makes a click; a drag from elsewhere
    // that ends over the bar does not switch pages.
    const bool pressed = m_pressed;
    m_pressed = false;
    ReleaseCapture();
    const int index = TabAt(lParam);
    if (!pressed || index < 0)
        return 0;
    ActivateTab(index);
    return 0;
}

LRESULT CThemedTabBar::OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&)
{
    m_pressed = false;
    return 0;
}

void CThemedTabBar::SendTabCommand(const TabItem& tab)
{
    if (tab.id == 0 || !m_notify)
        return;
    ::SendMessageW(m_notify, WM_COMMAND, MAKEWPARAM(tab.id, 0), reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CThemedTabBar::OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL&)
{
    m_background.Drop();
    Invalidate();
    return 0;
}

// The arrows move to the tab beside the selected one, Home and End to the
// first and the last, as in a tab control; they stop at the ends.
int CThemedTabBar::TabForKey(UINT key) const
{
    const int count = GetTabCount();
    if (count == 0)
        return -1;
    int target = -1;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        target = m_selected - 1;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        target = m_selected + 1;
        break;
    case VK_HOME:
        target = 0;
        break;
    case VK_END:
        target = count - 1;
        break;
    default:
        return -1;
    }
    return target >= 0 && target < count && target != m_selected ? target : -1;
}

LRESULT CThemedTabBar::OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const int target = TabForKey(static_cast<UINT>(wParam));
    if (target < 0) {
        handled = FALSE;
        return 0;
    }
    ActivateTab(target);
    return 0;
}

LRESULT CThemedTabBar::OnFocusChange(UINT message, WPARAM, LPARAM, BOOL& handled)
{
    Invalidate();
    if (message == WM_SETFOCUS && m_selected >= 0)
        TellAssistiveTools(EVENT_OBJECT_FOCUS, m_selected);
    handled = FALSE;
    return 0;
}

LRESULT CThemedTabBar::OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL& handled)
{
    Invalidate();
    handled = FALSE;
    return 0;
}

// Only the client object is ours; the system answers for the window's frame.
LRESULT CThemedTabBar::OnGetObject(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    // Compared as a DWORD: on 64-bit Windows the id may come sign-extended or not.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) {
        handled = FALSE;
        return 0;
    }
    if (!m_accessible)
        m_accessible = new CTabBarAccessible(this);
    return ::LresultFromObject(AccessibilityGuids::kIAccessible, wParam, m_accessible);
}

void CThemedTabBar::DisconnectAccessible()
{
    if (!m_accessible)
        return;
    m_accessible->Disconnect();
    m_accessible->Release();
    m_accessible = nullptr;
}
