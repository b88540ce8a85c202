#pragma once

#include "win/CDpi.h"

#include <windows.h>

#include "app/CSettingsRecord.h"
#include "res/resource.h"
#include "settings/CSettingsApplier.h"
#include "settings/CSettingsStore.h"
#include "settings/ISettingsEffects.h"
#include "ui/CAboutDlg.h"
#include "ui/CAdvancedSettingsDlg.h"
#include "ui/CApplyCommand.h"
#include "ui/CBasicSettingsDlg.h"
#include "ui/CNavPanelView.h"
#include "ui/CSessionEventsImpl.h"
#include "ui/CSettingsKeys.h"
#include "ui/CSettingsPagesSync.h"
#include "ui/CTrayIconImpl.h"
#include "ui/ISettingsPage.h"
#include "ui/themed/CBackgroundImage.h"
#include "ui/themed/CThemedTabBar.h"
#include "update/CUpdatePrompt.h"
#include "win/CIdleHandler.h"
#include "win/CMessageFilter.h"
#include "win/CWindowImpl.h"

// The program's one top-level window: the settings window, the owner of the
// tray icon and the settings hot key. Closing it only hides it; destroying it
// ends the program.
class CMainFrame : public CWindowImpl<CMainFrame>,
                   public CTrayIconImpl<CMainFrame>,
                   public CSessionEventsImpl<CMainFrame>,
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
    void SwitchToPage(int page);
    // With bars, the tab bar and the panel are moved too; the page always is.
    void Layout(bool withBars);
    int CurrentPage() const { return m_currentPage; }

    // The pages in the order of the tab bar, wrapping round at both ends.
    static int PreviousPage(int page);
    static int NextPage(int page);

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    BEGIN_MSG_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_CLOSE, OnClose)
        MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        COMMAND_ID_HANDLER(ID_TRAY_SWITCH, OnSwitchDesktop)
        COMMAND_ID_HANDLER(ID_TRAY_PREFERENCES, OnPreferences)
        COMMAND_ID_HANDLER(ID_TRAY_HELP, OnHelp)
        COMMAND_ID_HANDLER(ID_TRAY_HOME, OnHomePage)
        COMMAND_ID_HANDLER(ID_TRAY_PRODUCTS, OnProducts)
        COMMAND_ID_HANDLER(ID_TRAY_EXIT, OnExit)
        COMMAND_ID_HANDLER(ID_NAV_HOME, OnHomePage)
        COMMAND_ID_HANDLER(ID_NAV_HELP, OnHelp)
        COMMAND_ID_HANDLER(ID_NAV_HIDE, OnHide)
        COMMAND_ID_HANDLER(ID_NAV_QUIT, OnQuit)
        COMMAND_ID_HANDLER(ID_NAV_APPLY, OnApply)
        COMMAND_ID_HANDLER(ID_NAV_PREVIOUS, OnPreviousPage)
        COMMAND_ID_HANDLER(ID_NAV_NEXT, OnNextPage)
        COMMAND_RANGE_HANDLER(ID_PAGE_BASIC, ID_PAGE_ABOUT, OnTabCommand)
        MESSAGE_HANDLER(WM_HOTKEY, OnHotKey)
        MSG_WM_TIMER(OnTimer)
        MSG_WM_SIZE(OnSize)
        MSG_WM_DPICHANGED(OnDpiChanged)
        CHAIN_MSG_MAP(CTrayIconImpl<CMainFrame>)
        CHAIN_MSG_MAP(CSessionEventsImpl<CMainFrame>)
    END_MSG_MAP()

    // Every setting and the autostart value, as "Exit" writes them.
    void SaveSettings();

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActivate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnHotKey(UINT, WPARAM, LPARAM, BOOL&);
    void OnTimer(UINT_PTR timerId);
    LRESULT OnSwitchDesktop(WORD, WORD, HWND, BOOL&);
    LRESULT OnPreferences(WORD, WORD, HWND, BOOL&);
    LRESULT OnHelp(WORD, WORD, HWND, BOOL&);
    LRESULT OnHomePage(WORD, WORD, HWND, BOOL&);
    LRESULT OnProducts(WORD, WORD, HWND, BOOL&);
    LRESULT OnExit(WORD, WORD, HWND, BOOL&);
    LRESULT OnHide(WORD, WORD, HWND, BOOL&);
    LRESULT OnQuit(WORD, WORD, HWND, BOOL&);
    LRESULT OnApply(WORD, WORD, HWND, BOOL&);
    LRESULT OnPreviousPage(WORD, WORD, HWND, BOOL&);
    LRESULT OnNextPage(WORD, WORD, HWND, BOOL&);
    LRESULT OnTabCommand(WORD, WORD, HWND, BOOL&);
    void OnSize(UINT sizeType, SIZE);
    void OnDpiChanged(UINT, UINT, const RECT* suggested);

    // A page object, and whether its window has been made yet.
    struct PageSlot {
        ISettingsPage* page;
        bool created;
        HWND window;
    };

    void BuildContents(int firstPage = ID_PAGE_BASIC);
    void DestroyContents();
    void CreateNavPanel();
    void CreateTabBar();
    void StepToPage(int page);
    void Apply();
    // The keyboard of a property sheet: the keys the window answers itself,
    // then the dialog manager's Tab and arrows over all its controls.
    bool RunSettingsKey(const MSG& msg);
    void ShowFocusCuesFor(const MSG& msg);
    bool IsOwnControl(HWND window) const;
    HWND FirstControlOfPage() const;
    void FocusControl(HWND control);
    // Tab order follows the z-order: the tab bar, the page, the buttons.
    void OrderForTabbing();
    void SetIcons();
    void FixSize();
    void CenterOnScreen();
    void SaveAndEnd();
    void TellOfUnreadablePasswords();
    // The installer or uninstaller asked every Quillow to end (through the
    // main thread): save and end as "Exit" does, asking nothing, since it
    // waits for the process to end and cannot answer a question.
    void EndAtInstallersRequest();
    // Quit and Exit: programs left open on the private desktop would be out
    // of reach once Quillow has ended. False when the user chose to go
    // there, or neither to go nor to quit.
    bool MayEndWithProgramsOnPrivateDesktop();
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
    bool m_contentsBuilt = false;
    CDpi m_dpi;
    ATOM m_hotKeyAtom = 0;
    HICON m_largeIcon = nullptr;
    HICON m_smallIcon = nullptr;
    CBackgroundImage m_background;
    SIZE m_minTrackSize{};
    CThemedTabBar m_tabBar;
    CNavPanelView m_navPanel;
    CUpdatePrompt m_updatePrompt;
    CApplyCommand m_applyCommand;
    // One line per page: the page switch needs nothing else of a page.
    CBasicSettingsDlg m_basicPage;
    CAdvancedSettingsDlg m_advancedPage;
    CAboutDlg m_aboutPage;
    PageSlot m_pageSlots[3] = {{&m_basicPage, false, nullptr},
                               {&m_advancedPage, false, nullptr},
                               {&m_aboutPage, false, nullptr}};
    int m_currentPage = 0;
    // The page now shown: what the layout pass sizes.
    HWND m_client = nullptr;
    // What had the focus when the window last lost it; it gets it back.
    HWND m_focusBeforeDeactivation = nullptr;
};
