#pragma once

// The remote folder browser.
#define IDD_REMOTE_FOLDERS 140
#define IDC_FOLDER_TREE 1027

#define IDS_NO_INTERNET_SESSION 101
#define IDS_INVALID_FTP_ADDRESS 104
#define IDS_FTP_CONNECT_EXCEPTION 105
// A folder waiting for its listing; a listing cut short (%u: the entries shown).
#define IDS_LISTING 106
#define IDS_LISTING_CUT 107
