#include "support/TestEnvironment.h"

#include <windows.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace TestEnvironment {

std::wstring variable(const wchar_t* name) {
    wchar_t buffer[32768];
    DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
    if (length == 0 || length >= 32768)
        return {};
    return std::wstring(buffer, length);
}

std::wstring windowsPath(const std::wstring& hostPath) {
    if (hostPath.empty() || hostPath[0] != L'/')
        return hostPath;
    std::wstring result = L"Z:" + hostPath;
    for (auto& c : result)
        if (c == L'/')
            c = L'\\';
    return result;
}

static std::wstring required(const std::wstring& name) {
    std::wstring value = variable(name.c_str());
    if (value.empty())
        throw std::runtime_error("missing test environment variable");
    return value;
}

std::wstring artifactDir() {
    std::wstring dir = windowsPath(variable(L"PIXLANCE_ARTIFACT_DIR"));
    if (dir.empty()) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        dir = temp;
    }
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::wstring freshTempDir(const std::wstring& name) {
    std::wstring base = windowsPath(variable(L"PIXLANCE_FIXTURE_DIR"));
    if (base.empty()) {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        base = temp;
    }
    std::wstring dir = base + L"\\" + name + L"-" + std::to_wstring(::GetCurrentProcessId());
    removeTree(dir);
    ::CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

static std::wstring upper(std::wstring text) {
    for (auto& c : text)
        c = static_cast<wchar_t>(::towupper(c));
    return text;
}

std::wstring ftpRoot(const std::wstring& fixture) {
    return windowsPath(required(L"PIXLANCE_FTP_ROOT_" + upper(fixture)));
}

std::wstring ftpAddress(const std::wstring& fixture) {
    return required(L"PIXLANCE_FTP_ADDRESS_" + upper(fixture));
}

std::string readFileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> filesIn(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

void removeTree(const std::wstring& path) {
    if (!fileExists(path))
        return;
    std::wstring from = path + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&op);
}

std::size_t ftpLogCount(const std::wstring& fixture, const std::string& text) {
    const std::string log =
        readFileBytes(windowsPath(variable(L"PIXLANCE_FIXTURE_DIR")) + L"\\" + fixture + L".log");
    std::size_t count = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        ++count;
    return count;
}

} // namespace TestEnvironment
