#include "support/ProgramProcess.h"

#include <vector>

ProgramProcess::ProgramProcess(const std::wstring& executable, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + executable + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(executable.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info))
        return;
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
}

ProgramProcess::~ProgramProcess() {
    if (running())
        kill();
}

bool ProgramProcess::waitForExit(DWORD timeoutMs) {
    return process_ && ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

bool ProgramProcess::running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

DWORD ProgramProcess::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_)
        ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

void ProgramProcess::kill() {
    if (!process_)
        return;
    ::TerminateProcess(process_.get(), 255);
    ::WaitForSingleObject(process_.get(), 5000);
}

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
    bool prefixOnly = false;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || (!search->prefixOnly && !::IsWindowVisible(window)))
        return TRUE;
    wchar_t cls[128] = {};
    ::GetClassNameW(window, cls, 128);
    const std::wstring name = cls;
    if (search->prefixOnly ? name.rfind(search->className, 0) != 0 : name != search->className)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND ProgramProcess::findWindow(const wchar_t* className) const {
    WindowSearch search{processId_, className, nullptr};
    ::EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramProcess::findAnyWindow(const wchar_t* classPrefix) const {
    WindowSearch search{processId_, classPrefix, nullptr, true};
    ::EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
