#pragma once

#include "platform/OutputFile.h"

#include <objidl.h>
#include <windows.h>

// The IStream through which the platform's image encoders write into one of our files. It lives on
// the encoding writer's stack for one save and is not reference-counted. A file that cannot seek
// (an FTP upload) accepts only a move of 0 from the beginning. No exception leaves it: a failing
// file becomes E_FAIL for the encoder.
class cStream final : public IStream {
public:
    explicit cStream(OutputFile* file) noexcept : file_(file) {}
    cStream(const cStream&) = delete;
    cStream& operator=(const cStream&) = delete;

    // True once a write to the file has failed, whether or not the encoder noticed.
    bool writeFailed() const noexcept { return writeFailed_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }

    HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override;

    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER* newPosition) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                         DWORD type) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                           DWORD type) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** copy) override;

private:
    OutputFile* file_;
    bool writeFailed_ = false;
};
