#pragma once

#include <windows.h>

#include <initializer_list>
#include <memory>

#include "res/resource.h"
#include "settings/CHotkeyCode.h"
#include "ui/CAccessibleNames.h"
#include "ui/CHotkeyEditCtrl.h"
#include "ui/CPasswordEditCtrl.h"
#include "ui/IBasicPageReader.h"
#include "ui/ISettingsPage.h"
#include "ui/themed/CThemedCheckboxCtrl.h"
#include "ui/themed/CThemedDialogImpl.h"
#include "ui/themed/CThemedImageCtrl.h"
#include "ui/themed/CThemedLabelCtrl.h"
#include "win/CDialogResize.h"
#include "win/CDpi.h"
#include "win/CFont.h"
#include "win/CToolTipDialog.h"

// The "Basic Settings" page: what switches the desktop, how the program
// sits in the system, and the two passwords. It only shows values and hands
// back what the user set; the frame applies them. Its own logic is greying
// each field whose check box is off.
class CBasicSettingsDlg : public CThemedDialogImpl<CBasicSettingsDlg>,
                          public CToolTipDialog<CBasicSettingsDlg>,
                          public CDialogResize<CBasicSettingsDlg>,
                          public ISettingsPage,
                          public IBasicPageReader {
public:
    enum { IDD = IDD_BASIC };

    // The longest password read back from a box: the password prompt reads
    // no more, so a longer one could never be typed there.
    static constexpr int kPasswordReadLength = 14;

    explicit CBasicSettingsDlg(AccessibleNamesFactory makeNames = CAccessibleNames::Make)
        : m_makeNames(std::move(makeNames))
    {
    }
    CBasicSettingsDlg(const CBasicSettingsDlg&) = delete;
    CBasicSettingsDlg& operator=(const CBasicSettingsDlg&) = delete;

    HWND CreatePage(HWND frame, int pageNumber, const CSettingsRecord& settings) override;
    bool IsCreated() const { return m_hWnd && ::IsWindow(m_hWnd); }

    void ShowMiddleButton(DWORD on);
    void ShowBothButtons(DWORD on);
    void ShowSwitchHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift, DWORD alt);
    void ShowAutostart(DWORD on);
    void ShowTrayIcon(DWORD on);
    void ShowUpdateCheck(DWORD on);
    void ShowSettingsHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift, DWORD alt);
    void ShowSwitchPassword(DWORD enabled, const wchar_t* text);
    void ShowRestorePassword(DWORD enabled, const wchar_t* text);

    // 1 only for a box that is fully checked.
    DWORD IsChecked(int checkBoxId) const override;
    // The code of IDC_SW_HOTKEY or IDC_SS_HOTKEY, no key unless one was
    // captured; any other id reads as no hot key at all.
    CHotkeyCode ReadHotKey(int editId, DWORD enabled) const override;
    // At most kPasswordReadLength characters, always terminated; empty when
    // the box is missing.
    void ReadPassword(int editId, wchar_t (&text)[16]) const override;
    void SelectForCorrection(int controlId) const override;

    BEGIN_DLGRESIZE_MAP(CBasicSettingsDlg)
    END_DLGRESIZE_MAP()

    BEGIN_MSG_MAP(CBasicSettingsDlg)
        CHAIN_MSG_MAP(CToolTipDialog<CBasicSettingsDlg>)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_HANDLER(IDC_SW_HOTKEY_ENABLED, BN_CLICKED, OnDependentClicked)
        COMMAND_HANDLER(IDC_SS_HOTKEY_ENABLED, BN_CLICKED, OnDependentClicked)
        COMMAND_HANDLER(IDC_PWD_ORIG_ENABLED, BN_CLICKED, OnDependentClicked)
        COMMAND_HANDLER(IDC_PWD_VIRT_ENABLED, BN_CLICKED, OnDependentClicked)
        CHAIN_MSG_MAP(CThemedDialogImpl<CBasicSettingsDlg>)
        CHAIN_MSG_MAP(CDialogResize<CBasicSettingsDlg>)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    // The boxes are named after their lines, the icons marked as pictures.
    void NameForAssistiveTools();
    LRESULT OnDependentClicked(WORD, WORD id, HWND, BOOL&);

    void ThemeSection(CThemedImageCtrl& icon, int iconId, UINT pngId, CThemedLabelCtrl& title,
                      int titleId);
    void ThemeCheckBox(CThemedCheckboxCtrl& box, int id);
    void ThemePasswordBox(CPasswordEditCtrl& box, int id);
    void SetSectionFonts();
    void SetHotKeyFonts();
    void FitLayoutToPageFont();
    // Makes the control as wide as its text in its own font, plus spare.
    void FitToText(int id, int spare);
    // A gap of the 96 DPI layout at this page's DPI.
    int Scaled(int pixels) const { return CDpi::OfWindow(m_hWnd).Scale(pixels); }
    bool PlaceOf(int id, RECT& place) const;
    int RightEdgeOf(std::initializer_list<int> ids) const;
    void MoveClearOf(std::initializer_list<int> ids, int left);
    void FillFrom(const CSettingsRecord& settings);

    void Check(int checkBoxId, DWORD on);
    void Enable(int controlId, DWORD on);
    void SyncDependents(int checkBoxId);
    static void ShowHotKey(CHotkeyEditCtrl& box, DWORD key, DWORD ctrl, DWORD shift, DWORD alt);
    void ShowPassword(int entryId, int confirmationId, const wchar_t* text);

    CFont m_sectionFont;
    CFont m_hotkeyFont;
    AccessibleNamesFactory m_makeNames;
    std::unique_ptr<IAccessibleNames> m_names;

    CThemedImageCtrl m_triggersIcon;
    CThemedLabelCtrl m_triggersTitle;
    CThemedCheckboxCtrl m_middleButton;
    CThemedCheckboxCtrl m_bothButtons;
    CThemedCheckboxCtrl m_switchHotKeyEnabled;
    CHotkeyEditCtrl m_switchHotKey;

    CThemedImageCtrl m_systemIcon;
    CThemedLabelCtrl m_systemTitle;
    CThemedCheckboxCtrl m_autostart;
    CThemedCheckboxCtrl m_trayIcon;
    CThemedCheckboxCtrl m_updateCheck;
    CThemedCheckboxCtrl m_settingsHotKeyEnabled;
    CHotkeyEditCtrl m_settingsHotKey;

    CThemedImageCtrl m_passwordsIcon;
    CThemedLabelCtrl m_passwordsTitle;
    CThemedCheckboxCtrl m_restorePasswordEnabled;
    CPasswordEditCtrl m_restorePassword;
    CPasswordEditCtrl m_restorePasswordConfirmation;
    CThemedCheckboxCtrl m_switchPasswordEnabled;
    CPasswordEditCtrl m_switchPassword;
    CPasswordEditCtrl m_switchPasswordConfirmation;
};
