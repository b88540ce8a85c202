#pragma once

#include <windows.h>

#include "../res/resource.h"
#include "../win/CDialogImpl.h"
#include "CFixedText.h"
#include "CPasswordEditCtrl.h"

// Asks for one direction's password. The entered password stays empty
// unless the user confirms with OK; comparing it is the caller's business.
class CPasswordDlg : public CDialogImpl<CPasswordDlg> {
public:
    enum { IDD = IDD_PASSWORD };

    // The prompt is copied, cut to fit.
    explicit CPasswordDlg(const wchar_t* prompt);
    ~CPasswordDlg();
    CPasswordDlg(const CPasswordDlg&) = delete;
    CPasswordDlg& operator=(const CPasswordDlg&) = delete;

    const wchar_t* EnteredPassword() const { return m_enteredPassword; }
    const wchar_t* PromptText() const { return m_promptText.c_str(); }

    void OnFinalMessage(HWND) override;

    BEGIN_MSG_MAP(CPasswordDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    void MakeLabelFont();
    void DeleteLabelFont();
    void ShowPrompt();

    HFONT m_labelFont = nullptr;
    CWindow m_label;
    CPasswordEditCtrl m_passwordField;
    CWindow m_okButton;
    CWindow m_cancelButton;
    wchar_t m_enteredPassword[16] = {};
    CFixedText<100> m_promptText;
};
