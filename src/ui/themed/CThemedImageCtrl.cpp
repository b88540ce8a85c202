#include "ui/themed/CThemedImageCtrl.h"

#include "ui/themed/CImageBlend.h"
#include "ui/themed/CImageLoader.h"
#include "win/CPaintDC.h"

BOOL CThemedImageCtrl::SubclassWindow(HWND hwnd)
{
    if (!CWindowImpl::SubclassWindow(hwnd))
        return FALSE;
    Init();
    // A template's placeholder text ("SW", "Pic") is never painted, but the
    // assistive tools would read it out as the picture's name.
    SetWindowText(L"");
    return TRUE;
}

void CThemedImageCtrl::SetBackgroundSource(HWND source) { m_background.SetSource(source); }

void CThemedImageCtrl::SetImage(UINT id, const wchar_t* type)
{
    // A PNG is drawn at the DPI of the window it is shown in; other kinds as
    // they are stored.
    const bool png = type && !IS_INTRESOURCE(type) && lstrcmpW(type, L"PNG") == 0;
    m_image.Attach(png ? CImageLoader::LoadPng(id, CDpi::OfWindow(m_hWnd))
                       : CImageLoader::Load(MAKEINTRESOURCEW(id), type));
    if (IsWindow())
        Invalidate();
}

void CThemedImageCtrl::SizeToImage()
{
    SIZE image{};
    if (!IsWindow() || !m_image.GetSize(image))
        return;
    RECT window{};
    RECT client{};
    GetWindowRect(&window);
    GetClientRect(&client);
    // The frame, if the control has one, stays around the image.
    const int frameWidth = (window.right - window.left) - client.right;
    const int frameHeight = (window.bottom - window.top) - client.bottom;
    SetWindowPos(nullptr, 0, 0, image.cx + frameWidth, image.cy + frameHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

void CThemedImageCtrl::Init()
{
    m_background.SetSource(GetOutermostAncestor());
    Invalidate();
}

LRESULT CThemedImageCtrl::OnCreate(UINT message, WPARAM wParam, LPARAM lParam, BOOL&)
{
    const LRESULT result = DefWindowProc(message, wParam, lParam);
    if (result != -1)
        Init();
    return result;
}

void CThemedImageCtrl::OnPaint(HDC)
{
    CPaintDC paint(m_hWnd);
    Draw(paint);
}

LRESULT CThemedImageCtrl::OnPrintClient(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    Draw(reinterpret_cast<HDC>(wParam));
    return 0;
}

LRESULT CThemedImageCtrl::OnMoveOrSize(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_background.Drop();
    Invalidate();
    handled = FALSE;
    return 0;
}

void CThemedImageCtrl::Draw(HDC dc)
{
    if (!dc)
        return;
    RECT client{};
    GetClientRect(&client);
    m_background.Fill(m_hWnd, dc, client);
    const SIZE size = CImageBlend::SizeOf(m_image);
    CImageBlend::Draw(dc, client, m_image, RECT{0, 0, size.cx, size.cy}, 255);
}
