#pragma once

#include "platform/AppException.h"

#include <windows.h>

// A handle, device context or other system resource could not be obtained. Keeps the system's
// error code of the failing call: the default argument reads it before anything else can run, so
// raise it right after that call.
class ResourceException : public AppException {
public:
    explicit ResourceException(DWORD osError = ::GetLastError())
        : AppException(L"必须的资源不可用"), osError_(osError) {}

    DWORD osError() const noexcept { return osError_; }

private:
    DWORD osError_;
};
