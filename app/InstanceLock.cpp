#include "app/InstanceLock.h"

InstanceLock::InstanceLock(const std::wstring& lockFilePath)
    : handle_(::CreateFileW(lockFilePath.c_str(), STANDARD_RIGHTS_ALL, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
