#include "output/MirroredFile.h"

#include <cstring>

void MirroredFile::write(const void* data, std::size_t size) {
    file_.write(data, size);
    const std::size_t at = static_cast<std::size_t>(position_);
    if (bytes_.size() < at + size)
        bytes_.resize(at + size);
    if (size > 0)
        std::memcpy(bytes_.data() + at, data, size);
    position_ += size;
}

std::uint64_t MirroredFile::seek(std::int64_t offset, SeekOrigin origin) {
    position_ = file_.seek(offset, origin);
    return position_;
}
