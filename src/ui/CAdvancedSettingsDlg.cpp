#include "ui/CAdvancedSettingsDlg.h"

#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <utility>

#include "ui/CProcessDlg.h"
#include "ui/themed/CTextFit.h"
#include "ui/themed/CThemeFonts.h"

namespace {

constexpr COLORREF kTitleColour = RGB(40, 90, 170);
constexpr UINT kTitleFormat = DT_NOPREFIX | DT_SINGLELINE | DT_WORDBREAK | DT_BOTTOM;

// In the order the page keeps its check boxes.
constexpr int kCheckBoxIds[10] = {IDC_AC_MUTE,          IDC_AC_MONITOR,         IDC_AC_TASKMGR,
                                  IDC_AC_BROWSERHISTORY, IDC_AC_IEURLS,          IDC_AC_RECENTDOC,
                                  IDC_AC_FILE_ENABLED,   IDC_AC_WEBSITE_ENABLED, IDC_AC_PROCESSES_ENABLED,
                                  IDC_AC_WINDOWS_ENABLED};

// The first column: the check boxes whose texts decide its width.
constexpr int kFirstColumnIds[] = {IDC_AC_MUTE,           IDC_AC_MONITOR,
                                   IDC_AC_TASKMGR,        IDC_AC_FILE_ENABLED,
                                   IDC_AC_WEBSITE_ENABLED, IDC_AC_PROCESSES_ENABLED,
                                   IDC_AC_WINDOWS_ENABLED};
constexpr int kSecondColumnIds[] = {IDC_AC_BROWSERHISTORY, IDC_AC_IEURLS,     IDC_AC_RECENTDOC,
                                    IDC_AC_FILE_PATH,      IDC_AC_WEBSITE_URL, IDC_AC_PROCESSES,
                                    IDC_AC_WINDOWS_TITLE};
constexpr int kColumnGap = 8;
// Between the check box's square and its text.
constexpr int kCheckTextGap = 6;

struct Dependency {
    int checkBox;
    int control;
};
constexpr Dependency kDependencies[] = {{IDC_AC_FILE_ENABLED, IDC_AC_FILE_PATH},
                                        {IDC_AC_WEBSITE_ENABLED, IDC_AC_WEBSITE_URL},
                                        {IDC_AC_PROCESSES_ENABLED, IDC_AC_PROCESSES},
                                        {IDC_AC_WINDOWS_ENABLED, IDC_AC_WINDOWS_TITLE}};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

int ActionCheckBox(ISettingsPages::Action action)
{
    switch (action) {
    case ISettingsPages::kMute: return IDC_AC_MUTE;
    case ISettingsPages::kMonitor: return IDC_AC_MONITOR;
    case ISettingsPages::kTaskManager: return IDC_AC_TASKMGR;
    case ISettingsPages::kBrowserHistory: return IDC_AC_BROWSERHISTORY;
    case ISettingsPages::kTypedUrls: return IDC_AC_IEURLS;
    case ISettingsPages::kRecentDocs: return IDC_AC_RECENTDOC;
    }
    return 0;
}

// Pairs of display text and pattern. "All files" shows executables too; the
// refusal after the choice is what keeps them out.
const wchar_t kFileFilter[] = L"All files(Not Executable)\0*.*\0"
                              L"Office files\0*.doc;*.docx;*rtf;*.xls;*.xlsx;*.ppt;*.pptx\0"
                              L"Text files\0*.txt\0";
const wchar_t* const kExecutableExtensions[] = {L".exe", L".cmd", L".bat", L".com"};

}  // namespace

CAdvancedSettingsDlg::CAdvancedSettingsDlg(FileChooser chooseFile, MessageBoxFunction messageBox,
                                           ProcessPicker pickProcesses,
                                           AccessibleNamesFactory makeNames)
    : m_chooseFile(std::move(chooseFile)),
      m_messageBox(std::move(messageBox)),
      m_pickProcesses(std::move(pickProcesses)),
      m_makeNames(std::move(makeNames))
{
}

HWND CAdvancedSettingsDlg::CreatePage(HWND frame, int, const CSettingsRecord& settings)
{
    if (!Create(frame))
        return nullptr;
    ShowAction(ISettingsPages::kMute, settings.AC_MUTE);
    ShowAction(ISettingsPages::kMonitor, settings.AC_MONITOR);
    ShowAction(ISettingsPages::kTaskManager, settings.AC_TASKMGR);
    ShowAction(ISettingsPages::kBrowserHistory, settings.AC_BROWSERHISTORY);
    ShowAction(ISettingsPages::kTypedUrls, settings.AC_IEURLS);
    ShowAction(ISettingsPages::kRecentDocs, settings.AC_RECENTDOC);
    ShowFile(settings.AC_FILE_ENABLED, settings.AC_FILE_PATH.c_str());
    ShowWebSite(settings.AC_WEBSITE_ENABLED, settings.AC_WEBSITE_URL.c_str());
    ShowWindowTitle(settings.AC_WINDOWS_ENABLED, settings.AC_WINDOWS_TITLE.c_str());
    ShowProcesses(settings.AC_PROCESSES_ENABLED, settings.processes);
    return m_hWnd;
}

bool CAdvancedSettingsDlg::IsCreated() const { return IsWindow(); }

LRESULT CAdvancedSettingsDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    ThemeHeader();
    ThemeCheckBoxes();
    AttachEditBoxes();
    SetUpThemedPage();
    FitColumnsToText();
    // Made from the page font rather than the template's, which the page
    // font replaces: the title must stand out from the texts below it.
    m_sectionFont.Attach(CThemeFonts::CreateEnlarged(PageFont(), CDpi::OfWindow(m_hWnd)));
    if (m_title.m_hWnd)
        m_title.SetFont(m_sectionFont, TRUE);
    DlgResize_Init(false, false);
    NameForAssistiveTools();
    return TRUE;
}

void CAdvancedSettingsDlg::NameForAssistiveTools()
{
    m_names = m_makeNames ? m_makeNames() : nullptr;
    if (!m_names)
        return;
    m_names->NameByLabel(m_hWnd, IDC_AC_FILE_ENABLED, IDC_AC_FILE_PATH);
    m_names->NameByLabel(m_hWnd, IDC_AC_WEBSITE_ENABLED, IDC_AC_WEBSITE_URL);
    m_names->NameByLabel(m_hWnd, IDC_AC_PROCESSES_ENABLED, IDC_AC_PROCESSES);
    m_names->NameByLabel(m_hWnd, IDC_AC_WINDOWS_ENABLED, IDC_AC_WINDOWS_TITLE);
    m_names->MarkAsGraphics(m_hWnd, {IDC_SECTION_ICON});
}

// The names go while the controls are still there to take them back from.
LRESULT CAdvancedSettingsDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_names.reset();
    handled = FALSE;
    return 0;
}

void CAdvancedSettingsDlg::ThemeHeader()
{
    if (m_icon.SubclassWindow(GetDlgItem(IDC_SECTION_ICON))) {
        m_icon.SetImage(IDB_SECTION_ACTIONS);
        m_icon.SizeToImage();
    }
    if (m_title.SubclassWindow(GetDlgItem(IDC_SECTION_TITLE))) {
        m_title.SetTextColor(kTitleColour);
        m_title.SetTextFormat(kTitleFormat);
    }
}

void CAdvancedSettingsDlg::ThemeCheckBoxes()
{
    for (size_t i = 0; i < std::size(kCheckBoxIds); ++i)
        m_checkBoxes[i].SubclassWindow(GetDlgItem(kCheckBoxIds[i]));
}

void CAdvancedSettingsDlg::AttachEditBoxes()
{
    m_fileBox.SubclassWindow(GetDlgItem(IDC_AC_FILE_PATH));
    m_titleBox.m_hWnd = GetDlgItem(IDC_AC_WINDOWS_TITLE);
    m_addressBox.m_hWnd = GetDlgItem(IDC_AC_WEBSITE_URL);
    m_processesBox.SubclassWindow(GetDlgItem(IDC_AC_PROCESSES));
    SetBrowseToolTip(m_fileBox, IDS_BROWSE_FILE);
    SetBrowseToolTip(m_processesBox, IDS_BROWSE_PROCESSES);
    // "Apply" keeps 259 characters of each; the user sees no more than that.
    for (HWND box : {m_fileBox.m_hWnd, m_titleBox.m_hWnd, m_addressBox.m_hWnd})
        if (box)
            ::SendMessageW(box, EM_SETLIMITTEXT, kTextChars - 1, 0);
    // Only the picker fills it: "Apply" stores the page's list, so a name
    // typed here would show as chosen and end nothing.
    if (m_processesBox.m_hWnd)
        ::SendMessageW(m_processesBox.m_hWnd, EM_SETREADONLY, TRUE, 0);
}

void CAdvancedSettingsDlg::SetBrowseToolTip(CEditBrowserCtrl& box, UINT textId)
{
    wchar_t text[128] = L"";
    if (box.m_hWnd && ::LoadStringW(::GetModuleHandleW(nullptr), textId, text, 128) > 0)
        box.SetButtonToolTip(text);
}

int CAdvancedSettingsDlg::SecondColumnLeft(int firstLeft, int widestFirst, int templateLeft,
                                           CDpi dpi)
{
    return std::max(templateLeft, firstLeft + widestFirst + dpi.Scale(kColumnGap));
}

RECT CAdvancedSettingsDlg::PlaceOf(int id) const
{
    RECT place{};
    HWND control = GetDlgItem(id);
    if (control) {
        ::GetWindowRect(control, &place);
        ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    }
    return place;
}

int CAdvancedSettingsDlg::CheckBoxWidthForText(HWND checkBox) const
{
    const int text = CTextFit::TextWidth(checkBox, PageFont());
    const int gap = CDpi::OfWindow(m_hWnd).Scale(kCheckTextGap);
    return text > 0 ? ::GetSystemMetrics(SM_CXMENUCHECK) + gap + text : 0;
}

// The page font is the system's message font, wider on some systems than
// the template's font the dialog units come from; the texts of the first
// column would be cut where the template ends them.
void CAdvancedSettingsDlg::FitColumnsToText()
{
    int widest = 0;
    for (int id : kFirstColumnIds)
        if (HWND checkBox = GetDlgItem(id))
            widest = std::max(widest, CheckBoxWidthForText(checkBox));
    const RECT first = PlaceOf(IDC_AC_MUTE);
    const RECT second = PlaceOf(IDC_AC_FILE_PATH);
    const int left = SecondColumnLeft(first.left, widest, second.left, CDpi::OfWindow(m_hWnd));
    for (int id : kFirstColumnIds) {
        const RECT place = PlaceOf(id);
        ::SetWindowPos(GetDlgItem(id), nullptr, 0, 0, std::max(widest, Width(place)),
                       Height(place), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The second column keeps its right edge; the page's resizing widens it.
    for (int id : kSecondColumnIds) {
        const RECT place = PlaceOf(id);
        ::SetWindowPos(GetDlgItem(id), nullptr, left, place.top,
                       std::max(0, static_cast<int>(place.right) - left), Height(place),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CAdvancedSettingsDlg::ShowChecked(int checkBoxId, DWORD on)
{
    if (IsCreated())
        ::CheckDlgButton(m_hWnd, checkBoxId, on ? BST_CHECKED : BST_UNCHECKED);
}

void CAdvancedSettingsDlg::ShowAction(ISettingsPages::Action action, DWORD on)
{
    if (const int id = ActionCheckBox(action))
        ShowChecked(id, on);
}

// A text set from outside bypasses the box's limit, and "Apply" reads back
// no more than the limit: a longer stored text would show whole and then be
// stored cut, unseen, and a shorter window title matches more windows. It is
// cut to what the box holds, so what the user sees is what "Apply" keeps.
std::wstring CAdvancedSettingsDlg::TextAsShown(const wchar_t* text)
{
    const wchar_t* shown = text ? text : L"";
    size_t length = wcsnlen(shown, kTextChars - 1);
    // Never half a character: a pair of surrogates stays whole or goes.
    if (length == kTextChars - 1 && shown[length] != L'\0' && IS_HIGH_SURROGATE(shown[length - 1]))
        --length;
    return std::wstring(shown, length);
}

void CAdvancedSettingsDlg::ShowText(int checkBoxId, int editId, DWORD enabled, const wchar_t* text)
{
    if (!IsCreated())
        return;
    ShowChecked(checkBoxId, enabled);
    ::SetDlgItemTextW(m_hWnd, editId, TextAsShown(text).c_str());
    ::EnableWindow(GetDlgItem(editId), enabled ? TRUE : FALSE);
}

void CAdvancedSettingsDlg::ShowFile(DWORD enabled, const wchar_t* text)
{
    ShowText(IDC_AC_FILE_ENABLED, IDC_AC_FILE_PATH, enabled, text);
}

void CAdvancedSettingsDlg::ShowWebSite(DWORD enabled, const wchar_t* text)
{
    ShowText(IDC_AC_WEBSITE_ENABLED, IDC_AC_WEBSITE_URL, enabled, text);
}

void CAdvancedSettingsDlg::ShowWindowTitle(DWORD enabled, const wchar_t* text)
{
    ShowText(IDC_AC_WINDOWS_ENABLED, IDC_AC_WINDOWS_TITLE, enabled, text);
}

void CAdvancedSettingsDlg::ShowProcesses(DWORD on, const std::vector<std::wstring>& names)
{
    // The argument may be this page's own list.
    if (&names != &m_processes)
        m_processes = names;
    if (!IsCreated())
        return;
    ShowChecked(IDC_AC_PROCESSES_ENABLED, on);
    ::EnableWindow(GetDlgItem(IDC_AC_PROCESSES), on ? TRUE : FALSE);
    ShowProcessesText();
}

void CAdvancedSettingsDlg::ShowProcessesText()
{
    ::SetDlgItemTextW(m_hWnd, IDC_AC_PROCESSES, ProcessesText(m_processes).c_str());
}

DWORD CAdvancedSettingsDlg::IsChecked(int checkBoxId) const
{
    return IsCreated() && ::IsDlgButtonChecked(m_hWnd, checkBoxId) == BST_CHECKED ? 1 : 0;
}

void CAdvancedSettingsDlg::ReadText(int editId, wchar_t (&text)[kTextChars]) const
{
    text[0] = L'\0';
    if (IsCreated())
        ::GetDlgItemTextW(m_hWnd, editId, text, kTextChars);
    text[kTextChars - 1] = L'\0';
}

std::wstring CAdvancedSettingsDlg::ProcessesText(const std::vector<std::wstring>& names)
{
    std::wstring text;
    size_t length = 0;
    for (const std::wstring& name : names) {
        length += name.size() + 1;
        if (length >= static_cast<size_t>(kTextChars))
            break;
        text += name;
        text += L';';
    }
    return text;
}

bool CAdvancedSettingsDlg::IsExecutablePath(const wchar_t* path)
{
    if (!path || !*path)
        return false;
    // The file system drops trailing dots and blanks, so "a.exe." and
    // "a.exe " open a.exe; the extension is judged without them.
    std::wstring name(path);
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.pop_back();
    const wchar_t* extension = ::PathFindExtensionW(name.c_str());
    for (const wchar_t* executable : kExecutableExtensions)
        if (_wcsicmp(extension, executable) == 0)
            return true;
    return false;
}

LRESULT CAdvancedSettingsDlg::OnCheckBoxClicked(WORD, WORD id, HWND, BOOL& handled)
{
    for (const Dependency& dependency : kDependencies)
        if (dependency.checkBox == id) {
            EnableDependent(id);
            return 0;
        }
    handled = FALSE;
    return 0;
}

void CAdvancedSettingsDlg::EnableDependent(int checkBoxId)
{
    for (const Dependency& dependency : kDependencies)
        if (dependency.checkBox == checkBoxId)
            ::EnableWindow(GetDlgItem(dependency.control), IsChecked(checkBoxId) ? TRUE : FALSE);
}

LRESULT CAdvancedSettingsDlg::OnBrowse(UINT, WPARAM wParam, LPARAM, BOOL& handled)
{
    const HWND box = reinterpret_cast<HWND>(wParam);
    if (box && box == m_fileBox.m_hWnd)
        ChooseFile();
    else if (box && box == m_processesBox.m_hWnd)
        ChooseProcesses();
    else
        handled = FALSE;
    return 0;
}

BOOL CAdvancedSettingsDlg::ShowOpenFileDialog(OPENFILENAMEW& dialog)
{
    return ::GetOpenFileNameW(&dialog);
}

std::wstring CAdvancedSettingsDlg::FolderOf(const wchar_t* path)
{
    wchar_t folder[MAX_PATH] = L"";
    lstrcpynW(folder, path ? path : L"", MAX_PATH);
    if (!::PathRemoveFileSpecW(folder) || !folder[0])
        return std::wstring();
    // "C:" alone is the drive's current folder, not its root.
    if (folder[1] == L':' && folder[2] == L'\0')
        lstrcatW(folder, L"\\");
    return folder;
}

// After an executable is refused the chooser opens again in its folder, so
// the user picks another file where they were, until one is taken or they
// cancel.
void CAdvancedSettingsDlg::ChooseFile()
{
    if (!m_chooseFile)
        return;
    std::wstring folder = L"c:\\";
    for (;;) {
        wchar_t path[kTextChars + 1] = {};
        OPENFILENAMEW dialog{};
        // The structure without the Windows 2000 additions, which every
        // system since accepts.
        dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
        dialog.hwndOwner = m_hWnd;
        dialog.lpstrFilter = kFileFilter;
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = path;
        dialog.nMaxFile = kTextChars;
        dialog.lpstrInitialDir = folder.c_str();
        dialog.lpstrTitle = L"Select a Specified File to Open";
        dialog.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_CREATEPROMPT;
        if (!m_chooseFile(dialog))
            return;
        // Whatever wrote the buffer, it is read as a string that ends inside it.
        path[kTextChars] = L'\0';
        if (!IsExecutablePath(path)) {
            ::SetDlgItemTextW(m_hWnd, IDC_AC_FILE_PATH, path);
            return;
        }
        if (m_messageBox)
            m_messageBox(m_hWnd, L"Can not select an executable file.", L"Setting hint",
                         MB_ICONINFORMATION);
        const std::wstring refusedIn = FolderOf(path);
        if (!refusedIn.empty())
            folder = refusedIn;
    }
}

void CAdvancedSettingsDlg::ChooseProcesses()
{
    if (!m_pickProcesses)
        return;
    std::vector<std::wstring> names = m_processes;
    if (!m_pickProcesses(::GetActiveWindow(), names))
        return;
    m_processes = std::move(names);
    ShowProcessesText();
}

bool CAdvancedSettingsDlg::PickWithProcessDlg(HWND owner, std::vector<std::wstring>& names)
{
    CProcessDlg dialog;
    dialog.SetSelection(names);
    if (dialog.DoModal(owner) != IDOK)
        return false;
    names = dialog.GetSelection();
    return true;
}
