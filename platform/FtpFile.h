#pragma once

#include "platform/Handles.h"
#include "platform/OutputFile.h"

#include <vector>

// The data connection of one FTP transfer; it only goes forward. Writes are gathered into large
// pieces before they reach WinInet, where every call is a round of work. Failures raise
// InternetException.
class FtpFile : public OutputFile {
public:
    static constexpr std::size_t kPieceSize = 512 * 1024;

    explicit FtpFile(UniqueInternetHandle handle);
    FtpFile(FtpFile&&) noexcept = default;
    FtpFile& operator=(FtpFile&&) noexcept = default;
    // Closing without close() drops what is still gathered: the transfer is abandoned.
    ~FtpFile() override = default;

    void write(const void* data, std::size_t size) override;
    void flush() override;
    void close() override;
    bool canSeek() const override { return false; }
    // Only a move to where the file already is succeeds.
    std::uint64_t seek(std::int64_t offset, SeekOrigin origin) override;
    std::uint64_t position() const override { return position_; }

    HINTERNET handle() const noexcept { return handle_.get(); }
    bool isOpen() const noexcept { return static_cast<bool>(handle_); }

private:
    void send(const unsigned char* data, std::size_t size);

    UniqueInternetHandle handle_;
    std::vector<unsigned char> pending_;
    std::uint64_t position_ = 0;
};
