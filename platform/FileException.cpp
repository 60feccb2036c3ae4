#include "platform/FileException.h"

#include "platform/SystemMessage.h"

namespace {

std::wstring describe(DWORD osError, const std::wstring& path, std::wstring reason) {
    if (reason.empty())
        reason = systemMessageText(osError);
    if (reason.empty())
        reason = L"File error " + std::to_wstring(osError) + L".";
    return reason + L" File: " + path;
}

} // namespace

FileException::FileException(DWORD osError, std::wstring path)
    : AppException(describe(osError, path, {})), osError_(osError),
      path_(std::make_shared<const std::wstring>(std::move(path))) {}

FileException::FileException(DWORD osError, std::wstring path, const std::wstring& reason)
    : AppException(describe(osError, path, reason)), osError_(osError),
      path_(std::make_shared<const std::wstring>(std::move(path))) {}
