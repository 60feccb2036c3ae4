#pragma once

#include "platform/Handles.h"
#include "platform/OutputFile.h"

#include <string>

// A file on disk over CreateFileW. Every failure raises FileException with the path.
class DiskFile : public OutputFile {
public:
    enum class Mode {
        CreateReadWrite, // create or empty, read and write, no sharing
        CreateNew,       // create only where no file exists yet, read and write, no sharing
        OpenRead,        // existing file, read only, shared for reading and deleting
        // Existing or new file, read and write at its end only (every write appends, wherever the
        // position is), shared for reading.
        OpenAppend,
    };

    DiskFile(std::wstring path, Mode mode);
    DiskFile(DiskFile&&) noexcept = default;
    DiskFile& operator=(DiskFile&&) noexcept = default;
    ~DiskFile() override = default;

    void write(const void* data, std::size_t size) override;
    // Reads up to size bytes; returns how many were read (0 at the end).
    std::size_t read(void* data, std::size_t size);
    void flush() override;
    void close() override;
    // Closes the file, if still open, and deletes it: for a file this program has just created
    // and failed to fill. Failures are ignored; there is nothing more to do about them.
    void discard() noexcept;
    bool canSeek() const override { return true; }
    std::uint64_t seek(std::int64_t offset, SeekOrigin origin) override;
    std::uint64_t position() const override;
    std::uint64_t length() const;

    const std::wstring& path() const noexcept { return path_; }
    bool isOpen() const noexcept { return static_cast<bool>(handle_); }

private:
    [[noreturn]] void fail(DWORD error) const;
    HANDLE openHandle() const;
    // SetFilePointerEx; the new position.
    std::uint64_t movePointer(std::int64_t offset, DWORD method) const;

    std::wstring path_;
    UniqueFileHandle handle_;
};
