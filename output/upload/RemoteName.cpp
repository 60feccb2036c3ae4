#include "output/upload/RemoteName.h"

namespace RemoteName {

namespace {

bool isAlphanumeric(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9');
}

// Where the extension begins: the last dot, or the end when there is none.
std::size_t extensionStart(const std::wstring& fileName) {
    const std::size_t dot = fileName.rfind(L'.');
    return dot == std::wstring::npos ? fileName.size() : dot;
}

} // namespace

std::wstring withSuffix(const std::wstring& fileName, const std::wstring& randomText) {
    const std::size_t at = extensionStart(fileName);
    return fileName.substr(0, at) + L"_" + randomText + fileName.substr(at);
}

bool hasRandomSuffix(const std::wstring& fileName) {
    const std::size_t end = extensionStart(fileName);
    if (end < kSuffixLength + 1 || fileName[end - kSuffixLength - 1] != L'_')
        return false;
    for (std::size_t i = end - kSuffixLength; i < end; ++i)
        if (!isAlphanumeric(fileName[i]))
            return false;
    return true;
}

std::wstring withOtherSuffix(const std::wstring& fileName, const std::wstring& randomText) {
    const std::size_t end = extensionStart(fileName);
    return fileName.substr(0, end - kSuffixLength) + randomText + fileName.substr(end);
}

std::wstring numbered(const std::wstring& fileName, int number) {
    if (number <= 1)
        return fileName;
    const std::size_t at = extensionStart(fileName);
    return fileName.substr(0, at) + L"_" + std::to_wstring(number) + fileName.substr(at);
}

} // namespace RemoteName
