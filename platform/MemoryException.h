#pragma once

#include "platform/AppException.h"

// A buffer could not be allocated.
class MemoryException : public AppException {
public:
    MemoryException() : AppException(L"内存不足.") {}
};
