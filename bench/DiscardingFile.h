#pragma once

#include "platform/OutputFile.h"

// Takes the encoder's output and keeps none of it: the writers' cost without any file.
class DiscardingFile : public OutputFile {
public:
    void write(const void*, std::size_t size) override { position_ += size; }
    void flush() override {}
    void close() override {}
    bool canSeek() const override { return false; }
    std::uint64_t seek(std::int64_t, SeekOrigin) override { return position_; }
    std::uint64_t position() const override { return position_; }

private:
    std::uint64_t position_ = 0;
};
