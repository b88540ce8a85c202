#pragma once

#include <windows.h>

#include "res/resource.h"
#include <memory>

#include "base/CFixedText.h"
#include "ui/CPasswordEditCtrl.h"
#include "ui/IAccessibleNames.h"
#include "ui/themed/CBackgroundImage.h"
#include "ui/themed/CThemedButtonCtrl.h"
#include "ui/themed/CThemedDialogImpl.h"
#include "ui/themed/CThemedLabelCtrl.h"
#include "win/CBitmap.h"
#include "win/CFont.h"
#include "win/CSystemForegroundWindow.h"
#include "win/IForegroundWindow.h"

// Asks for one direction's password. The entered password stays empty
// unless the user confirms with OK; comparing it is the caller's business.
class CPasswordDlg : public CThemedDialogImpl<CPasswordDlg> {
public:
    enum { IDD = IDD_PASSWORD };

    // Posted to itself once it is shown, to claim the foreground.
    static constexpr UINT kClaimForeground = WM_APP + 1;

    // The prompt is copied, cut to fit. The foreground is the system's but
    // in tests, and must outlive the dialog.
    explicit CPasswordDlg(const wchar_t* prompt,
                          IForegroundWindow& foreground = CSystemForegroundWindow::Instance());
    ~CPasswordDlg();
    CPasswordDlg(const CPasswordDlg&) = delete;
    CPasswordDlg& operator=(const CPasswordDlg&) = delete;

    const wchar_t* EnteredPassword() const { return m_enteredPassword; }
    const wchar_t* PromptText() const { return m_promptText.c_str(); }

    BEGIN_MSG_MAP(CPasswordDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(kClaimForeground, OnClaimForeground)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
        CHAIN_MSG_MAP(CThemedDialogImpl<CPasswordDlg>)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClaimForeground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    void ThemeLabel();

    IForegroundWindow& m_foreground;
    // The images and the font outlive the controls that draw with them.
    CBackgroundImage m_background;
    CBitmap m_buttonImage;
    CFont m_labelFont;
    CThemedLabelCtrl m_label;
    CPasswordEditCtrl m_passwordField;
    CThemedButtonCtrl m_okButton;
    CThemedButtonCtrl m_cancelButton;
    wchar_t m_enteredPassword[16] = {};
    CFixedText<100> m_promptText;
    // The field is named by the prompt for assistive tools.
    std::unique_ptr<IAccessibleNames> m_names;
};
