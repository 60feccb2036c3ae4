#include "support/MemoryFile.h"

namespace {

#ifdef _WIN32
[[noreturn]] void failDiskFull() {
    throw FileException(ERROR_DISK_FULL, L"memory file");
}
[[noreturn]] void failNegativeSeek() {
    throw FileException(ERROR_NEGATIVE_SEEK, L"memory file");
}
#else
[[noreturn]] void failDiskFull() {
    throw AppException(L"memory file: the disk is full");
}
[[noreturn]] void failNegativeSeek() {
    throw AppException(L"memory file: seek outside the file");
}
#endif

} // namespace

void MemoryFile::write(const void* data, std::size_t size) {
    writeSizes_.push_back(size);
    if (position_ + size > failAfter_) {
        failed_ = true;
        failDiskFull();
    }
    const auto* bytes = static_cast<const char*>(data);
    const std::size_t at = static_cast<std::size_t>(position_);
    if (bytes_.size() < at + size)
        bytes_.resize(at + size);
    bytes_.replace(at, size, bytes, size);
    position_ += size;
}

std::uint64_t MemoryFile::seek(std::int64_t offset, SeekOrigin origin) {
    ++seekCalls_;
    const std::int64_t base = origin == SeekOrigin::Begin ? 0
                              : origin == SeekOrigin::Current
                                  ? static_cast<std::int64_t>(position_)
                                  : static_cast<std::int64_t>(bytes_.size());
    const std::int64_t target = base + offset;
    if (target < 0 || (!seekable_ && static_cast<std::uint64_t>(target) != position_))
        failNegativeSeek();
    position_ = static_cast<std::uint64_t>(target);
    return position_;
}
