// Resource ids shared by the resource script and the code.
#pragma once

// Icon, menu and title string of the main frame share one id.
#define IDR_MAINFRAME 128

// Images: PNG resources drawn with per-pixel alpha.
#define IDB_TAB_BASE 204
#define IDB_TAB 205
#define IDB_FRAME_BACKGROUND 209
#define IDB_PANEL_CAP_LEFT 211
#define IDB_PANEL_CAP_RIGHT 212
#define IDB_PANEL_SEAT 213
#define IDB_PANEL_STRIP 214
#define IDB_NAV_HOME 215
#define IDB_NAV_HELP 216
#define IDB_NAV_PREVIOUS 217
#define IDB_NAV_APPLY 218
#define IDB_NAV_NEXT 219
#define IDB_NAV_HIDE 221
#define IDB_NAV_QUIT 222
#define IDB_SECTION_TRIGGERS 223
#define IDB_SECTION_SYSTEM 225
#define IDB_DIALOG_BACKGROUND 228
#define IDB_DIALOG_BUTTON 230
#define IDB_PRODUCT_NAME 231
#define IDB_LOGO 232
#define IDB_SWEEP_LIGHT 234
#define IDB_SECTION_ACTIONS 235
#define IDB_QUIT_QUESTION 238
#define IDB_SECTION_PASSWORDS 1017

// The navigation panel's command names.
#define IDR_NAVPANEL 224

// The tray menu.
#define ID_TRAY_PREFERENCES 32776
#define ID_TRAY_HELP 32777
#define ID_TRAY_HOME 32778
#define ID_TRAY_PRODUCTS 32779
#define ID_TRAY_EXIT 32780
#define ID_TRAY_SWITCH 32793

// The navigation panel's buttons.
#define ID_NAV_APPLY 32782
#define ID_NAV_HOME 32787
#define ID_NAV_PREVIOUS 32788
#define ID_NAV_NEXT 32789
#define ID_NAV_HIDE 32790
#define ID_NAV_QUIT 32791
#define ID_NAV_HELP 32792

// The settings pages and the tab bar's commands that show them.
#define ID_PAGE_BASIC 1
#define ID_PAGE_ADVANCED 2
#define ID_PAGE_ABOUT 3
#define IDD_ABOUT 105
#define IDD_ADVANCED 106
#define IDD_BASIC 108

// The basic settings page.
#define IDC_SECTION_ICON 11002
#define IDC_SECTION_TITLE 11003
#define IDC_SW_WHEEL 11004
#define IDC_SW_DOUBLE 11005
#define IDC_SW_HOTKEY_ENABLED 11006
#define IDC_SW_HOTKEY 11007
#define IDC_SYSTEM_ICON 11008
#define IDC_SYSTEM_TITLE 11009
#define IDC_SS_STARTUP 11010
#define IDC_SS_TRAYICON 11011
#define IDC_SS_HOTKEY_ENABLED 11012
#define IDC_SS_HOTKEY 11013
#define IDC_SS_UPDATE 11014
#define IDC_PASSWORD_ICON 11017
#define IDC_PASSWORD_TITLE 11018
#define IDC_PWD_ORIG_ENABLED 11019
#define IDC_PWD_ORIG 11020
#define IDC_PWD_ORIG_CONFIRM 11021
#define IDC_PWD_VIRT_ENABLED 11022
#define IDC_PWD_VIRT 11023
#define IDC_PWD_VIRT_CONFIRM 11024

// The advanced settings page (its icon and title reuse 11002 and 11003).
#define IDC_AC_MONITOR 21007
#define IDC_AC_MUTE 21010
#define IDC_AC_BROWSERHISTORY 21012
#define IDC_AC_IEURLS 21013
#define IDC_AC_TASKMGR 21016
#define IDC_AC_RECENTDOC 21017
#define IDC_AC_PROCESSES 21018
#define IDC_AC_FILE_ENABLED 21019
#define IDC_AC_WINDOWS_TITLE 21020
#define IDC_AC_FILE_PATH 21021
#define IDC_AC_WEBSITE_ENABLED 21022
#define IDC_AC_WINDOWS_ENABLED 21023
#define IDC_AC_PROCESSES_ENABLED 21024
#define IDC_AC_WEBSITE_URL 21025
// What an edit box's browse button sends its parent.
#define WM_EDIT_BROWSE 5468
// The browse buttons' tool tips. Not the boxes' own ids: those would give
// the whole box the tip.
#define IDS_BROWSE_PROCESSES 21118
#define IDS_BROWSE_FILE 21121

// The process picker.
#define IDD_PROCESSES 107
#define IDC_PROCESS_LIST 1025
#define IDC_PROCESS_REFRESH 1026

#define IDC_ABOUT_COPYRIGHT 31010
#define IDC_ABOUT_VERSION 31011
#define IDC_ABOUT_SUPPORT 31012
#define IDC_ABOUT_HOMEPAGE 31014
#define IDC_ABOUT_NAME 31029
#define IDC_ABOUT_LOGO 31030

#define IDD_QUIT 110
#define IDC_QUIT_DONT_ASK 1042
#define IDC_QUIT_PICTURE 1043
#define IDC_QUIT_CONFIRM 1044
#define IDC_QUIT_QUESTION 1045

#define IDD_PASSWORD 109
#define IDC_PASSWORD_FIELD 1007
#define IDC_PASSWORD_LABEL 1008
