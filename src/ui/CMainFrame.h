#pragma once

#include <windows.h>

#include "../win/CIdleHandler.h"
#include "../win/CMessageFilter.h"
#include "../win/CWindowImpl.h"
#include "../res/resource.h"

// The program's one top-level window. It lives hidden on the user-interface
// thread; its destruction is what ends the program.
class CMainFrame : public CWindowImpl<CMainFrame>, public CMessageFilter, public CIdleHandler {
public:
    DECLARE_WND_CLASS_EX(L"WTL_QuillowFrame", CS_HREDRAW | CS_VREDRAW, nullptr, IDI_QUILLOW)

    bool CreateHidden();

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    BEGIN_MSG_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    void SetIcons();
    static void ApplyDefaultTriggers();

    HICON m_largeIcon = nullptr;
    HICON m_smallIcon = nullptr;
};
