#pragma once

#include "hotkeys/cHotKeySettings.h"
#include "output/cDiskFileOutput.h"
#include "output/upload/cFTPOutput.h"

#include <cstdint>

// What the preference dialogs show and change: the application's components and switches, lent
// for as long as the dialog is open. The switches keep the values their settings keys store.
struct PreferencesModel {
    cHotKeySettings& hotKeys;
    cDiskFileOutput& disk;
    cFTPOutput& ftp;
    std::int32_t& diskOutputOn;      // "DiskOutput"
    std::int32_t& clipboardOutputOn; // "ClipboardOutput"
    std::int32_t& runAtStartup;      // "RunAtStartup"
    std::int32_t& outputFormat;      // "OutputFormat": 0 PNG, 1 JPEG, 2 BMP
};
