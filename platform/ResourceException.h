#pragma once

#include "platform/AppException.h"

// A handle, device context or other system resource could not be obtained.
class ResourceException : public AppException {
public:
    ResourceException() : AppException(L"必须的资源不可用") {}
};
