#pragma once

#include <windows.h>

#include "ISettingsPage.h"
#include "themed/CThemedDialogImpl.h"

// A settings page whose controls are not laid out yet: the page shows the
// frame's background and takes part in the page switch like any other.
template <UINT t_templateId>
class CBlankPageDlg : public CThemedDialogImpl<CBlankPageDlg<t_templateId>>, public ISettingsPage {
    using Base = CThemedDialogImpl<CBlankPageDlg<t_templateId>>;

public:
    enum { IDD = t_templateId };

    HWND CreatePage(HWND frame, int, const CSettingsRecord&) override { return this->Create(frame); }

    BEGIN_MSG_MAP(CBlankPageDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        CHAIN_MSG_MAP(Base)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
    {
        this->SetUpThemedPage();
        return TRUE;
    }
};
