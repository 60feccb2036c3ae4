// Presses a capture key combination through the real input queue of the Wine prefix (or Windows
// desktop) it runs in, so a person can trigger the running Pixlance from a terminal:
//   pixlance-keys full | active | select | CODE,CODE,...
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::vector<WORD> combination(const wchar_t* name) {
    // The left-hand modifier codes, as a real keyboard reports them.
    if (std::wcscmp(name, L"full") == 0)
        return {VK_LCONTROL, VK_LSHIFT, 'F'};
    if (std::wcscmp(name, L"active") == 0)
        return {VK_LCONTROL, VK_LSHIFT, 'A'};
    if (std::wcscmp(name, L"select") == 0)
        return {VK_LCONTROL, VK_LSHIFT, 'S'};
    std::vector<WORD> codes;
    std::wstring text = name;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t comma = text.find(L',', at);
        std::wstring token =
            text.substr(at, comma == std::wstring::npos ? std::wstring::npos : comma - at);
        int code = _wtoi(token.c_str());
        if (code > 0 && code < 256)
            codes.push_back(static_cast<WORD>(code));
        if (comma == std::wstring::npos)
            break;
        at = comma + 1;
    }
    return codes;
}

INPUT key(WORD code, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputws(L"usage: pixlance-keys full|active|select|CODE,CODE,...\n", stderr);
        return 2;
    }
    std::vector<WORD> codes = combination(argv[1]);
    if (codes.empty()) {
        std::fputws(L"pixlance-keys: no key codes given\n", stderr);
        return 2;
    }
    std::vector<INPUT> inputs;
    for (WORD code : codes)
        inputs.push_back(key(code, false));
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        inputs.push_back(key(*it, true));
    UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size() ? 0 : 1;
}
