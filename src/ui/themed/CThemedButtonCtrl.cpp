#include "ui/themed/CThemedButtonCtrl.h"

#include "ui/themed/CFocusCue.h"
#include "ui/themed/CImageLoader.h"
#include "ui/themed/CNineGrid.h"
#include "win/CDC.h"
#include "win/CScopedSelect.h"

namespace {
// The label read for drawing: 199 characters and the terminator.
constexpr int kLabelBuffer = 200;
// The focus line runs this far inside the face's edge, at 96 DPI.
constexpr int kFocusInset = 3;
}

BOOL CThemedButtonCtrl::SubclassWindow(HWND hwnd)
{
    if (!CWindowImpl::SubclassWindow(hwnd))
        return FALSE;
    Init();
    return TRUE;
}

HBITMAP CThemedButtonCtrl::LoadImageFor(HWND window, UINT pngId)
{
    return CImageLoader::LoadPng(pngId, CDpi::OfWindow(window), kFrameCount);
}

BOOL CThemedButtonCtrl::SubclassDialogButton(HWND dialog, int id, HBITMAP image, int border)
{
    if (!SubclassWindow(::GetDlgItem(dialog, id)))
        return FALSE;
    SetBackgroundSource(dialog);
    const int scaled = CDpi::OfWindow(dialog).Scale(border);
    SetImage(image, scaled, scaled, scaled, scaled);
    return TRUE;
}

void CThemedButtonCtrl::SetBackgroundSource(HWND source) { m_background.SetSource(source); }

void CThemedButtonCtrl::SetImage(HBITMAP image, int left, int top, int right, int bottom)
{
    m_image.Attach(image);
    m_borders = RECT{left, top, right, bottom};
    if (IsWindow())
        Invalidate();
}

void CThemedButtonCtrl::SetTextColors(COLORREF normal, COLORREF pressed, COLORREF hot)
{
    m_normalTextColor = normal;
    m_pressedTextColor = pressed;
    m_hotTextColor = hot;
    if (IsWindow())
        Invalidate();
}

int CThemedButtonCtrl::FrameFor(UINT itemState)
{
    int frame = kRestFrame;
    if (itemState & CDIS_HOT)
        frame = kHotFrame;
    if (itemState & CDIS_SELECTED)
        frame = kPressedFrame;
    if (itemState & CDIS_DISABLED)
        frame = kRestFrame;
    return frame;
}

COLORREF CThemedButtonCtrl::TextColorFor(UINT itemState) const
{
    if (itemState & CDIS_SELECTED)
        return m_pressedTextColor;
    if (itemState & CDIS_HOT)
        return m_hotTextColor;
    return m_normalTextColor;
}

void CThemedButtonCtrl::Init()
{
    m_background.SetSource(GetTopLevelWindow());
    m_normalTextColor = RGB(0, 0, 0);
    m_pressedTextColor = RGB(255, 255, 255);
    m_hotTextColor = RGB(255, 255, 255);
    m_borders = RECT{8, 8, 8, 8};
}

LRESULT CThemedButtonCtrl::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result != -1)
        Init();
    return result;
}

LRESULT CThemedButtonCtrl::OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_background.Drop();
    handled = FALSE;
    return 0;
}

LRESULT CThemedButtonCtrl::OnSetFont(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    m_font = reinterpret_cast<HFONT>(wParam);
    handled = FALSE;
    return 0;
}

// The keyboard cues were turned on or off: the focus line follows.
LRESULT CThemedButtonCtrl::OnUpdateUiState(UINT, WPARAM, LPARAM, BOOL& handled)
{
    Invalidate(FALSE);
    handled = FALSE;
    return 0;
}

// The system must draw nothing of its own look over ours.
DWORD CThemedButtonCtrl::OnPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_SKIPDEFAULT; }

DWORD CThemedButtonCtrl::OnPreErase(int, LPNMCUSTOMDRAW draw)
{
    Draw(*draw);
    return CDRF_SKIPDEFAULT;
}

void CThemedButtonCtrl::Draw(const NMCUSTOMDRAW& draw)
{
    m_background.Fill(m_hWnd, draw.hdc, draw.rc);
    DrawFrame(draw.hdc, draw.rc, FrameFor(draw.uItemState));
    DrawLabel(draw.hdc, draw.rc, draw.uItemState);
    DrawFocus(draw.hdc, draw.rc, draw.uItemState);
}

void CThemedButtonCtrl::DrawFocus(HDC dc, RECT rect, UINT itemState)
{
    if (!(itemState & CDIS_FOCUS) || CFocusCue::IsHidden(m_hWnd))
        return;
    const int inset = CDpi::OfWindow(m_hWnd).Scale(kFocusInset);
    InflateRect(&rect, -inset, -inset);
    CFocusCue::DrawRectangle(dc, rect);
}

void CThemedButtonCtrl::DrawFrame(HDC dc, const RECT& rect, int frame)
{
    SIZE size{};
    if (!m_image.GetSize(size))
        return;
    const int frameWidth = size.cx / kFrameCount;
    const RECT source{frame * frameWidth, 0, (frame + 1) * frameWidth, size.cy};
    CNineGrid::DrawImage(dc, rect, m_image, source, 255, m_borders);
}

void CThemedButtonCtrl::DrawLabel(HDC dc, RECT rect, UINT itemState)
{
    wchar_t text[kLabelBuffer] = L"";
    const int length = GetWindowText(text, kLabelBuffer);
    if (length <= 0)
        return;
    CDCHandle target(dc);
    CScopedSelect font(dc, m_font);
    const int oldMode = target.SetBkMode(TRANSPARENT);
    const COLORREF oldColor = target.SetTextColor(TextColorFor(itemState));
    target.DrawText(text, length, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    target.SetTextColor(oldColor);
    target.SetBkMode(oldMode);
}
