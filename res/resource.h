#pragma once

// Resource ids shared by the resource script and the code.
#define IDR_MAINFRAME 128
#define IDI_LARGE 147
#define IDR_TRAY_MENU 130
#define IDB_TREE_ERROR 32775
#define IDB_TREE_FOLDER 32776
#define IDB_TREE_FILE 32777

#define ID_EXIT 32773
#define ID_PREFERENCES 32774
#define ID_RESEND_UNSENT 32778
// The recent uploads of the icon's menu take the ids from here on, one each.
#define ID_RECENT_FIRST 32800

#define IDS_OLE_INIT_FAILED 100
#define IDS_SOCKETS_INIT_FAILED 103
#define IDS_TAB_FTP 129
#define IDS_TAB_GENERAL 132
#define IDS_RECENT_UPLOADS 141
#define IDS_RESEND_UNSENT 142
