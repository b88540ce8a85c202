#include "ui/CPasswordDlg.h"

#include "ui/CAccessibleNames.h"
#include "ui/themed/CThemeFonts.h"
#include "win/CDpi.h"

namespace {
// One more than the characters taken from the field: a password stored in
// sixteen characters is compared on its first fourteen at most.
constexpr int kFieldReadLength = 15;
constexpr UINT kLabelFormat = DT_NOPREFIX | DT_SINGLELINE | DT_WORDBREAK;
constexpr int kButtonBorder = 6;
}

CPasswordDlg::CPasswordDlg(const wchar_t* prompt, IForegroundWindow& foreground)
    : m_foreground(foreground), m_promptText(prompt)
{
}

CPasswordDlg::~CPasswordDlg() = default;

LRESULT CPasswordDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_enteredPassword[0] = L'\0';
    m_background.Load(IDB_DIALOG_BACKGROUND);
    m_labelFont.DeleteObject();
    m_labelFont.Attach(CThemeFonts::CreateEnlarged(GetFont(), CDpi::OfWindow(m_hWnd)));
    ThemeLabel();
    m_passwordField.SubclassWindow(GetDlgItem(IDC_PASSWORD_FIELD));
    m_names = CAccessibleNames::Make();
    m_names->Name(GetDlgItem(IDC_PASSWORD_FIELD), m_promptText.c_str());
    m_passwordField.TakeTextOnlyInForeground(&m_foreground);
    m_buttonImage.DeleteObject();
    m_buttonImage.Attach(CThemedButtonCtrl::LoadImageFor(m_hWnd, IDB_DIALOG_BUTTON));
    m_okButton.SubclassDialogButton(m_hWnd, IDOK, m_buttonImage, kButtonBorder);
    m_cancelButton.SubclassDialogButton(m_hWnd, IDCANCEL, m_buttonImage, kButtonBorder);
    CenterWindow();
    // The dialog manager shows the prompt only after this returns; the
    // foreground is asked for once it is on screen.
    ::PostMessageW(m_hWnd, kClaimForeground, 0, 0);
    // The user types at once and presses Enter: the field has the focus,
    // which FALSE tells the dialog manager to leave where it is.
    ::SetFocus(m_passwordField.m_hWnd);
    return FALSE;
}

// The trigger's input went to the hook, not to this process, so Windows may
// refuse the foreground. Keys then go to the window in front, which could be
// a chat window: the prompt flashes for the user to click it, and its field
// takes nothing typed meanwhile.
LRESULT CPasswordDlg::OnClaimForeground(UINT, WPARAM, LPARAM, BOOL&)
{
    const bool brought = m_foreground.Bring(m_hWnd);
    if (!brought || m_foreground.Current() != m_hWnd)
        m_foreground.Flash(m_hWnd);
    return 0;
}

void CPasswordDlg::ThemeLabel()
{
    HWND label = GetDlgItem(IDC_PASSWORD_LABEL);
    if (m_label.SubclassWindow(label)) {
        m_label.SetTextFormat(kLabelFormat);
        m_label.SetBackgroundSource(m_hWnd);
    }
    // Even a label that could not be themed shows the prompt.
    if (m_labelFont)
        ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(m_labelFont.m_hFont), TRUE);
    ::SetWindowTextW(label, m_promptText.c_str());
}

LRESULT CPasswordDlg::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    handled = m_background.Paint(reinterpret_cast<HDC>(wParam), client);
    return 1;
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
