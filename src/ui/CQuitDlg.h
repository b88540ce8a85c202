#pragma once

#include <windows.h>

#include "base/CRegistryPath.h"
#include "res/resource.h"
#include "ui/themed/CBackgroundImage.h"
#include "ui/themed/CThemedButtonCtrl.h"
#include "ui/themed/CThemedCheckboxCtrl.h"
#include "ui/themed/CThemedImageCtrl.h"
#include "ui/themed/CThemedLabelCtrl.h"
#include "win/CBitmap.h"
#include "win/CDialogImpl.h"
#include "win/CFont.h"

// Asks before "Quit" ends the program. Ticking "Do not ask next time" and
// quitting stores that choice for good.
class CQuitDlg : public CDialogImpl<CQuitDlg> {
public:
    enum { IDD = IDD_QUIT };
    enum Result { kQuit = 1, kStay = 2 };

    explicit CQuitDlg(const CRegistryPath& settingsKey) : m_settingsKey(settingsKey) {}
    CQuitDlg(const CQuitDlg&) = delete;
    CQuitDlg& operator=(const CQuitDlg&) = delete;

    // Whether an earlier quit asked never to be asked again.
    static bool IsSkipped(const CRegistryPath& settingsKey);

    BEGIN_MSG_MAP(CQuitDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        COMMAND_ID_HANDLER(IDC_QUIT_CONFIRM, OnQuit)
        COMMAND_ID_HANDLER(IDOK, OnStay)
        COMMAND_ID_HANDLER(IDCANCEL, OnStay)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnQuit(WORD, WORD, HWND, BOOL&);
    LRESULT OnStay(WORD, WORD, HWND, BOOL&);
    void ThemeQuestion();
    void ThemePicture();

    const CRegistryPath& m_settingsKey;
    CBackgroundImage m_background;
    CBitmap m_buttonImage;
    CFont m_questionFont;
    CThemedLabelCtrl m_question;
    CThemedImageCtrl m_picture;
    CThemedCheckboxCtrl m_dontAsk;
    CThemedButtonCtrl m_quit;
    CThemedButtonCtrl m_cancel;
};
