#pragma once

#include <windows.h>

#include <memory>

#include "res/resource.h"
#include "ui/CAccessibleNames.h"
#include "ui/ISettingsPage.h"
#include "ui/themed/CThemedDialogImpl.h"
#include "ui/themed/CThemedHyperlinkCtrl.h"
#include "ui/themed/CThemedImageCtrl.h"
#include "ui/themed/CThemedLabelCtrl.h"
#include "win/CDialogResize.h"
#include "win/CToolTipDialog.h"

// The "About" page: the product's name, logo and version, and the ways to
// reach the maker.
class CAboutDlg : public CThemedDialogImpl<CAboutDlg>,
                  public CToolTipDialog<CAboutDlg>,
                  public CDialogResize<CAboutDlg>,
                  public ISettingsPage {
public:
    enum { IDD = IDD_ABOUT };

    explicit CAboutDlg(AccessibleNamesFactory makeNames = CAccessibleNames::Make)
        : m_makeNames(std::move(makeNames))
    {
    }

    HWND CreatePage(HWND frame, int pageNumber, const CSettingsRecord& settings) override;
    int PageNumber() const { return m_pageNumber; }

    BEGIN_DLGRESIZE_MAP(CAboutDlg)
        DLGRESIZE_CONTROL(IDC_ABOUT_LOGO, DLSZ_MOVE_X)
    END_DLGRESIZE_MAP()

    BEGIN_MSG_MAP(CAboutDlg)
        CHAIN_MSG_MAP(CToolTipDialog<CAboutDlg>)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        COMMAND_HANDLER(IDC_ABOUT_HOMEPAGE, BN_CLICKED, OnHomePage)
        COMMAND_HANDLER(IDC_ABOUT_SUPPORT, BN_CLICKED, OnSupport)
        CHAIN_MSG_MAP(CThemedDialogImpl<CAboutDlg>)
        CHAIN_MSG_MAP(CDialogResize<CAboutDlg>)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnHomePage(WORD, WORD, HWND, BOOL&);
    LRESULT OnSupport(WORD, WORD, HWND, BOOL&);
    void ThemeImage(CThemedImageCtrl& image, int id, UINT pngId);
    void ThemeLabel(CThemedLabelCtrl& label, int id);
    void ShowVersion();
    void FitTextsToFont();
    void Open(const wchar_t* address);

    int m_pageNumber = 0;
    CThemedImageCtrl m_productName;
    CThemedImageCtrl m_logo;
    CThemedLabelCtrl m_version;
    CThemedLabelCtrl m_copyright;
    CThemedHyperlinkCtrl m_homePage;
    CThemedHyperlinkCtrl m_support;
    AccessibleNamesFactory m_makeNames;
    std::unique_ptr<IAccessibleNames> m_names;
};
