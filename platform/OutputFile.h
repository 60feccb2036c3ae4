#pragma once

#include <cstddef>
#include <cstdint>

enum class SeekOrigin { Begin, Current, End };

// A writable file that image writers encode into: a file on disk or an FTP upload.
// Failures raise the file's own exception (FileException, InternetException).
class OutputFile {
public:
    virtual ~OutputFile() = default;

    virtual void write(const void* data, std::size_t size) = 0;
    virtual void flush() = 0;
    virtual void close() = 0;
    // An FTP data connection only goes forward.
    virtual bool canSeek() const = 0;
    // Returns the new position.
    virtual std::uint64_t seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::uint64_t position() const = 0;
};

// The one move a file that only goes forward accepts: none, asked as 0 from the current position
// or as the position itself from the beginning. Returns whether the move is that one.
inline bool staysInPlace(std::uint64_t position, std::int64_t offset, SeekOrigin origin) noexcept {
    return (origin == SeekOrigin::Current && offset == 0) ||
           (origin == SeekOrigin::Begin && offset >= 0 &&
            static_cast<std::uint64_t>(offset) == position);
}
