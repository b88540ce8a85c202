#pragma once

#include <windows.h>

#include "../res/resource.h"
#include "../settings/CSettingsApplier.h"
#include "../settings/CSettingsRecord.h"
#include "../settings/CSettingsStore.h"
#include "../settings/ISettingsEffects.h"
#include "../win/CIdleHandler.h"
#include "../win/CMessageFilter.h"
#include "../win/CWindowImpl.h"
#include "CSettingsPagesSync.h"
#include "CTrayIconImpl.h"

// The program's one top-level window: the settings window, the owner of the
// tray icon and the settings hot key. Closing it only hides it; destroying it
// ends the program.
class CMainFrame : public CWindowImpl<CMainFrame>,
                   public CTrayIconImpl<CMainFrame>,
                   public CMessageFilter,
                   public CIdleHandler,
                   private ISettingsEffects {
public:
    DECLARE_WND_CLASS_EX(L"WTL_QuillowFrame", CS_HREDRAW | CS_VREDRAW, nullptr, IDR_MAINFRAME)

    CMainFrame();
    ~CMainFrame();

    bool CreateHidden();
    // Lets an announced update be offered once more in this run.
    void ResetUpdateShown();
    void ShowSettingsWindow();

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    BEGIN_MSG_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        COMMAND_ID_HANDLER(ID_TRAY_PREFERENCES, OnPreferences)
        COMMAND_ID_HANDLER(ID_TRAY_HELP, OnHelp)
        COMMAND_ID_HANDLER(ID_TRAY_HOME, OnHomePage)
        COMMAND_ID_HANDLER(ID_TRAY_PRODUCTS, OnProducts)
        COMMAND_ID_HANDLER(ID_TRAY_EXIT, OnExit)
        COMMAND_ID_HANDLER(ID_NAV_HOME, OnHomePage)
        COMMAND_ID_HANDLER(ID_NAV_HELP, OnHelp)
        COMMAND_ID_HANDLER(ID_NAV_HIDE, OnHide)
        MESSAGE_HANDLER(WM_HOTKEY, OnHotKey)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        CHAIN_MSG_MAP(CTrayIconImpl<CMainFrame>)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnHotKey(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPreferences(WORD, WORD, HWND, BOOL&);
    LRESULT OnHelp(WORD, WORD, HWND, BOOL&);
    LRESULT OnHomePage(WORD, WORD, HWND, BOOL&);
    LRESULT OnProducts(WORD, WORD, HWND, BOOL&);
    LRESULT OnExit(WORD, WORD, HWND, BOOL&);
    LRESULT OnHide(WORD, WORD, HWND, BOOL&);

    void SetIcons();
    void FixSize();
    void CenterOnScreen();
    void SaveAndEnd();
    static void OpenWebPage(const wchar_t* address);
    static LRESULT OpenWebPageOnClick(WORD code, const wchar_t* address, BOOL& handled);

    // ISettingsEffects
    void SetMiddleButton(int on) override;
    void SetDoubleButton(int on) override;
    void SetSwitchKey(int key, int shift, int ctrl, int alt) override;
    void SetTrayIconShown(bool shown) override;
    bool RegisterSettingsHotKey(UINT modifiers, UINT key) override;
    void UnregisterSettingsHotKey() override;

    CSettingsRecord m_settings;
    CSettingsStore m_store;
    CSettingsPagesSync m_pages;
    CSettingsApplier m_applier;
    bool m_trayIconShown = false;
    ATOM m_hotKeyAtom = 0;
    HICON m_largeIcon = nullptr;
    HICON m_smallIcon = nullptr;
    HBITMAP m_background = nullptr;
    SIZE m_minTrackSize{};
};
