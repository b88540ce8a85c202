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
