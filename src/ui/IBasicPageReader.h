#pragma once

#include <windows.h>

#include "settings/CHotkeyCode.h"

// What the Apply command reads from the basic settings page.
class IBasicPageReader {
public:
    // 1 only for a box that is checked, never for an indeterminate one.
    virtual DWORD IsChecked(int checkBoxId) const = 0;
    // No key when nothing is captured in the box.
    virtual CHotkeyCode ReadHotKey(int editId, DWORD enabled) const = 0;
    // At most the fourteen characters the password prompt compares.
    virtual void ReadPassword(int editId, wchar_t (&text)[16]) const = 0;
    // After a hint about a field: the focus goes to it, its text selected, so
    // what the user types next replaces what was refused. Nothing the page
    // reads changes.
    virtual void SelectForCorrection(int controlId) const { (void)controlId; }

protected:
    ~IBasicPageReader() = default;
};
