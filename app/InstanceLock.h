#pragma once

#include "platform/Handles.h"

#include <string>

// The single-instance lock: the file "running" in the settings folder, held open for the life of
// the process and shared for reading only, so a second open (which asks for delete access) fails
// while a first instance runs. The file is never written or deleted; a leftover one does not
// block a start.
class InstanceLock {
public:
    explicit InstanceLock(const std::wstring& lockFilePath);
    bool held() const noexcept { return static_cast<bool>(handle_); }

private:
    UniqueFileHandle handle_;
};
