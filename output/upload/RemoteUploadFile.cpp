#include "output/upload/RemoteUploadFile.h"

#include "platform/InternetException.h"

#include <process.h>

RemoteUploadFile::RemoteUploadFile(std::function<RemoteUpload()> open) : open_(std::move(open)) {
    heldBack_.reserve(FtpFile::kPieceSize);
    const auto thread =
        ::_beginthreadex(nullptr, 0, &RemoteUploadFile::openingThread, this, 0, nullptr);
    // Without a thread of its own the file opens when it is first needed.
    if (thread != 0)
        thread_.reset(reinterpret_cast<HANDLE>(thread));
}

RemoteUploadFile::~RemoteUploadFile() {
    if (thread_)
        ::WaitForSingleObject(thread_.get(), INFINITE);
}

unsigned __stdcall RemoteUploadFile::openingThread(void* parameter) {
    static_cast<RemoteUploadFile*>(parameter)->runOpening();
    return 0;
}

void RemoteUploadFile::runOpening() noexcept {
    try {
        remote_.emplace(open_());
    } catch (...) {
        openFailure_ = std::current_exception();
    }
}

FtpFile& RemoteUploadFile::openedFile() {
    if (!waited_) {
        waited_ = true;
        if (thread_)
            ::WaitForSingleObject(thread_.get(), INFINITE);
        else
            runOpening();
    }
    if (openFailure_)
        std::rethrow_exception(openFailure_);
    if (!heldBack_.empty()) {
        std::vector<unsigned char> piece;
        piece.swap(heldBack_);
        remote_->file.write(piece.data(), piece.size());
    }
    return remote_->file;
}

bool RemoteUploadFile::wasOpened() {
    if (thread_ && !waited_) {
        waited_ = true;
        ::WaitForSingleObject(thread_.get(), INFINITE);
    }
    return remote_.has_value();
}

void RemoteUploadFile::write(const void* data, std::size_t size) {
    position_ += size;
    if (!waited_ && heldBack_.size() + size <= FtpFile::kPieceSize) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        heldBack_.insert(heldBack_.end(), bytes, bytes + size);
        return;
    }
    openedFile().write(data, size);
}

void RemoteUploadFile::flush() {
    openedFile().flush();
}

void RemoteUploadFile::close() {
    openedFile().close();
}

std::uint64_t RemoteUploadFile::seek(std::int64_t offset, SeekOrigin origin) {
    if (!staysInPlace(position_, offset, origin))
        throw InternetException(ERROR_INVALID_PARAMETER);
    return position_;
}
