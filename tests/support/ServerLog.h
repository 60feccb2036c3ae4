#pragma once

#include "support/PaintedWindow.h"
#include "support/TestEnvironment.h"

#include <windows.h>

#include <sstream>
#include <string>

// The test FTP server's own log of one fixture (ftp_server.py): a line for each connection, each
// command and each hang-up. Counts only what came after the object was made.
class ServerLog {
public:
    explicit ServerLog(const std::wstring& root)
        : path_(root + L".log"), start_(TestEnvironment::readFileBytes(path_).size()) {}

    // Lines that begin with the text.
    int count(const std::string& line) const {
        std::istringstream lines(TestEnvironment::readFileBytes(path_).substr(start_));
        int found = 0;
        for (std::string text; std::getline(lines, text);)
            found += text.rfind(line, 0) == 0 ? 1 : 0;
        return found;
    }
    // Takes this thread's messages meanwhile, as the program's work on it needs them.
    bool waitFor(const std::string& line, int times, DWORD timeoutMs = 10000) const {
        return pumpUntil([&] { return count(line) >= times; }, timeoutMs);
    }

private:
    std::wstring path_;
    std::size_t start_;
};
