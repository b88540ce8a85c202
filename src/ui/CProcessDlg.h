#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/themed/CBackgroundImage.h"
#include "ui/themed/CThemedButtonCtrl.h"
#include "win/CBitmap.h"
#include "win/CDialogImpl.h"
#include "win/CListViewCtrl.h"

// Lets the user tick, among the programs running now, those that the
// "Terminate Processes" action ends. Opened with the names chosen so far,
// which are shown ticked, after the running ones, also when their program is
// not running now; OK leaves the ticked names in their list order, Cancel the
// names as given.
class CProcessDlg : public CDialogImpl<CProcessDlg> {
    using Base = CDialogImpl<CProcessDlg>;

public:
    enum { IDD = IDD_PROCESSES };

    using NameListing = std::function<std::vector<std::wstring>()>;

    CProcessDlg();
    CProcessDlg(const CProcessDlg&) = delete;
    CProcessDlg& operator=(const CProcessDlg&) = delete;

    // Appends copies to the names chosen so far.
    void SetSelection(const std::vector<std::wstring>& names);
    // The names as opened with, or the ticked ones after OK.
    std::vector<std::wstring> GetSelection() const { return m_selection; }
    // Where the offered names come from; the running processes unless a test
    // puts its own in. The listing gives each name once.
    void SetNameListing(NameListing listing) { m_listNames = std::move(listing); }

    // IDOK or IDCANCEL, or -1 when the dialog could not be made.
    INT_PTR DoModal(HWND owner = ::GetActiveWindow(), LPARAM init = 0);

    BEGIN_MSG_MAP(CProcessDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        NOTIFY_CODE_HANDLER(NM_DBLCLK, OnDoubleClick)
        COMMAND_ID_HANDLER(IDC_PROCESS_REFRESH, OnRefresh)
        COMMAND_ID_HANDLER(IDOK, OnOk)
        COMMAND_ID_HANDLER(IDCANCEL, OnCancel)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

private:
    struct Candidate {
        std::wstring name;
        bool checked = false;
    };

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDoubleClick(int, LPNMHDR, BOOL&);
    LRESULT OnRefresh(WORD, WORD, HWND, BOOL&);
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);

    void ThemeButtons();
    void SetUpList();
    void ReloadCandidates(const std::vector<std::wstring>& ticked);
    void ListCandidates();
    void Mark(const std::vector<std::wstring>& ticked);
    void AddNotRunning(const std::vector<std::wstring>& ticked);
    void FillList();
    std::vector<std::wstring> TickedRows() const;
    void TakeCheckedRows();

    NameListing m_listNames;
    std::vector<Candidate> m_candidates;
    std::vector<std::wstring> m_selection;
    CListViewCtrl m_list;
    CBackgroundImage m_background;
    CBitmap m_buttonImage;
    CThemedButtonCtrl m_refresh;
    CThemedButtonCtrl m_ok;
    CThemedButtonCtrl m_cancel;
};
