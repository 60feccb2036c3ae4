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

FrameNameSequence::Name FrameNameSequence::next(std::time_t when) {
    std::wstring name = frameNameFor(when);
    if (!name.empty() && name == last_.name)
        ++last_.number;
    else
        last_ = Name{std::move(name), 1};
    return last_;
}
