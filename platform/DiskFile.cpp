#include "platform/DiskFile.h"

#include "platform/FileException.h"

#include <limits>

namespace {

struct stOpenFlags {
    DWORD access;
    DWORD sharing;
    DWORD disposition;
};

stOpenFlags openFlagsFor(DiskFile::Mode mode) {
    switch (mode) {
    case DiskFile::Mode::CreateReadWrite:
        return {GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS};
    case DiskFile::Mode::CreateNew:
        return {GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW};
    case DiskFile::Mode::OpenAppend:
        // Without FILE_WRITE_DATA the system itself puts every write at the end; append access is
        // enough for FlushFileBuffers too.
        return {GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ, OPEN_ALWAYS};
    case DiskFile::Mode::OpenRead:
        break;
    }
    // A reader does not keep the file's owner from deleting it (an upload given up while it still
    // reads its queued file).
    return {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING};
}

} // namespace

DiskFile::DiskFile(std::wstring path, Mode mode) : path_(std::move(path)) {
    const stOpenFlags flags = openFlagsFor(mode);
    HANDLE handle = ::CreateFileW(path_.c_str(), flags.access, flags.sharing, nullptr,
                                  flags.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        fail(::GetLastError());
    handle_.reset(handle);
}

void DiskFile::fail(DWORD error) const {
    throw FileException(error, path_);
}

HANDLE DiskFile::openHandle() const {
    if (!handle_)
        fail(ERROR_INVALID_HANDLE);
    return handle_.get();
}

void DiskFile::write(const void* data, std::size_t size) {
    HANDLE handle = openHandle();
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        DWORD piece = size > std::numeric_limits<DWORD>::max() / 2
                          ? std::numeric_limits<DWORD>::max() / 2
                          : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(handle, bytes, piece, &written, nullptr))
            fail(::GetLastError());
        if (written == 0)
            fail(ERROR_WRITE_FAULT);
        bytes += written;
        size -= written;
    }
}

std::size_t DiskFile::read(void* data, std::size_t size) {
    HANDLE handle = openHandle();
    DWORD piece = size > std::numeric_limits<DWORD>::max() / 2
                      ? std::numeric_limits<DWORD>::max() / 2
                      : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!::ReadFile(handle, data, piece, &got, nullptr))
        fail(::GetLastError());
    return got;
}

void DiskFile::flush() {
    if (!::FlushFileBuffers(openHandle()))
        fail(::GetLastError());
}

void DiskFile::close() {
    if (!handle_)
        return;
    HANDLE handle = handle_.release();
    if (!::CloseHandle(handle))
        fail(::GetLastError());
}

void DiskFile::discard() noexcept {
    handle_.reset();
    ::DeleteFileW(path_.c_str());
}

std::uint64_t DiskFile::seek(std::int64_t offset, SeekOrigin origin) {
    return movePointer(offset, origin == SeekOrigin::Begin     ? FILE_BEGIN
                               : origin == SeekOrigin::Current ? FILE_CURRENT
                                                               : FILE_END);
}

std::uint64_t DiskFile::position() const {
    return movePointer(0, FILE_CURRENT);
}

std::uint64_t DiskFile::movePointer(std::int64_t offset, DWORD method) const {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result{};
    if (!::SetFilePointerEx(openHandle(), distance, &result, method))
        fail(::GetLastError());
    return static_cast<std::uint64_t>(result.QuadPart);
}

std::uint64_t DiskFile::length() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(openHandle(), &size))
        fail(::GetLastError());
    return static_cast<std::uint64_t>(size.QuadPart);
}
