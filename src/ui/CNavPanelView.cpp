#include "ui/CNavPanelView.h"

#include "ui/themed/CColorFill.h"
#include "ui/themed/CImageBlend.h"
#include "ui/themed/CImageLoader.h"

namespace {
constexpr COLORREF kPanelColour = RGB(185, 210, 239);
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW;
constexpr int kStripTop = 10;
constexpr int kStripBottom = 43;
constexpr int kCapWidth = 16;
constexpr int kSeatLeftOfCentre = 20;
constexpr int kSeatAboveCentre = 25;
constexpr int kSweepWidth = 23;
constexpr int kToolTipLength = 256;
// Past this a sweep would never be seen to end; it also keeps the
// conversion to whole milliseconds defined.
constexpr double kLongestSweepMs = 60.0 * 60.0 * 1000.0;

int Smaller(int a, int b) { return a < b ? a : b; }
}

CNavPanelView::~CNavPanelView()
{
    // The windows must not outlive the objects their procedures call into.
    if (IsWindow())
        DestroyWindow();
}

HWND CNavPanelView::Create(HWND parent, DWORD style, DWORD exStyle)
{
    const RECT empty{};
    return CWindowImpl::Create(parent, &empty, nullptr, style, exStyle);
}

RECT CNavPanelView::CentreStrip(const RECT& client, int halfWidth, CDpi dpi)
{
    if (IsRectEmpty(&client))
        return client;
    const int centre = (client.left + client.right) / 2;
    const int half = dpi.Scale(halfWidth);
    return RECT{centre - half, client.top + dpi.Scale(kStripTop), centre + half,
                client.top + dpi.Scale(kStripBottom)};
}

double CNavPanelView::SweepX(DWORD now, DWORD start, DWORD duration, int width)
{
    if (duration == 0)
        return width;
    // A difference of tick counts, so a sweep across the wrap of
    // GetTickCount runs like any other.
    return static_cast<double>(now - start) / duration * width;
}

DWORD CNavPanelView::SweepMilliseconds(double seconds)
{
    // Written so that NaN fails the test too.
    if (!(seconds > 0))
        return 0;
    const double ms = seconds * 1000.0;
    return static_cast<DWORD>(ms < kLongestSweepMs ? ms : kLongestSweepMs);
}

void CNavPanelView::SetHalfWidth(int halfWidth)
{
    m_halfWidth = halfWidth > 0 ? halfWidth : 0;
    if (!m_hWnd)
        return;
    LayOutButtons();
    Invalidate(FALSE);
}

void CNavPanelView::SetImages(UINT leftCap, UINT rightCap, UINT centreSeat, UINT middleStrip,
                              UINT sweepLight)
{
    const UINT ids[kImageCount] = {leftCap, rightCap, centreSeat, middleStrip, sweepLight};
    for (int slot = 0; slot < kImageCount; ++slot)
        m_images[slot].Attach(CImageLoader::LoadPng(ids[slot], m_dpi));
    if (m_hWnd)
        Invalidate(FALSE);
}

void CNavPanelView::SetButtons(const ButtonEntry* entries, int count)
{
    DestroyButtons();
    m_buttons.clear();
    for (int i = 0; entries && i < count; ++i) {
        Button button;
        button.entry = entries[i];
        m_buttons.push_back(std::move(button));
    }
    if (!m_hWnd)
        return;
    CreateButtons();
    LayOutButtons();
}

CFadeStateButtonCtrl* CNavPanelView::GetButton(int commandId) const
{
    for (const Button& button : m_buttons) {
        if (button.entry.commandId == commandId)
            return button.control.get();
    }
    return nullptr;
}

void CNavPanelView::StartSweep(double seconds)
{
    const DWORD duration = SweepMilliseconds(seconds);
    if (duration == 0)
        return;
    m_sweepDuration = duration;
    m_sweepStart = GetTickCount();
    if (m_hWnd)
        SetTimer(kSweepTimer, kSweepTimerPeriod);
}

LRESULT CNavPanelView::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    if (!m_notify)
        m_notify = ::GetParent(m_hWnd);
    CreateButtons();
    return 0;
}

LRESULT CNavPanelView::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    KillTimer(kSweepTimer);
    handled = FALSE;
    return 0;
}

void CNavPanelView::CreateButtons()
{
    for (Button& button : m_buttons)
        CreateButton(button);
}

void CNavPanelView::CreateButton(Button& button)
{
    const ButtonEntry& entry = button.entry;
    wchar_t toolTip[kToolTipLength] = L"";
    LoadStringW(GetModuleHandleW(nullptr), entry.toolTipId, toolTip, kToolTipLength);
    auto control = std::make_unique<CFadeStateButtonCtrl>();
    // The tip is the button's window text too, which it never paints: that
    // is the name assistive tools read for a button.
    if (!control->Create(m_hWnd, RECT{}, toolTip, kButtonStyle, 0,
                         static_cast<UINT>(entry.commandId)))
        return;
    control->SetToolTipText(toolTip);
    control->SetStyleFlags(entry.styleFlags);
    button.image.Attach(
        CImageLoader::LoadPng(entry.imageId, m_dpi, CFadeStateButtonCtrl::kFrameCount));
    control->SetImage(button.image);
    control->SizeToImage();
    button.control = std::move(control);
}

void CNavPanelView::DestroyButtons()
{
    for (Button& button : m_buttons) {
        if (button.control && button.control->IsWindow())
            button.control->DestroyWindow();
    }
}

RECT CNavPanelView::Strip() const
{
    RECT client{};
    GetClientRect(&client);
    return CentreStrip(client, m_halfWidth, m_dpi);
}

void CNavPanelView::LayOutButtons()
{
    // No z-order change: the buttons keep their creation order, which is
    // also their tab order.
    constexpr UINT kFlags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER;
    const RECT strip = Strip();
    HDWP batch = BeginDeferWindowPos(static_cast<int>(m_buttons.size()));
    for (const Button& button : m_buttons) {
        const POINT at = PlaceOf(button, strip);
        if (batch && button.control && button.control->IsWindow())
            batch = DeferWindowPos(batch, *button.control, nullptr, at.x, at.y, 0, 0, kFlags);
    }
    if (batch) {
        EndDeferWindowPos(batch);
        return;
    }
    // Without room for a batch each button moves on its own.
    for (const Button& button : m_buttons) {
        const POINT at = PlaceOf(button, strip);
        if (button.control && button.control->IsWindow())
            button.control->SetWindowPos(nullptr, at.x, at.y, 0, 0, kFlags);
    }
}

POINT CNavPanelView::PlaceOf(const Button& button, const RECT& strip) const
{
    return POINT{strip.left + m_dpi.Scale(button.entry.x),
                 strip.top + m_dpi.Scale(button.entry.y)};
}

void CNavPanelView::OnTimer(UINT_PTR timerId)
{
    if (timerId != kSweepTimer) {
        SetMsgHandled(FALSE);
        return;
    }
    // A hidden panel gets no WM_PAINT, where a sweep would end, and has no
    // light to show: the timer ends the sweep itself, when its time is up or
    // at once once hidden, or it would tick for as long as the panel is hidden.
    if (GetTickCount() - m_sweepStart >= m_sweepDuration || !IsWindowVisible())
        EndSweep();
    else
        Invalidate(FALSE);
}

void CNavPanelView::EndSweep()
{
    KillTimer(kSweepTimer);
    m_sweepDuration = m_sweepStart = 0;
    Invalidate(FALSE);
}

LRESULT CNavPanelView::OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // Only plain commands (a click) go on; the press notices of the buttons
    // would otherwise reach the frame as a second command.
    if (HIWORD(wParam) != 0)
        return 0;
    if (!m_notify || m_notify == m_hWnd)
        return 0;
    return ::SendMessageW(m_notify, WM_COMMAND, wParam, lParam);
}

void CNavPanelView::DoPaint(CDCHandle dc)
{
    if (dc.IsNull())
        return;
    RECT client{};
    GetClientRect(&client);
    CColorFill::Fill(dc, client, kPanelColour);
    const RECT strip = CentreStrip(client, m_halfWidth, m_dpi);
    const int cap = m_dpi.Scale(kCapWidth);
    PaintImage(dc, kLeftCap, RECT{strip.left, strip.top, strip.left + cap, strip.bottom}, false);
    PaintImage(dc, kRightCap, RECT{strip.right - cap, strip.top, strip.right, strip.bottom},
               false);
    PaintImage(dc, kMiddleStrip, RECT{strip.left + cap, strip.top, strip.right - cap, strip.bottom},
               true);
    const SIZE seat = CImageBlend::SizeOf(m_images[kCentreSeat]);
    const int seatLeft = (strip.left + strip.right) / 2 - m_dpi.Scale(kSeatLeftOfCentre);
    const int seatTop = (strip.top + strip.bottom) / 2 - m_dpi.Scale(kSeatAboveCentre);
    PaintImage(dc, kCentreSeat, RECT{seatLeft, seatTop, seatLeft + seat.cx, seatTop + seat.cy},
               false);
    PaintSweep(dc, client);
}

// The source is the image's top-left corner at the destination's size, or
// its whole width when stretched; never more than the image has, which
// AlphaBlend would refuse.
void CNavPanelView::PaintImage(CDCHandle dc, ImageSlot slot, const RECT& dest,
                               bool stretchWidth)
{
    const CBitmap& image = m_images[slot];
    if (image.IsNull())
        return;
    const SIZE size = CImageBlend::SizeOf(image);
    const int width = stretchWidth ? size.cx : Smaller(dest.right - dest.left, size.cx);
    const int height = Smaller(dest.bottom - dest.top, size.cy);
    CImageBlend::Draw(dc, dest, image, RECT{0, 0, width, height}, 255);
}

void CNavPanelView::PaintSweep(CDCHandle dc, const RECT& client)
{
    if (m_sweepDuration == 0)
        return;
    const DWORD now = GetTickCount();
    // Judged by time, not by position: a panel of no width still ends it.
    if (now - m_sweepStart >= m_sweepDuration) {
        EndSweep();
        return;
    }
    const double x = SweepX(now, m_sweepStart, m_sweepDuration, client.right - client.left);
    if (x > 0) {
        const int left = client.left + static_cast<int>(x);
        PaintImage(dc, kSweepLight,
                   RECT{left, client.top, left + m_dpi.Scale(kSweepWidth), client.bottom}, false);
    }
    SetTimer(kSweepTimer, kSweepTimerPeriod);
}
