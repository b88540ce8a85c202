#pragma once

#include <windows.h>

#include "app/CSettingsRecord.h"

// One page of the settings window, as the frame's page switch sees it: made
// once, on its first showing, as a modeless child of the frame, and filled
// from the settings in force.
class ISettingsPage {
public:
    // The page's window, or nullptr when it could not be made.
    virtual HWND CreatePage(HWND frame, int pageNumber, const CSettingsRecord& settings) = 0;

protected:
    ~ISettingsPage() = default;
};
