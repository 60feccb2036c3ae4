#pragma once

#include "platform/OutputFile.h"

#include <exception>

// An upload's remote file as its writer sees it. Passes everything on and keeps the first failure
// of the transfer, which the GDI+ writers would otherwise turn into an encoding failure, so that
// the upload can report the real cause.
class TransferFile : public OutputFile {
public:
    // broken is set when the first failure happens.
    TransferFile(OutputFile& file, bool& broken) noexcept : file_(file), broken_(broken) {}

    void write(const void* data, std::size_t size) override;
    void flush() override;
    void close() override;
    bool canSeek() const override { return file_.canSeek(); }
    std::uint64_t seek(std::int64_t offset, SeekOrigin origin) override;
    std::uint64_t position() const override { return file_.position(); }

    // Raises the kept failure again, if there is one.
    void rethrowFailure() const;

private:
    template <typename Operation> auto keepFailure(Operation operation) -> decltype(operation());

    OutputFile& file_;
    bool& broken_;
    std::exception_ptr failure_;
};
