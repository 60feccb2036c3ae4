#pragma once

#include "platform/OutputFile.h"

#include <cstdint>
#include <vector>

// Passes everything on to a file and keeps in memory a copy of what the file holds, following its
// seeks, so that the bytes just written need not be read back (the user may move the file at
// once). A failing operation of the file leaves the copy as it was before that operation.
class MirroredFile : public OutputFile {
public:
    explicit MirroredFile(OutputFile& file) noexcept : file_(file) {}

    void write(const void* data, std::size_t size) override;
    void flush() override { file_.flush(); }
    void close() override { file_.close(); }
    bool canSeek() const override { return file_.canSeek(); }
    std::uint64_t seek(std::int64_t offset, SeekOrigin origin) override;
    std::uint64_t position() const override { return position_; }

    // The copy; the mirror keeps none afterwards.
    std::vector<unsigned char> takeBytes() noexcept { return std::move(bytes_); }

private:
    OutputFile& file_;
    std::vector<unsigned char> bytes_;
    std::uint64_t position_ = 0;
};
