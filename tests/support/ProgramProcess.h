#pragma once

#include "platform/Handles.h"

#include <string>

// A program of ours started as a separate process, for tests that drive the real executable.
class ProgramProcess {
public:
    ProgramProcess(const std::wstring& executable, const std::wstring& arguments = L"");
    // Ends the process if it still runs.
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool started() const noexcept { return static_cast<bool>(process_); }
    // True when the process ended within the time; exitCode() is then valid.
    bool waitForExit(DWORD timeoutMs);
    bool running() const;
    DWORD exitCode() const;
    DWORD id() const noexcept { return processId_; }
    DWORD mainThreadId() const noexcept { return threadId_; }
    HANDLE handle() const noexcept { return process_.get(); }
    void kill();

    // A visible top-level window of this process with the given class ("#32770" for a message box).
    HWND findWindow(const wchar_t* className) const;
    // A top-level window of this process, shown or not, whose class name starts with prefix.
    HWND findAnyWindow(const wchar_t* classPrefix) const;

private:
    UniqueHandle process_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
};
