#include "app/CommandLineRequest.h"

#include <cwctype>

namespace {

std::wstring lowered(std::wstring text) {
    for (auto& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

} // namespace

CommandLineRequest parseCommandLine(const std::wstring& commandLine) {
    std::size_t at = 0;
    while (at < commandLine.size()) {
        while (at < commandLine.size() && std::iswspace(commandLine[at]))
            ++at;
        std::size_t end = at;
        while (end < commandLine.size() && !std::iswspace(commandLine[end]))
            ++end;
        std::wstring token = commandLine.substr(at, end - at);
        at = end;
        if (token.size() < 2 || (token[0] != L'/' && token[0] != L'-'))
            continue;
        std::wstring flag = lowered(token.substr(1));
        if (flag == L"register" || flag == L"regserver")
            return CommandLineRequest::Register;
        if (flag == L"unregister" || flag == L"unregserver")
            return CommandLineRequest::Unregister;
    }
    return CommandLineRequest::Run;
}
