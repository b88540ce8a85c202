#include "ui/CAboutDlg.h"

#include <shellapi.h>

#include <cwchar>

#include "app/CMyAppModule.h"
#include "base/CTextWriter.h"
#include "ui/themed/CTextFit.h"
#include "win/CDpi.h"

namespace {
constexpr UINT kLabelFormat = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
// A few pixels spare: the links centre their text, and a blank before the
// link keeps it from touching the year.
constexpr int kTextSpare = 6;
}

HWND CAboutDlg::CreatePage(HWND frame, int pageNumber, const CSettingsRecord&)
{
    m_pageNumber = pageNumber;
    if (!Create(frame))
        return nullptr;
    ShowVersion();
    return m_hWnd;
}

void CAboutDlg::ShowVersion()
{
    wchar_t text[32] = {};
    CTextWriter(text, 32).Letter(L'v').Text(g_module.m_version);
    m_version.SetWindowText(text);
    CTextFit::FitWidth(m_version.m_hWnd, PageFont(), CDpi::OfWindow(m_hWnd).Scale(kTextSpare));
}

LRESULT CAboutDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    ThemeImage(m_productName, IDC_ABOUT_NAME, IDB_PRODUCT_NAME);
    ThemeImage(m_logo, IDC_ABOUT_LOGO, IDB_LOGO);
    ThemeLabel(m_version, IDC_ABOUT_VERSION);
    ThemeLabel(m_copyright, IDC_ABOUT_COPYRIGHT);
    m_homePage.SubclassWindow(GetDlgItem(IDC_ABOUT_HOMEPAGE));
    m_support.SubclassWindow(GetDlgItem(IDC_ABOUT_SUPPORT));
    SetUpThemedPage();
    FitTextsToFont();
    DlgResize_Init(false, false);
    // The product's name and logo are pictures; the version line names it.
    m_names = m_makeNames ? m_makeNames() : nullptr;
    if (m_names)
        m_names->MarkAsGraphics(m_hWnd, {IDC_ABOUT_NAME, IDC_ABOUT_LOGO});
    return TRUE;
}

LRESULT CAboutDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_names.reset();
    handled = FALSE;
    return 0;
}

void CAboutDlg::ThemeImage(CThemedImageCtrl& image, int id, UINT pngId)
{
    if (!image.SubclassWindow(GetDlgItem(id)))
        return;
    image.SetImage(pngId);
    image.SizeToImage();
}

void CAboutDlg::ThemeLabel(CThemedLabelCtrl& label, int id)
{
    if (!label.SubclassWindow(GetDlgItem(id)))
        return;
    label.SetTextColor(RGB(0, 0, 0));
    label.SetTextFormat(kLabelFormat);
}

// The page font is the system's message font, whose width differs from one
// system to the next; "Copyright © 2026 Orvane Software." reads as one line
// only when each part is as wide as its own text.
void CAboutDlg::FitTextsToFont()
{
    const int spare = CDpi::OfWindow(m_hWnd).Scale(kTextSpare);
    CTextFit::FitWidth(m_copyright.m_hWnd, PageFont(), spare);
    CTextFit::FitWidth(m_support.m_hWnd, PageFont(), spare);
    CTextFit::FitWidth(m_homePage.m_hWnd, PageFont(), spare);
    RECT copyright{};
    if (!m_copyright.m_hWnd || !m_homePage.m_hWnd)
        return;
    m_copyright.GetWindowRect(&copyright);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&copyright), 2);
    ::SetWindowPos(m_homePage.m_hWnd, nullptr, copyright.right, copyright.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CAboutDlg::OnHomePage(WORD, WORD, HWND, BOOL&)
{
    Open(g_module.m_homePage);
    return 0;
}

LRESULT CAboutDlg::OnSupport(WORD, WORD, HWND, BOOL&)
{
    wchar_t address[96] = {};
    CTextWriter(address, 96).Text(L"mailto:").Text(g_module.m_supportAddress);
    Open(address);
    return 0;
}

void CAboutDlg::Open(const wchar_t* address)
{
    ShellExecuteW(m_hWnd, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
