#include "CPasswordDlg.h"

namespace {
// The label stands out from the rest of the dialog by this many font units.
constexpr LONG kLabelGrowth = 2;
// One more than the characters taken from the field: a password stored in
// sixteen characters is compared on its first fourteen at most.
constexpr int kFieldReadLength = 15;
}

CPasswordDlg::CPasswordDlg(const wchar_t* prompt) : m_promptText(prompt) {}

CPasswordDlg::~CPasswordDlg() { DeleteLabelFont(); }

void CPasswordDlg::OnFinalMessage(HWND) { DeleteLabelFont(); }

LRESULT CPasswordDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_enteredPassword[0] = L'\0';
    MakeLabelFont();
    m_passwordField.SubclassWindow(GetDlgItem(IDC_PASSWORD_FIELD));
    m_label.m_hWnd = GetDlgItem(IDC_PASSWORD_LABEL);
    m_okButton.m_hWnd = GetDlgItem(IDOK);
    m_cancelButton.m_hWnd = GetDlgItem(IDCANCEL);
    ShowPrompt();
    CenterWindow();
    SetForegroundWindow(m_hWnd);
    // TRUE: the dialog manager focuses the first tab stop, the OK button.
    return TRUE;
}

LRESULT CPasswordDlg::OnOk(WORD, WORD id, HWND, BOOL&)
{
    ::GetWindowTextW(m_passwordField.m_hWnd, m_enteredPassword, kFieldReadLength);
    EndDialog(id);
    return 0;
}

LRESULT CPasswordDlg::OnCancel(WORD, WORD id, HWND, BOOL&)
{
    m_enteredPassword[0] = L'\0';
    EndDialog(id);
    return 0;
}

void CPasswordDlg::MakeLabelFont()
{
    DeleteLabelFont();
    LOGFONTW font{};
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!GetObjectW(dialogFont ? dialogFont : GetStockObject(DEFAULT_GUI_FONT), sizeof(font),
                    &font))
        return;
    // A negative height is a character height, a positive one a cell
    // height: either way the label grows away from zero.
    font.lfHeight += font.lfHeight < 0 ? -kLabelGrowth : kLabelGrowth;
    m_labelFont = CreateFontIndirectW(&font);
}

void CPasswordDlg::DeleteLabelFont()
{
    if (m_labelFont)
        DeleteObject(m_labelFont);
    m_labelFont = nullptr;
}

void CPasswordDlg::ShowPrompt()
{
    if (m_labelFont)
        m_label.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_labelFont), TRUE);
    m_label.SetWindowText(m_promptText.c_str());
}
