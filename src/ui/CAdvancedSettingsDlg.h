#pragma once

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/ISettingsPages.h"
#include "ui/CAccessibleNames.h"
#include "ui/IAdvancedPageReader.h"
#include "ui/ISettingsPage.h"
#include "ui/themed/CEditBrowserCtrl.h"
#include "ui/themed/CThemedCheckboxCtrl.h"
#include "ui/themed/CThemedDialogImpl.h"
#include "ui/themed/CThemedImageCtrl.h"
#include "ui/themed/CThemedLabelCtrl.h"
#include "win/CDialogResize.h"
#include "win/CFont.h"
#include "win/CToolTipDialog.h"

// The "Advanced Settings" page: what runs right after the switch to the
// private desktop. It only shows and collects values; the apply operations
// fill it and the "Apply" command reads it. A chosen file or list of
// processes stays here until then.
class CAdvancedSettingsDlg : public CThemedDialogImpl<CAdvancedSettingsDlg>,
                             public CToolTipDialog<CAdvancedSettingsDlg>,
                             public CDialogResize<CAdvancedSettingsDlg>,
                             public ISettingsPage,
                             public IAdvancedPageReader {
public:
    enum { IDD = IDD_ADVANCED };

    static constexpr int kTextChars = 260;  // terminator included

    // The system's open-file dialog, its message box and the process picker
    // are parameters so that tests can answer them without a person.
    using FileChooser = std::function<BOOL(OPENFILENAMEW&)>;
    using MessageBoxFunction = std::function<int(HWND, const wchar_t*, const wchar_t*, UINT)>;
    // True on OK, with names replaced by the choice.
    using ProcessPicker = std::function<bool(HWND owner, std::vector<std::wstring>& names)>;

    explicit CAdvancedSettingsDlg(FileChooser chooseFile = ShowOpenFileDialog,
                                  MessageBoxFunction messageBox = ::MessageBoxW,
                                  ProcessPicker pickProcesses = PickWithProcessDlg,
                                  AccessibleNamesFactory makeNames = CAccessibleNames::Make);
    CAdvancedSettingsDlg(const CAdvancedSettingsDlg&) = delete;
    CAdvancedSettingsDlg& operator=(const CAdvancedSettingsDlg&) = delete;

    HWND CreatePage(HWND frame, int pageNumber, const CSettingsRecord& settings) override;
    bool IsCreated() const;

    void ShowAction(ISettingsPages::Action action, DWORD on);
    void ShowProcesses(DWORD on, const std::vector<std::wstring>& names);
    void ShowWindowTitle(DWORD enabled, const wchar_t* text);
    void ShowFile(DWORD enabled, const wchar_t* text);
    void ShowWebSite(DWORD enabled, const wchar_t* text);

    // 1 only for BST_CHECKED.
    DWORD IsChecked(int checkBoxId) const override;
    // At most 259 characters and the terminator; empty when there is no box.
    void ReadText(int editId, wchar_t (&text)[kTextChars]) const override;
    // What "Apply" stores: the page's list, never the box's text.
    const std::vector<std::wstring>& Processes() const override { return m_processes; }

    // Names followed by ";", as many whole names as fit in 259 characters.
    static std::wstring ProcessesText(const std::vector<std::wstring>& names);
    // A stored text as its box shows it: at most 259 characters.
    static std::wstring TextAsShown(const wchar_t* text);
    // Whether a chosen path names a program by its extension.
    static bool IsExecutablePath(const wchar_t* path);
    // The folder a chosen file is in, for the chooser to open in; empty for
    // a bare name.
    static std::wstring FolderOf(const wchar_t* path);
    // Where the second column starts so that the first column's widest
    // check box fits before it; never left of where the template put it.
    static int SecondColumnLeft(int firstLeft, int widestFirst, int templateLeft,
                                CDpi dpi = CDpi());

    BEGIN_DLGRESIZE_MAP(CAdvancedSettingsDlg)
        DLGRESIZE_CONTROL(IDC_AC_BROWSERHISTORY, DLSZ_SIZE_X)
        DLGRESIZE_CONTROL(IDC_AC_IEURLS, DLSZ_SIZE_X)
        DLGRESIZE_CONTROL(IDC_AC_RECENTDOC, DLSZ_SIZE_X)
        DLGRESIZE_CONTROL(IDC_AC_FILE_PATH, DLSZ_SIZE_X)
        DLGRESIZE_CONTROL(IDC_AC_WEBSITE_URL, DLSZ_SIZE_X)
        DLGRESIZE_CONTROL(IDC_AC_PROCESSES, DLSZ_SIZE_X)
        DLGRESIZE_CONTROL(IDC_AC_WINDOWS_TITLE, DLSZ_SIZE_X)
    END_DLGRESIZE_MAP()

    BEGIN_MSG_MAP(CAdvancedSettingsDlg)
        CHAIN_MSG_MAP(CToolTipDialog<CAdvancedSettingsDlg>)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_EDIT_BROWSE, OnBrowse)
        COMMAND_CODE_HANDLER(BN_CLICKED, OnCheckBoxClicked)
        CHAIN_MSG_MAP(CThemedDialogImpl<CAdvancedSettingsDlg>)
        CHAIN_MSG_MAP(CDialogResize<CAdvancedSettingsDlg>)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    void NameForAssistiveTools();
    LRESULT OnBrowse(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnCheckBoxClicked(WORD, WORD id, HWND, BOOL& handled);

    void ThemeHeader();
    void ThemeCheckBoxes();
    void AttachEditBoxes();
    void FitColumnsToText();
    int CheckBoxWidthForText(HWND checkBox) const;
    RECT PlaceOf(int id) const;
    void ShowChecked(int checkBoxId, DWORD on);
    void ShowText(int checkBoxId, int editId, DWORD enabled, const wchar_t* text);
    void EnableDependent(int checkBoxId);
    void ShowProcessesText();
    void SetBrowseToolTip(CEditBrowserCtrl& box, UINT textId);
    void ChooseFile();
    void ChooseProcesses();

    static BOOL ShowOpenFileDialog(OPENFILENAMEW& dialog);
    static bool PickWithProcessDlg(HWND owner, std::vector<std::wstring>& names);

    CFont m_sectionFont;
    CThemedLabelCtrl m_title;
    CThemedImageCtrl m_icon;
    CThemedCheckboxCtrl m_checkBoxes[10];
    CEditBrowserCtrl m_fileBox;
    CEditBrowserCtrl m_processesBox;
    std::vector<std::wstring> m_processes;
    CWindow m_titleBox;
    CWindow m_addressBox;

    FileChooser m_chooseFile;
    MessageBoxFunction m_messageBox;
    ProcessPicker m_pickProcesses;
    AccessibleNamesFactory m_makeNames;
    std::unique_ptr<IAccessibleNames> m_names;
};
