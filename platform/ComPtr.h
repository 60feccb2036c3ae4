#pragma once

#include <unknwn.h>
#include <utility>

// Owning reference to a COM interface.
template <typename Interface> class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) {
        if (ptr_)
            ptr_->AddRef();
    }
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { reset(); }

    Interface* get() const noexcept { return ptr_; }
    Interface* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    // For creation functions that hand back a new reference; releases what was held.
    Interface** put() noexcept {
        reset();
        return &ptr_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    void reset() noexcept {
        if (Interface* old = std::exchange(ptr_, nullptr))
            old->Release();
    }

    template <typename Other> ComPtr<Other> query() const noexcept {
        ComPtr<Other> result;
        if (ptr_)
            ptr_->QueryInterface(__uuidof(Other), result.putVoid());
        return result;
    }

private:
    Interface* ptr_ = nullptr;
};
