#include "EndToEndFixture.h"

#include "app/AppFolders.h"
#include "output/upload/UploadFolders.h"
#include "support/PaintedWindow.h"
#include "support/TestEnvironment.h"
#include "res/resource.h"

#include <shellapi.h>

#include <cwctype>
#include <vector>

namespace EndToEnd {

const std::wstring kBuiltinUser = L"uploads@pixlance.example";

bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    return pumpUntil(condition, timeoutMs);
}

std::wstring programPath() {
    return TestEnvironment::windowsPath(TestEnvironment::variable(L"PIXLANCE_EXE"));
}

std::wstring settingsFile() {
    return settingsFolder() + L"Settings.dat";
}

std::wstring shortcutFile() {
    return startupFolder() + L"Morvex.lnk";
}

RegistryProfile profile() {
    return RegistryProfile(L"Morvex_1.0", L"Pixlance");
}

void resetProgramState() {
    TestEnvironment::removeTree(settingsFolder());
    TestEnvironment::removeTree(UploadFolders::unsent());
    ::DeleteFileW(UploadFolders::historyFile().c_str());
    ::DeleteFileW(shortcutFile().c_str());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Morvex_1.0");
}

void pointBuiltinTargetAt(const std::wstring& server, const std::wstring& url) {
    RegistryProfile p = profile();
    p.writeString(L"Default", L"Server", server);
    p.writeString(L"Default", L"Username", kBuiltinUser);
    p.writeString(L"Default", L"Path", L"/");
    p.writeString(L"Default", L"URL", url);
}

// Start-up is over once its last step is done: the start-up shortcut made (when the settings
// keep it) or, without one, the built-in target's address written to the registry. Then the
// program's GUI thread takes messages.
bool waitUntilStarted(ProgramProcess& process, bool mayLackShortcut) {
    const bool gotShortcut = waitFor([] { return TestEnvironment::fileExists(shortcutFile()); },
                                     mayLackShortcut ? 3000 : 30000);
    if (!gotShortcut && !mayLackShortcut)
        return false;
    if (!gotShortcut &&
        !waitFor([] { return profile().readString(L"Default", L"URL", L"") != L""; }, 30000))
        return false;
    HWND hidden = nullptr;
    if (!waitFor([&] { return (hidden = process.findAnyWindow(L"Pixlance:")) != nullptr; }, 20000))
        return false;
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(hidden, WM_NULL, 0, 0, SMTO_BLOCK, 30000, &result) != 0;
}

void pressKeys(std::initializer_list<WORD> codes) {
    std::vector<INPUT> inputs;
    for (WORD code : codes) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = code;
        inputs.push_back(in);
    }
    for (auto it = std::rbegin(codes); it != std::rend(codes); ++it) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// "dd_mm_yy_HH_MM_SS" followed by the extension.
bool isTimeStampName(const std::wstring& name, const std::wstring& extension) {
    if (name.size() != 17 + extension.size() || name.substr(17) != extension)
        return false;
    for (std::size_t i = 0; i < 17; ++i)
        if (i % 3 == 2 ? name[i] != L'_' : !std::iswdigit(name[i]))
            return false;
    return true;
}

void Fixture::SetUp() {
    resetProgramState();
    ASSERT_FALSE(programPath().empty());
}

void Fixture::TearDown() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Morvex_1.0");
    ::DeleteFileW(shortcutFile().c_str());
}

std::wstring remoteFileOf(const std::wstring& serverFolder, const std::wstring& localName) {
    const std::size_t dot = localName.rfind(L'.');
    const std::wstring stem = localName.substr(0, dot);
    const std::wstring extension = localName.substr(dot);
    std::wstring found;
    for (const std::wstring& name :
         TestEnvironment::filesIn(serverFolder, stem + L"_*" + extension)) {
        const std::wstring suffix =
            name.substr(stem.size() + 1, name.size() - stem.size() - 1 - extension.size());
        if (suffix.size() != 16 ||
            suffix.find_first_not_of(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij"
                                     L"klmnopqrstuvwxyz0123456789") != std::wstring::npos)
            continue;
        if (!found.empty())
            return {};
        found = name;
    }
    return found;
}

std::unique_ptr<ProgramProcess> Fixture::start(const std::wstring& arguments) {
    const std::size_t before = requestsOf(NIM_ADD);
    auto process = std::make_unique<ProgramProcess>(programPath(), arguments);
    EXPECT_TRUE(process->started());
    EXPECT_TRUE(
        waitFor([&] { return requestsOf(NIM_ADD) > before || !process->running(); }, 30000));
    EXPECT_TRUE(waitUntilStarted(*process, TestEnvironment::fileExists(settingsFile())));
    return process;
}

std::string Fixture::balloonLog() const {
    std::string log;
    for (const auto& request : shell.requests()) {
        if (request.message != NIM_MODIFY)
            continue;
        std::string line;
        for (std::size_t i = 0; i + 1 < request.payload.size(); i += 2) {
            wchar_t c = static_cast<wchar_t>(request.payload[i] | (request.payload[i + 1] << 8));
            line += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : ' ';
        }
        std::string squeezed;
        for (char c : line)
            if (c != ' ' || (squeezed.size() && squeezed.back() != ' '))
                squeezed += c;
        log += "[" + squeezed + "]\n";
    }
    return log;
}

bool Fixture::exitProgram(ProgramProcess& process, DWORD timeoutMs) {
    HWND hidden = process.findAnyWindow(L"Pixlance:");
    if (!hidden)
        return false;
    ::PostMessageW(hidden, WM_COMMAND, ID_EXIT, 0);
    return process.waitForExit(timeoutMs);
}

std::size_t Fixture::requestsOf(DWORD message) const {
    std::size_t count = 0;
    for (const auto& request : shell.requests())
        count += request.message == message;
    return count;
}

bool Fixture::balloonShown(const std::wstring& title, const std::wstring& text) const {
    for (const auto& request : shell.requests())
        if (request.message == NIM_MODIFY && request.contains(title) &&
            (text.empty() || request.contains(text)))
            return true;
    return false;
}

std::size_t Fixture::balloonsTitled(const std::wstring& title) const {
    std::size_t count = 0;
    for (const auto& request : shell.requests())
        count += request.message == NIM_MODIFY && request.contains(title);
    return count;
}

void Fixture::writeSettings(const std::function<void(cBinSettingBag&)>& fill) {
    cBinSettingBag bag;
    bag.setString(L"Full", L"17,16,70");
    bag.setString(L"Active", L"17,16,65");
    bag.setString(L"Select", L"17,16,83");
    fill(bag);
    settingsFolder();
    bag.writeFile(settingsFile());
}

cBinSettingBag Fixture::readSettings() {
    cBinSettingBag bag;
    bag.readFile(settingsFile());
    return bag;
}

} // namespace EndToEnd
