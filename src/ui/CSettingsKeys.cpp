#include "ui/CSettingsKeys.h"

namespace {

CSettingsKeys::Action PageKey(const CSettingsKeys::KeyPress& press)
{
    using Action = CSettingsKeys::Action;
    switch (press.key) {
    case VK_TAB:
        return press.shift ? Action::kPreviousPage : Action::kNextPage;
    case VK_NEXT:
        return Action::kNextPage;
    case VK_PRIOR:
        return Action::kPreviousPage;
    default:
        return Action::kNone;
    }
}

}  // namespace

CSettingsKeys::Action CSettingsKeys::Decide(const KeyPress& press)
{
    // A control that asks for every key (a multi-line edit) keeps them, as
    // the dialog manager lets it.
    if (press.message != WM_KEYDOWN || (press.focusCode & DLGC_WANTMESSAGE) || press.alt)
        return Action::kNone;
    switch (press.key) {
    case VK_TAB:
    case VK_NEXT:
    case VK_PRIOR:
        return press.ctrl ? PageKey(press) : Action::kNone;
    // All that the dialog manager would turn into IDOK or IDCANCEL: the
    // window is no dialog, and its commands 1 and 2 are pages.
    case VK_RETURN:
    case VK_EXECUTE:
        return (press.focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
                   ? Action::kPressFocused
                   : Action::kApply;
    case VK_ESCAPE:
    case VK_CANCEL:
        return Action::kHide;
    default:
        return Action::kNone;
    }
}

bool CSettingsKeys::ShowsFocusCues(const KeyPress& press)
{
    if (press.message == WM_SYSKEYDOWN)
        return true;
    if (press.message != WM_KEYDOWN)
        return false;
    switch (press.key) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        return true;
    default:
        return PageKey(press) != Action::kNone && press.ctrl;
    }
}
