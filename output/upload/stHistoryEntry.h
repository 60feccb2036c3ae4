#pragma once

#include <string>

// One confirmed upload as the history keeps it.
struct stHistoryEntry {
    std::wstring time;      // local time, "YYYY-MM-DD HH:MM:SS"
    std::wstring address;   // the public address
    std::wstring localPath; // the image file on disk; empty when none was kept
    std::wstring server;
};
