// An owning COM interface pointer: one reference, released when the pointer goes.
#pragma once

#include <unknwn.h>
#include <utility>

namespace tovi::tsf {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_)
            p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }

    // Takes a reference the caller already holds.
    static ComPtr adopt(T* p) {
        ComPtr made;
        made.p_ = p;
        return made;
    }
    // Adds a reference of its own.
    static ComPtr share(T* p) {
        if (p)
            p->AddRef();
        return adopt(p);
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For an out argument: the pointer is emptied first.
    T** put() {
        reset();
        return &p_;
    }
    void reset() {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    // Hands the reference over to an out argument.
    T* detach() { return std::exchange(p_, nullptr); }

    // The object's interface `iid` of type U, or empty.
    template <typename U>
    ComPtr<U> query(REFIID iid) const {
        ComPtr<U> result;
        if (p_)
            p_->QueryInterface(iid, reinterpret_cast<void**>(result.put()));
        return result;
    }

private:
    T* p_ = nullptr;
};

} // namespace tovi::tsf
