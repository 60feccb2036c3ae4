#pragma once

// The preferences dialog and its pages.
#define IDD_PREFERENCES 133
#define IDD_PANEL_GENERAL 132
#define IDD_PANEL_FTP 129

#define IDC_PAGE_TABS 1014

// General page
#define IDC_RUN_AT_STARTUP 1009
#define IDC_COPY_URL 1007
#define IDC_OPEN_BROWSER 1008
#define IDC_SAVE_TO_FOLDER 1021
#define IDC_FOLDER 1022
#define IDC_BROWSE_FOLDER 1023
#define IDC_COPY_IMAGE 1011
#define IDC_FORMAT 1013
#define IDC_HOTKEYS 1015
