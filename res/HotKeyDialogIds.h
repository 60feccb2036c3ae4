#pragma once

// The hot key dialog and its controls. Each dialog has its own ids: 1021 and 1022 mean other
// controls in the preference pages.
#define IDD_HOTKEYS 136

#define IDC_FULL_KEYS 1020
#define IDC_SELECT_KEYS 1021
#define IDC_ACTIVE_KEYS 1022
#define IDC_EDIT_KEYS 1023

#define IDC_RESET_FULL 1019
#define IDC_RESET_SELECT 1001
#define IDC_RESET_ACTIVE 1002
#define IDC_RESET_EDIT 1003
