#include "ui/CBasicSettingsDlg.h"

#include <climits>
#include <cwchar>
#include <string>

#include "settings/CUnmatchablePassword.h"
#include "ui/themed/CTextFit.h"
#include "ui/themed/CThemeFonts.h"

namespace {

constexpr COLORREF kSectionTitleColor = RGB(40, 90, 170);
constexpr UINT kSectionTitleFormat = DT_NOPREFIX | DT_SINGLELINE | DT_WORDBREAK | DT_BOTTOM;
// Pixels between a check box's text and whatever follows it on its row.
constexpr int kFieldGap = 8;
constexpr int kColumnGap = 16;
// The box and the gap the system leaves between it and the text.
constexpr int kCheckTextSpare = 8;
constexpr int kTitleSpare = 4;

constexpr int kCheckBoxes[] = {
    IDC_SW_WHEEL,       IDC_SW_DOUBLE,         IDC_SW_HOTKEY_ENABLED, IDC_SS_STARTUP,
    IDC_SS_TRAYICON,    IDC_SS_UPDATE,         IDC_SS_HOTKEY_ENABLED, IDC_PWD_ORIG_ENABLED,
    IDC_PWD_VIRT_ENABLED,
};

// Each field is usable exactly while the check box that switches it on is
// checked; 0 ends a list.
struct DependentFields {
    int checkBox;
    int fields[2];
};

constexpr DependentFields kDependents[] = {
    {IDC_SW_HOTKEY_ENABLED, {IDC_SW_HOTKEY, 0}},
    {IDC_SS_HOTKEY_ENABLED, {IDC_SS_HOTKEY, 0}},
    {IDC_PWD_ORIG_ENABLED, {IDC_PWD_ORIG, IDC_PWD_ORIG_CONFIRM}},
    {IDC_PWD_VIRT_ENABLED, {IDC_PWD_VIRT, IDC_PWD_VIRT_CONFIRM}},
};

const DependentFields* DependentsOf(int checkBoxId)
{
    for (const DependentFields& entry : kDependents) {
        if (entry.checkBox == checkBoxId)
            return &entry;
    }
    return nullptr;
}

}  // namespace

HWND CBasicSettingsDlg::CreatePage(HWND frame, int, const CSettingsRecord& settings)
{
    if (!Create(frame))
        return nullptr;
    FillFrom(settings);
    return m_hWnd;
}

void CBasicSettingsDlg::FillFrom(const CSettingsRecord& settings)
{
    ShowMiddleButton(settings.SW_WHEEL);
    ShowBothButtons(settings.SW_DOUBLE);
    ShowSwitchHotKey(settings.SW_HOTKEY_ENABLED, settings.SW_HOTKEY, settings.SW_CTRL,
                     settings.SW_SHIFT, settings.SW_ALT);
    ShowAutostart(settings.SS_STARTUP);
    ShowTrayIcon(settings.SS_TRAYICON);
    ShowUpdateCheck(settings.SS_UPDATE);
    ShowSettingsHotKey(settings.SS_HOTKEY_ENABLED, settings.SS_HOTKEY, settings.SS_CTRL,
                       settings.SS_SHIFT, settings.SS_ALT);
    ShowSwitchPassword(settings.PWD_VIRT_ENABLED, settings.PWD_VIRT.c_str());
    ShowRestorePassword(settings.PWD_ORIG_ENABLED, settings.PWD_ORIG.c_str());
}

LRESULT CBasicSettingsDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    ThemeSection(m_triggersIcon, IDC_SECTION_ICON, IDB_SECTION_TRIGGERS, m_triggersTitle,
                 IDC_SECTION_TITLE);
    ThemeCheckBox(m_middleButton, IDC_SW_WHEEL);
    ThemeCheckBox(m_bothButtons, IDC_SW_DOUBLE);
    ThemeCheckBox(m_switchHotKeyEnabled, IDC_SW_HOTKEY_ENABLED);

    ThemeSection(m_systemIcon, IDC_SYSTEM_ICON, IDB_SECTION_SYSTEM, m_systemTitle,
                 IDC_SYSTEM_TITLE);
    ThemeCheckBox(m_autostart, IDC_SS_STARTUP);
    ThemeCheckBox(m_trayIcon, IDC_SS_TRAYICON);
    ThemeCheckBox(m_updateCheck, IDC_SS_UPDATE);
    ThemeCheckBox(m_settingsHotKeyEnabled, IDC_SS_HOTKEY_ENABLED);

    ThemeSection(m_passwordsIcon, IDC_PASSWORD_ICON, IDB_SECTION_PASSWORDS, m_passwordsTitle,
                 IDC_PASSWORD_TITLE);
    ThemeCheckBox(m_restorePasswordEnabled, IDC_PWD_ORIG_ENABLED);
    ThemeCheckBox(m_switchPasswordEnabled, IDC_PWD_VIRT_ENABLED);

    m_switchHotKey.Subclass(GetDlgItem(IDC_SW_HOTKEY));
    m_settingsHotKey.Subclass(GetDlgItem(IDC_SS_HOTKEY));
    ThemePasswordBox(m_restorePassword, IDC_PWD_ORIG);
    ThemePasswordBox(m_restorePasswordConfirmation, IDC_PWD_ORIG_CONFIRM);
    ThemePasswordBox(m_switchPassword, IDC_PWD_VIRT);
    ThemePasswordBox(m_switchPasswordConfirmation, IDC_PWD_VIRT_CONFIRM);

    SetUpThemedPage();
    // Both larger fonts grow from the page font, which exists only now; the
    // page set-up gives every child the page font, so theirs come after.
    SetSectionFonts();
    SetHotKeyFonts();
    FitLayoutToPageFont();
    DlgResize_Init(false, false);
    NameForAssistiveTools();
    return TRUE;
}

void CBasicSettingsDlg::NameForAssistiveTools()
{
    m_names = m_makeNames ? m_makeNames() : nullptr;
    if (!m_names)
        return;
    m_names->NameByLabel(m_hWnd, IDC_SW_HOTKEY_ENABLED, IDC_SW_HOTKEY);
    m_names->NameByLabel(m_hWnd, IDC_SS_HOTKEY_ENABLED, IDC_SS_HOTKEY);
    m_names->NameByLabel(m_hWnd, IDC_PWD_ORIG_ENABLED, IDC_PWD_ORIG, IDC_PWD_ORIG_CONFIRM);
    m_names->NameByLabel(m_hWnd, IDC_PWD_VIRT_ENABLED, IDC_PWD_VIRT, IDC_PWD_VIRT_CONFIRM);
    m_names->MarkAsGraphics(m_hWnd, {IDC_SECTION_ICON, IDC_SYSTEM_ICON, IDC_PASSWORD_ICON});
}

// The names go while the controls are still there to take them back from.
LRESULT CBasicSettingsDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled)
{
    m_names.reset();
    handled = FALSE;
    return 0;
}

void CBasicSettingsDlg::ThemeSection(CThemedImageCtrl& icon, int iconId, UINT pngId,
                                     CThemedLabelCtrl& title, int titleId)
{
    if (icon.SubclassWindow(GetDlgItem(iconId))) {
        icon.SetImage(pngId);
        icon.SizeToImage();
    }
    if (title.SubclassWindow(GetDlgItem(titleId))) {
        title.SetTextColor(kSectionTitleColor);
        title.SetTextFormat(kSectionTitleFormat);
    }
}

void CBasicSettingsDlg::ThemeCheckBox(CThemedCheckboxCtrl& box, int id)
{
    box.SubclassWindow(GetDlgItem(id));
}

void CBasicSettingsDlg::ThemePasswordBox(CPasswordEditCtrl& box, int id)
{
    box.SubclassWindow(GetDlgItem(id));
}

void CBasicSettingsDlg::SetSectionFonts()
{
    m_sectionFont.Attach(CThemeFonts::CreateEnlarged(PageFont(), CDpi::OfWindow(m_hWnd)));
    if (m_sectionFont.IsNull())
        return;
    for (CThemedLabelCtrl* title : {&m_triggersTitle, &m_systemTitle, &m_passwordsTitle}) {
        if (title->m_hWnd)
            title->SetFont(m_sectionFont);
    }
}

void CBasicSettingsDlg::SetHotKeyFonts()
{
    m_hotkeyFont.Attach(CThemeFonts::CreateEnlarged(PageFont(), CDpi::OfWindow(m_hWnd)));
    if (m_hotkeyFont.IsNull())
        return;
    for (CHotkeyEditCtrl* box : {&m_switchHotKey, &m_settingsHotKey}) {
        if (box->m_hWnd)
            box->SetFont(m_hotkeyFont);
    }
}

// The template is laid out for its own font; the page font is the system's
// message font, wider on most systems. Each check box takes the width of its
// text, and whatever stands to its right moves clear of it.
void CBasicSettingsDlg::FitLayoutToPageFont()
{
    for (int id : kCheckBoxes)
        FitToText(id, ::GetSystemMetrics(SM_CXMENUCHECK) + Scaled(kCheckTextSpare));
    for (int id : {IDC_SECTION_TITLE, IDC_SYSTEM_TITLE, IDC_PASSWORD_TITLE})
        FitToText(id, Scaled(kTitleSpare));
    MoveClearOf({IDC_SYSTEM_ICON, IDC_SYSTEM_TITLE, IDC_SS_STARTUP, IDC_SS_TRAYICON,
                 IDC_SS_UPDATE, IDC_SS_HOTKEY_ENABLED, IDC_SS_HOTKEY},
                RightEdgeOf({IDC_SECTION_TITLE, IDC_SW_WHEEL, IDC_SW_DOUBLE,
                             IDC_SW_HOTKEY_ENABLED, IDC_SW_HOTKEY}) +
                    Scaled(kColumnGap));
    MoveClearOf({IDC_PWD_ORIG, IDC_PWD_ORIG_CONFIRM, IDC_PWD_VIRT, IDC_PWD_VIRT_CONFIRM},
                RightEdgeOf({IDC_PWD_ORIG_ENABLED, IDC_PWD_VIRT_ENABLED}) + Scaled(kFieldGap));
}

void CBasicSettingsDlg::FitToText(int id, int spare)
{
    HWND control = GetDlgItem(id);
    CTextFit::FitWidth(control, control ? CWindow(control).GetFont() : nullptr, spare);
}

bool CBasicSettingsDlg::PlaceOf(int id, RECT& place) const
{
    HWND control = GetDlgItem(id);
    if (!control || !::GetWindowRect(control, &place))
        return false;
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    return true;
}

// In the page's client coordinates; 0 when none of the controls exists.
int CBasicSettingsDlg::RightEdgeOf(std::initializer_list<int> ids) const
{
    int right = 0;
    for (int id : ids) {
        RECT place{};
        if (!PlaceOf(id, place))
            continue;
        if (place.right > right)
            right = place.right;
    }
    return right;
}

// Moves the controls right together, keeping their arrangement, until the
// leftmost of them starts at left; controls already clear stay.
void CBasicSettingsDlg::MoveClearOf(std::initializer_list<int> ids, int left)
{
    int leftmost = INT_MAX;
    for (int id : ids) {
        RECT place{};
        if (!PlaceOf(id, place))
            continue;
        if (place.left < leftmost)
            leftmost = place.left;
    }
    if (leftmost == INT_MAX || leftmost >= left)
        return;
    const int shift = left - leftmost;
    for (int id : ids) {
        RECT place{};
        if (!PlaceOf(id, place))
            continue;
        ::SetWindowPos(GetDlgItem(id), nullptr, place.left + shift, place.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CBasicSettingsDlg::OnDependentClicked(WORD, WORD id, HWND, BOOL&)
{
    SyncDependents(id);
    return 0;
}

void CBasicSettingsDlg::SyncDependents(int checkBoxId)
{
    const DependentFields* entry = DependentsOf(checkBoxId);
    if (!entry)
        return;
    const DWORD on = IsChecked(checkBoxId);
    for (int field : entry->fields) {
        if (field != 0)
            Enable(field, on);
    }
}

void CBasicSettingsDlg::ShowMiddleButton(DWORD on) { Check(IDC_SW_WHEEL, on); }

void CBasicSettingsDlg::ShowBothButtons(DWORD on) { Check(IDC_SW_DOUBLE, on); }

void CBasicSettingsDlg::ShowSwitchHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift,
                                         DWORD alt)
{
    Check(IDC_SW_HOTKEY_ENABLED, enabled);
    ShowHotKey(m_switchHotKey, key, ctrl, shift, alt);
    SyncDependents(IDC_SW_HOTKEY_ENABLED);
}

void CBasicSettingsDlg::ShowAutostart(DWORD on) { Check(IDC_SS_STARTUP, on); }

void CBasicSettingsDlg::ShowTrayIcon(DWORD on) { Check(IDC_SS_TRAYICON, on); }

void CBasicSettingsDlg::ShowUpdateCheck(DWORD on) { Check(IDC_SS_UPDATE, on); }

void CBasicSettingsDlg::ShowSettingsHotKey(DWORD enabled, DWORD key, DWORD ctrl, DWORD shift,
                                           DWORD alt)
{
    Check(IDC_SS_HOTKEY_ENABLED, enabled);
    ShowHotKey(m_settingsHotKey, key, ctrl, shift, alt);
    SyncDependents(IDC_SS_HOTKEY_ENABLED);
}

void CBasicSettingsDlg::ShowSwitchPassword(DWORD enabled, const wchar_t* text)
{
    Check(IDC_PWD_VIRT_ENABLED, enabled);
    ShowPassword(IDC_PWD_VIRT, IDC_PWD_VIRT_CONFIRM, text);
    SyncDependents(IDC_PWD_VIRT_ENABLED);
}

void CBasicSettingsDlg::ShowRestorePassword(DWORD enabled, const wchar_t* text)
{
    Check(IDC_PWD_ORIG_ENABLED, enabled);
    ShowPassword(IDC_PWD_ORIG, IDC_PWD_ORIG_CONFIRM, text);
    SyncDependents(IDC_PWD_ORIG_ENABLED);
}

// Only a key makes a hot key: a code without one shows nothing and reads
// back as nothing captured.
void CBasicSettingsDlg::ShowHotKey(CHotkeyEditCtrl& box, DWORD key, DWORD ctrl, DWORD shift,
                                   DWORD alt)
{
    if (!box.m_hWnd)
        return;
    box.SetCode(key != 0, key, ctrl != 0, shift != 0, alt != 0);
}

// A text set from outside bypasses the box's limit; it is cut to what the
// user could have typed, so the box never holds more than it accepts.
void CBasicSettingsDlg::ShowPassword(int entryId, int confirmationId, const wchar_t* text)
{
    // A password that could not be read shows as empty boxes under a ticked
    // check box: the user types a new one, or unticks it.
    const wchar_t* shown = text && !CUnmatchablePassword::Is(text) ? text : L"";
    const std::wstring kept(shown, wcsnlen(shown, CPasswordEditCtrl::kMaxLength));
    ::SetDlgItemTextW(m_hWnd, entryId, kept.c_str());
    ::SetDlgItemTextW(m_hWnd, confirmationId, kept.c_str());
}

void CBasicSettingsDlg::Check(int checkBoxId, DWORD on)
{
    ::CheckDlgButton(m_hWnd, checkBoxId, on ? BST_CHECKED : BST_UNCHECKED);
}

void CBasicSettingsDlg::Enable(int controlId, DWORD on)
{
    if (HWND control = GetDlgItem(controlId))
        ::EnableWindow(control, on ? TRUE : FALSE);
}

DWORD CBasicSettingsDlg::IsChecked(int checkBoxId) const
{
    return ::IsDlgButtonChecked(m_hWnd, checkBoxId) == BST_CHECKED ? 1 : 0;
}

CHotkeyCode CBasicSettingsDlg::ReadHotKey(int editId, DWORD enabled) const
{
    if (editId == IDC_SW_HOTKEY && m_switchHotKey.m_hWnd)
        return m_switchHotKey.ReadCode(enabled);
    if (editId == IDC_SS_HOTKEY && m_settingsHotKey.m_hWnd)
        return m_settingsHotKey.ReadCode(enabled);
    return CHotkeyCode();
}

// Through the dialog manager, as Tab would: the focus and the selection of
// the box's text go together.
void CBasicSettingsDlg::SelectForCorrection(int controlId) const
{
    HWND control = GetDlgItem(controlId);
    if (!control || !::IsWindowEnabled(control) || !::IsWindowVisible(control))
        return;
    ::SetFocus(control);
    ::SendMessageW(control, EM_SETSEL, 0, -1);
}

void CBasicSettingsDlg::ReadPassword(int editId, wchar_t (&text)[16]) const
{
    text[0] = L'\0';
    if (HWND box = GetDlgItem(editId))
        ::GetWindowTextW(box, text, kPasswordReadLength + 1);
}
