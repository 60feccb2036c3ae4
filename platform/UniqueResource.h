#pragma once

#include <utility>

// Move-only owner of one handle; Traits names the handle type, its empty value and how it is freed.
template <typename Traits> class UniqueResource {
public:
    using handle_type = typename Traits::handle_type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(handle_type handle) noexcept : handle_(handle) {}
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    ~UniqueResource() { reset(); }

    handle_type get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::empty(); }

    handle_type release() noexcept { return std::exchange(handle_, Traits::empty()); }

    void reset(handle_type handle = Traits::empty()) noexcept {
        handle_type old = std::exchange(handle_, handle);
        if (old != Traits::empty())
            Traits::close(old);
    }

private:
    handle_type handle_ = Traits::empty();
};
