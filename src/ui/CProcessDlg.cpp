#include "ui/CProcessDlg.h"

#include <algorithm>

#include "actions/CProcessCloser.h"
#include "actions/CProtectedTargets.h"
#include "win/CDpi.h"

namespace {
const wchar_t kColumnHeading[] = L"Room/Alias";
constexpr int kColumnWidth = 80;
constexpr int kButtonBorder = 6;
}

CProcessDlg::CProcessDlg() : m_listNames(&CProcessCloser::ListProcessNames) {}

void CProcessDlg::SetSelection(const std::vector<std::wstring>& names)
{
    m_selection.insert(m_selection.end(), names.begin(), names.end());
}

INT_PTR CProcessDlg::DoModal(HWND owner, LPARAM init)
{
    CListViewCtrl::EnsureClassRegistered();
    return Base::DoModal(owner, init);
}

LRESULT CProcessDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    m_background.Load(IDB_DIALOG_BACKGROUND);
    ThemeButtons();
    SetUpList();
    ReloadCandidates(m_selection);
    CenterWindow(GetWindow(m_hWnd, GW_OWNER));
    SetForegroundWindow(m_hWnd);
    return TRUE;
}

void CProcessDlg::ThemeButtons()
{
    m_buttonImage.Attach(CThemedButtonCtrl::LoadImageFor(m_hWnd, IDB_DIALOG_BUTTON));
    m_refresh.SubclassDialogButton(m_hWnd, IDC_PROCESS_REFRESH, m_buttonImage, kButtonBorder);
    m_ok.SubclassDialogButton(m_hWnd, IDOK, m_buttonImage, kButtonBorder);
    m_cancel.SubclassDialogButton(m_hWnd, IDCANCEL, m_buttonImage, kButtonBorder);
}

void CProcessDlg::SetUpList()
{
    m_list.m_hWnd = GetDlgItem(IDC_PROCESS_LIST);
    // The list mode shows no header; the column gives the names their width.
    m_list.InsertColumn(0, kColumnHeading, LVCFMT_LEFT, CDpi::OfWindow(m_hWnd).Scale(kColumnWidth));
    m_list.SetExtendedListViewStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
}

// The ticks come from the names the dialog was opened with, and on Refresh
// from the rows ticked at that moment, so the user's ticks survive it.
void CProcessDlg::ReloadCandidates(const std::vector<std::wstring>& ticked)
{
    ListCandidates();
    Mark(ticked);
    AddNotRunning(ticked);
    FillList();
}

void CProcessDlg::ListCandidates()
{
    m_candidates.clear();
    if (!m_listNames)
        return;
    for (std::wstring& name : m_listNames())
        m_candidates.push_back(Candidate{std::move(name), false});
}

void CProcessDlg::Mark(const std::vector<std::wstring>& ticked)
{
    for (const std::wstring& chosen : ticked) {
        for (Candidate& candidate : m_candidates) {
            if (CProcessCloser::IsSameName(candidate.name.c_str(), chosen.c_str()))
                candidate.checked = true;
        }
    }
}

// A chosen program that is not running now is still chosen: opening the
// picker to add one name must not take the others away. Only names the
// action never ends are left out, as the listing leaves them out.
void CProcessDlg::AddNotRunning(const std::vector<std::wstring>& ticked)
{
    for (const std::wstring& chosen : ticked) {
        if (chosen.empty() || CProtectedTargets::IsNeverEnded(chosen.c_str()))
            continue;
        const bool shown = std::any_of(m_candidates.begin(), m_candidates.end(),
                                       [&chosen](const Candidate& candidate) {
                                           return CProcessCloser::IsSameName(
                                               candidate.name.c_str(), chosen.c_str());
                                       });
        if (!shown)
            m_candidates.push_back(Candidate{chosen, true});
    }
}

void CProcessDlg::FillList()
{
    m_list.DeleteAllItems();
    for (const Candidate& candidate : m_candidates) {
        const int row = m_list.GetItemCount();
        // Rows stand for the candidates of their index; a gap would tick
        // the wrong names on OK, so the list ends at the first refusal.
        if (m_list.InsertItem(row, candidate.name.c_str()) != row)
            break;
        m_list.SetCheckState(row, candidate.checked);
    }
}

LRESULT CProcessDlg::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    RECT client{};
    GetClientRect(&client);
    handled = m_background.Paint(reinterpret_cast<HDC>(wParam), client);
    return 1;
}

LRESULT CProcessDlg::OnDoubleClick(int controlId, LPNMHDR header, BOOL& handled)
{
    if (controlId != IDC_PROCESS_LIST || header->hwndFrom != m_list.m_hWnd) {
        handled = FALSE;
        return 0;
    }
    const int row = reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem;
    if (row >= 0 && row < m_list.GetItemCount())
        m_list.SetCheckState(row, !m_list.GetCheckState(row));
    return 0;
}

LRESULT CProcessDlg::OnRefresh(WORD, WORD, HWND, BOOL&)
{
    ReloadCandidates(TickedRows());
    return 0;
}

std::vector<std::wstring> CProcessDlg::TickedRows() const
{
    std::vector<std::wstring> ticked;
    const size_t rows =
        std::min(static_cast<size_t>(std::max(m_list.GetItemCount(), 0)), m_candidates.size());
    for (size_t row = 0; row < rows; ++row) {
        if (m_list.GetCheckState(static_cast<int>(row)))
            ticked.push_back(m_candidates[row].name);
    }
    return ticked;
}

LRESULT CProcessDlg::OnOk(WORD, WORD, HWND, BOOL&)
{
    TakeCheckedRows();
    EndDialog(IDOK);
    return 0;
}

// Names chosen earlier that are not running now have rows of their own, at
// the end, so they stay unless the user unticks them.
void CProcessDlg::TakeCheckedRows()
{
    m_selection = TickedRows();
}

LRESULT CProcessDlg::OnCancel(WORD, WORD, HWND, BOOL&)
{
    EndDialog(IDCANCEL);
    return 0;
}
