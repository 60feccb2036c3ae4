#include "platform/FtpFile.h"

#include "platform/InternetException.h"

#include <cstring>

FtpFile::FtpFile(UniqueInternetHandle handle) : handle_(std::move(handle)) {
    pending_.reserve(kPieceSize);
}

void FtpFile::write(const void* data, std::size_t size) {
    if (!handle_)
        throw InternetException(ERROR_INVALID_HANDLE);
    const auto* bytes = static_cast<const unsigned char*>(data);
    position_ += size;
    if (pending_.empty() && size >= kPieceSize) {
        send(bytes, size);
        return;
    }
    while (size > 0) {
        std::size_t room = kPieceSize - pending_.size();
        std::size_t take = size < room ? size : room;
        pending_.insert(pending_.end(), bytes, bytes + take);
        bytes += take;
        size -= take;
        if (pending_.size() == kPieceSize)
            flush();
    }
}

void FtpFile::flush() {
    if (pending_.empty())
        return;
    std::vector<unsigned char> piece;
    piece.swap(pending_);
    pending_.reserve(kPieceSize);
    send(piece.data(), piece.size());
}

void FtpFile::send(const unsigned char* data, std::size_t size) {
    while (size > 0) {
        DWORD piece = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::InternetWriteFile(handle_.get(), data, piece, &written))
            throw InternetException::fromLastError();
        if (written == 0)
            throw InternetException(ERROR_INTERNET_CONNECTION_ABORTED);
        data += written;
        size -= written;
    }
}

void FtpFile::close() {
    if (!handle_)
        return;
    flush();
    HINTERNET handle = handle_.release();
    if (!::InternetCloseHandle(handle))
        throw InternetException::fromLastError();
}

std::uint64_t FtpFile::seek(std::int64_t offset, SeekOrigin origin) {
    if (!staysInPlace(position_, offset, origin))
        throw InternetException(ERROR_INVALID_PARAMETER);
    return position_;
}
