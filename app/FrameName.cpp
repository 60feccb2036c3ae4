#include "app/FrameName.h"

#include <cwchar>

std::wstring frameNameFor(std::time_t when) {
    std::tm local{};
    if (localtime_s(&local, &when) != 0)
        return {};
    wchar_t buffer[128];
    const std::size_t length = std::wcsftime(buffer, 128, L"%d_%m_%y_%H_%M_%S", &local);
    if (length == 0)
        return {};
    return std::wstring(buffer, length);
}
