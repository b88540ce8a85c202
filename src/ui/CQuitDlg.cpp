#include "ui/CQuitDlg.h"

#include "app/CSettingsTable.h"
#include "ui/themed/CThemeFonts.h"
#include "win/CDpi.h"

namespace {
constexpr UINT kQuestionFormat = DT_NOPREFIX | DT_SINGLELINE | DT_WORDBREAK;
constexpr int kButtonBorder = 6;
}

bool CQuitDlg::IsSkipped(const CRegistryPath& settingsKey)
{
    // A value that is missing or unreadable asks, as on the first quit.
    DWORD skip = 0;
    return settingsKey.ReadDword(CSettingsTable::Name(StoredValue::QUIT_NOCONFIRM), &skip) ==
               ERROR_SUCCESS &&
           skip != 0;
}

LRESULT CQuitDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_background.Load(IDB_DIALOG_BACKGROUND);
    m_questionFont.Attach(CThemeFonts::CreateEnlarged(GetFont(), CDpi::OfWindow(m_hWnd)));
    ThemeQuestion();
    ThemePicture();
    m_buttonImage.Attach(CThemedButtonCtrl::LoadImageFor(m_hWnd, IDB_DIALOG_BUTTON));
    if (m_dontAsk.SubclassWindow(GetDlgItem(IDC_QUIT_DONT_ASK)))
        m_dontAsk.SetBackgroundSource(m_hWnd);
    m_quit.SubclassDialogButton(m_hWnd, IDC_QUIT_CONFIRM, m_buttonImage, kButtonBorder);
    m_cancel.SubclassDialogButton(m_hWnd, IDCANCEL, m_buttonImage, kButtonBorder);
    CenterWindow(GetWindow(m_hWnd, GW_OWNER));
    SetForegroundWindow(m_hWnd);
    return TRUE;
}

void CQuitDlg::ThemeQuestion()
{
    if (!m_question.SubclassWindow(GetDlgItem(IDC_QUIT_QUESTION)))
        return;
    m_question.SetTextFormat(kQuestionFormat);
    m_question.SetFont(m_questionFont, TRUE);
    m_question.SetBackgroundSource(m_hWnd);
}

void CQuitDlg::ThemePicture()
{
    if (!m_picture.SubclassWindow(GetDlgItem(IDC_QUIT_PICTURE)))
        return;
    m_picture.SetImage(IDB_QUIT_QUESTION);
    m_picture.SetBackgroundSource(m_hWnd);
    m_picture.SizeToImage();
}

LRESULT CQuitDlg::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    RECT client{};
    GetClientRect(&client);
    handled = m_background.Paint(reinterpret_cast<HDC>(wParam), client);
    return 1;
}

LRESULT CQuitDlg::OnQuit(WORD, WORD, HWND, BOOL&)
{
    // A key that cannot be written loses only the choice; the quit goes on.
    if (m_dontAsk.GetCheck() == BST_CHECKED)
        m_settingsKey.WriteDword(CSettingsTable::Name(StoredValue::QUIT_NOCONFIRM), 1);
    EndDialog(kQuit);
    return 0;
}

LRESULT CQuitDlg::OnStay(WORD, WORD, HWND, BOOL&)
{
    EndDialog(kStay);
    return 0;
}
