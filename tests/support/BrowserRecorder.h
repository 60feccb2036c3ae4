#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Makes UrlRecorder.exe (path in PIXLANCE_URL_RECORDER) the http and https handler for the object's
// lifetime, in place of a browser: each address opened is written, as UTF-16, to the record file.
// Windows reads the user's classes first; Wine reads only the machine's, so both are set and put
// back afterwards.
class RecorderAsBrowser {
public:
    explicit RecorderAsBrowser(const std::wstring& recordFile);
    RecorderAsBrowser(const RecorderAsBrowser&) = delete;
    RecorderAsBrowser& operator=(const RecorderAsBrowser&) = delete;
    ~RecorderAsBrowser();

private:
    struct Saved {
        HKEY root;
        std::wstring path;
        bool existed;
        std::wstring value;
    };
    void replace(HKEY root, const std::wstring& path, const std::wstring& command);

    std::vector<Saved> saved_;
};

// Waits, for a bounded time, until the record file exists, and gives its text.
std::wstring waitForRecord(const std::wstring& path);
