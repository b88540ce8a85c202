// Resource ids shared by the resource script and the code.
#pragma once

// Icon, menu and title string of the main frame share one id.
#define IDR_MAINFRAME 128
#define IDB_FRAME_BACKGROUND 209

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

#define IDD_PASSWORD 109
#define IDC_PASSWORD_FIELD 1007
#define IDC_PASSWORD_LABEL 1008
