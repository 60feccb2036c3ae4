#pragma once

#include "platform/OutputFile.h"

#ifdef _WIN32
#include "platform/FileException.h"
// What a failing MemoryFile raises: what a real file raises on a full disk.
using MemoryFileFailure = FileException;
#else
#include "platform/AppException.h"
// Natively, where FileException (a Windows error code) is not built, the program's root exception.
using MemoryFileFailure = AppException;
#endif

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

// An OutputFile in memory that records every call, for checking what a writer does to its file.
// It can pretend to be an upload (no seeking) and can fail once a number of bytes has been
// written, raising MemoryFileFailure as a full disk would.
class MemoryFile : public OutputFile {
public:
    static constexpr std::size_t kNeverFails = std::numeric_limits<std::size_t>::max();

    explicit MemoryFile(bool seekable = true, std::size_t failAfterBytes = kNeverFails)
        : seekable_(seekable), failAfter_(failAfterBytes) {}

    void write(const void* data, std::size_t size) override;
    void flush() override { ++flushes_; }
    void close() override { ++closes_; }
    bool canSeek() const override { return seekable_; }
    std::uint64_t seek(std::int64_t offset, SeekOrigin origin) override;
    std::uint64_t position() const override { return position_; }

    const std::string& bytes() const noexcept { return bytes_; }
    // The size of every write, in order.
    const std::vector<std::size_t>& writeSizes() const noexcept { return writeSizes_; }
    int seekCalls() const noexcept { return seekCalls_; }
    int flushes() const noexcept { return flushes_; }
    int closes() const noexcept { return closes_; }
    bool failed() const noexcept { return failed_; }

private:
    bool seekable_;
    std::size_t failAfter_;
    std::string bytes_;
    std::uint64_t position_ = 0;
    std::vector<std::size_t> writeSizes_;
    int seekCalls_ = 0;
    int flushes_ = 0;
    int closes_ = 0;
    bool failed_ = false;
};
