#include "output/cStream.h"

HRESULT STDMETHODCALLTYPE cStream::QueryInterface(REFIID id, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_ISequentialStream) ||
        IsEqualIID(id, IID_IStream)) {
        // Not counted: the stream outlives every encoder that holds it.
        *object = static_cast<IStream*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE cStream::Read(void*, ULONG, ULONG*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE cStream::Write(const void* data, ULONG size, ULONG* written) {
    try {
        if (size > 0) {
            if (!data)
                return STG_E_INVALIDPOINTER;
            file_->write(data, size);
        }
        if (written)
            *written = size;
        return S_OK;
    } catch (...) {
        // The encoder is C code: nothing may unwind through it.
        writeFailed_ = true;
        if (written)
            *written = 0;
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE cStream::Seek(LARGE_INTEGER move, DWORD origin,
                                        ULARGE_INTEGER* newPosition) {
    SeekOrigin from;
    switch (origin) {
    case STREAM_SEEK_SET:
        from = SeekOrigin::Begin;
        break;
    case STREAM_SEEK_CUR:
        from = SeekOrigin::Current;
        break;
    case STREAM_SEEK_END:
        from = SeekOrigin::End;
        break;
    default:
        return E_INVALIDARG;
    }
    try {
        std::uint64_t position;
        if (!file_->canSeek()) {
            // An upload only goes forward; encoders that rewind to the start before writing are
            // told yes without touching the connection.
            if (from != SeekOrigin::Begin || move.QuadPart != 0)
                return E_INVALIDARG;
            position = file_->position();
        } else {
            position = file_->seek(move.QuadPart, from);
        }
        if (newPosition)
            newPosition->QuadPart = position;
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT STDMETHODCALLTYPE cStream::SetSize(ULARGE_INTEGER) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE cStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                          ULARGE_INTEGER*) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE cStream::Commit(DWORD) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE cStream::Revert() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE cStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE cStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE cStream::Stat(STATSTG*, DWORD) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE cStream::Clone(IStream** copy) {
    if (copy)
        *copy = nullptr;
    return E_NOTIMPL;
}
