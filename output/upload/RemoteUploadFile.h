#pragma once

#include "platform/FtpConnection.h"
#include "platform/FtpFile.h"
#include "platform/Handles.h"
#include "platform/OutputFile.h"

#include <exception>
#include <functional>
#include <optional>
#include <vector>

// The logged-in connection and the opened remote file of one upload.
struct RemoteUpload {
    FtpConnection connection;
    FtpFile file;
};

// The remote file of one upload as its writer sees it. Connecting and opening run on a thread of
// their own, so the encoder starts at once instead of after the server's greeting, login and
// data connection; until the file is open, at most one piece of the encoder's output is held
// back. Only goes forward, like the FTP file. Failures of opening are raised by the first
// operation that needs the file.
class RemoteUploadFile : public OutputFile {
public:
    explicit RemoteUploadFile(std::function<RemoteUpload()> open);
    // Waits for the opening to end; a transfer not closed is abandoned.
    ~RemoteUploadFile() override;
    RemoteUploadFile(const RemoteUploadFile&) = delete;
    RemoteUploadFile& operator=(const RemoteUploadFile&) = delete;

    void write(const void* data, std::size_t size) override;
    void flush() override;
    // Sends the rest and closes the remote file; the connection stays until destruction.
    void close() override;
    bool canSeek() const override { return false; }
    std::uint64_t seek(std::int64_t offset, SeekOrigin origin) override;
    std::uint64_t position() const override { return position_; }
    // Whether the remote file was opened, so that the server may hold some of it; waits for an
    // opening under way, and never starts one.
    bool wasOpened();

private:
    static unsigned __stdcall openingThread(void* parameter);
    void runOpening() noexcept;
    // Waits until the file is open and sends what was held back.
    FtpFile& openedFile();

    std::function<RemoteUpload()> open_;
    UniqueHandle thread_;
    bool waited_ = false;
    std::optional<RemoteUpload> remote_;
    std::exception_ptr openFailure_;
    std::vector<unsigned char> heldBack_;
    std::uint64_t position_ = 0;
};
