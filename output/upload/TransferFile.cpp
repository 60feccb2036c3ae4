#include "output/upload/TransferFile.h"

template <typename Operation>
auto TransferFile::keepFailure(Operation operation) -> decltype(operation()) {
    try {
        return operation();
    } catch (...) {
        if (!failure_) {
            failure_ = std::current_exception();
            broken_ = true;
        }
        throw;
    }
}

void TransferFile::write(const void* data, std::size_t size) {
    keepFailure([&] { file_.write(data, size); });
}

void TransferFile::flush() {
    keepFailure([&] { file_.flush(); });
}

void TransferFile::close() {
    keepFailure([&] { file_.close(); });
}

// A refused seek is the writer's business (the transfer only goes forward), not a broken transfer.
std::uint64_t TransferFile::seek(std::int64_t offset, SeekOrigin origin) {
    return file_.seek(offset, origin);
}

void TransferFile::rethrowFailure() const {
    if (failure_)
        std::rethrow_exception(failure_);
}
