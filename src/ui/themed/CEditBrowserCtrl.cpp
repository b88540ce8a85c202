#include "ui/themed/CEditBrowserCtrl.h"

#include <commctrl.h>

#include <algorithm>

#include "win/CBitmap.h"
#include "win/CBrush.h"
#include "win/CDC.h"
#include "win/CScopedSelect.h"
#include "win/CWindowDC.h"

namespace {

struct FaceColours {
    COLORREF top, upperMid, lowerMid, bottom;
};

constexpr FaceColours kNormalFace{RGB(234, 246, 253), RGB(215, 239, 252), RGB(189, 230, 253),
                                  RGB(166, 217, 244)};
constexpr FaceColours kPressedFace{RGB(194, 228, 246), RGB(194, 228, 246), RGB(169, 217, 242),
                                   RGB(146, 204, 236)};
constexpr COLORREF kEdgeLine = RGB(127, 157, 185);
// Smaller than this the arrow has no room and the face would be noise.
constexpr int kSmallestFace = 3;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Signed: on a second monitor to the left, screen x is negative.
POINT PointOf(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// The gradients meet a little above the centre, as on the system's own
// glassy buttons.
int MiddleOf(int height) { return std::clamp(height / 2 - 2, 0, height); }

}  // namespace

CEditBrowserCtrl::~CEditBrowserCtrl() { DestroyToolTip(); }

BOOL CEditBrowserCtrl::SubclassWindow(HWND hwnd)
{
    if (!CWindowImpl<CEditBrowserCtrl>::SubclassWindow(hwnd))
        return FALSE;
    m_owner = ::GetParent(hwnd);
    RECT place{};
    GetWindowRect(&place);
    ::MapWindowPoints(HWND_DESKTOP, m_owner, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(nullptr, &place, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

int CEditBrowserCtrl::ButtonWidthFor(int configured, int clientHeight)
{
    if (configured == kWidthFromHeight)
        return std::max(0, clientHeight) * 4 / 5;
    return std::max(0, configured);
}

CEditBrowserCtrl::FrameLayout CEditBrowserCtrl::LayOutFrame(const RECT& window, const RECT& client,
                                                            int buttonWidth)
{
    // A box narrower than its button keeps an empty client area rather than
    // one whose right edge lies left of its left.
    const int width = std::clamp(buttonWidth, 0, std::max(0, Width(client)));
    FrameLayout layout{client, client};
    layout.client.right -= width;
    layout.button.left = client.right - width;
    // The default handling gives the client rectangle in the coordinates
    // the window rectangle came in; the button is kept relative to the
    // window's own corner, where the non-client messages measure.
    OffsetRect(&layout.button, -window.left, -window.top);
    layout.button.top -= 1;
    layout.button.right += 1;
    layout.button.bottom += 1;
    return layout;
}

void CEditBrowserCtrl::ArrowPoints(int width, int height, POINT (&corners)[3])
{
    const int dx = static_cast<int>(0.4 * width);
    const int dy = static_cast<int>(0.35 * height);
    corners[0] = POINT{dx, dy};
    corners[1] = POINT{dx, height - dy};
    corners[2] = POINT{width - dx, MiddleOf(height) + 2};
}

LRESULT CEditBrowserCtrl::OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // With wParam set the first rectangle is the proposed window rectangle
    // on the way in and the client rectangle on the way out; otherwise lParam
    // is that one rectangle alone. The window's corner is taken before the
    // default handling overwrites it: the second rectangle of the
    // parameters still holds where the window was, not where it goes.
    RECT* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                        : reinterpret_cast<RECT*>(lParam);
    const RECT window = *rect;
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    const int width = ButtonWidthFor(m_buttonWidth, Height(*rect));
    const FrameLayout layout = LayOutFrame(window, *rect, width);
    *rect = layout.client;
    m_button = layout.button;
    PlaceToolTip();
    return result;
}

bool CEditBrowserCtrl::IsOverButton(POINT screen) const
{
    RECT window{};
    GetWindowRect(&window);
    const POINT inWindow{screen.x - window.left, screen.y - window.top};
    return PtInRect(&m_button, inWindow) != FALSE;
}

LRESULT CEditBrowserCtrl::OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT hit = DefWindowProc(message, wParam, lParam);
    if (hit == HTNOWHERE && IsOverButton(PointOf(lParam)))
        return HTBORDER;
    return hit;
}

LRESULT CEditBrowserCtrl::OnNcLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    // The system gives a disabled box no mouse input; a message posted to it
    // all the same must not start a browse either.
    if (!IsWindowEnabled() || !IsOverButton(PointOf(lParam)))
        return result;
    SetFocus();
    SetCapture();
    m_pressed = true;
    DrawButton(Look::kPressed);
    return result;
}

LRESULT CEditBrowserCtrl::OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    // The edit never saw the press that began on the button, so it gets no
    // release either: its own handling could drop the capture and end the
    // press before the click is counted.
    if (!m_pressed)
        return DefWindowProc(message, wParam, lParam);
    // Cleared before the capture goes, so WM_CAPTURECHANGED finds nothing
    // left to undo.
    m_pressed = false;
    ReleaseCapture();
    DrawButton(CurrentLook());
    POINT point = PointOf(lParam);
    ::ClientToScreen(m_hWnd, &point);
    if (IsOverButton(point))
        Browse();
    return 0;
}

// Another window took the mouse (a menu, a switch to another program): the
// press is over without a click.
LRESULT CEditBrowserCtrl::OnCaptureChanged(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (m_pressed) {
        m_pressed = false;
        DrawButton(CurrentLook());
    }
    return result;
}

LRESULT CEditBrowserCtrl::OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    DrawButton(m_pressed ? Look::kPressed : CurrentLook());
    return result;
}

// The edit repaints only its client area when enabled or disabled; the
// button would keep the look it had.
LRESULT CEditBrowserCtrl::OnEnable(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (!wParam)
        m_pressed = false;
    DrawButton(CurrentLook());
    return result;
}

bool CEditBrowserCtrl::OpensChooser(UINT message, UINT key)
{
    if (message == WM_KEYDOWN)
        return key == VK_F4;
    return message == WM_SYSKEYDOWN && (key == VK_DOWN || key == VK_UP);
}

LRESULT CEditBrowserCtrl::OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (!OpensChooser(message, static_cast<UINT>(wParam)))
        return DefWindowProc(message, wParam, lParam);
    Browse();
    return 0;
}

// A disabled box takes no keys from the user; a message sent to it all the
// same must not open anything either.
void CEditBrowserCtrl::Browse()
{
    if (IsWindowEnabled() && m_owner)
        ::SendMessageW(m_owner, WM_EDIT_BROWSE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CEditBrowserCtrl::SetButtonToolTip(const wchar_t* text)
{
    m_toolTipText = text ? text : L"";
    DestroyToolTip();
    if (!m_hWnd || m_toolTipText.empty())
        return;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    m_toolTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!m_toolTip)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_hWnd;
    tool.uId = 1;
    tool.rect = ButtonInClient();
    tool.lpszText = m_toolTipText.data();
    ::SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

RECT CEditBrowserCtrl::ButtonInClient() const
{
    RECT window{};
    GetWindowRect(&window);
    POINT origin{0, 0};
    ::ClientToScreen(m_hWnd, &origin);
    RECT button = m_button;
    OffsetRect(&button, window.left - origin.x, window.top - origin.y);
    return button;
}

void CEditBrowserCtrl::PlaceToolTip()
{
    if (!m_toolTip)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_hWnd;
    tool.uId = 1;
    tool.rect = ButtonInClient();
    ::SendMessageW(m_toolTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The button lies in the non-client area, where the tool tip sees no mouse
// of its own: the box hands it every move, over the button as a move in
// client coordinates, where the tool's rectangle is.
LRESULT CEditBrowserCtrl::OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled)
{
    handled = FALSE;
    if (!m_toolTip)
        return 0;
    POINT point = PointOf(lParam);
    if (message == WM_NCMOUSEMOVE)
        ::ScreenToClient(m_hWnd, &point);
    const DWORD position = ::GetMessagePos();
    MSG relayed{m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y),
                static_cast<DWORD>(::GetMessageTime()),
                POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))}};
    ::SendMessageW(m_toolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    return 0;
}

LRESULT CEditBrowserCtrl::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    DestroyToolTip();
    handled = FALSE;
    return 0;
}

void CEditBrowserCtrl::DestroyToolTip()
{
    if (m_toolTip && ::IsWindow(m_toolTip))
        ::DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
}

CEditBrowserCtrl::Look CEditBrowserCtrl::CurrentLook() const
{
    const bool disabled = (GetStyle() & WS_DISABLED) != 0 || !IsWindowEnabled();
    return disabled ? Look::kDisabled : Look::kNormal;
}

void CEditBrowserCtrl::DrawButton(Look look)
{
    if (CurrentLook() == Look::kDisabled)
        look = Look::kDisabled;
    const int width = Width(m_button);
    const int height = Height(m_button);
    if (width < kSmallestFace || height < kSmallestFace)
        return;
    CWindowDC target(m_hWnd);
    if (target.IsNull())
        return;
    // Drawn off screen and copied in one go, so the face never flickers
    // through its gradients.
    CDC memory;
    CBitmap face;
    if (!memory.CreateCompatibleDC(target) || !face.CreateCompatibleBitmap(target, width, height))
        return;
    CScopedSelect selected(memory, face);
    if (!selected.Selected())
        return;
    PaintFace(memory, width, height, look);
    target.BitBlt(m_button.left, m_button.top, width, height, memory, 0, 0, SRCCOPY);
}

void CEditBrowserCtrl::PaintFace(HDC dc, int width, int height, Look look)
{
    CDCHandle canvas(dc);
    const RECT all{0, 0, width, height};
    if (look == Look::kDisabled) {
        canvas.FillRect(all, ::GetSysColorBrush(COLOR_INACTIVEBORDER));
        return;
    }
    const FaceColours& colours = look == Look::kPressed ? kPressedFace : kNormalFace;
    const int middle = MiddleOf(height);
    canvas.GradientFillVertical(RECT{0, 0, width, middle}, colours.top, colours.upperMid);
    canvas.GradientFillVertical(RECT{0, middle, width, height}, colours.lowerMid, colours.bottom);
    CBrush edge;
    if (edge.CreateSolidBrush(kEdgeLine))
        canvas.FillRect(RECT{0, 0, 1, height}, edge);
    POINT arrow[3];
    ArrowPoints(width, height, arrow);
    CScopedSelect pen(dc, ::GetStockObject(BLACK_PEN));
    CScopedSelect brush(dc, ::GetStockObject(BLACK_BRUSH));
    canvas.Polygon(arrow, 3);
}
