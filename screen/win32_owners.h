// Owners of the Windows handles and COM objects the program holds: each releases its object
// exactly once, when it goes out of scope.
#pragma once

// windows.h first: oleauto.h relies on its types.
#include <windows.h>

#include <oleauto.h>

#include <utility>

namespace tovi::screen {

// A handle released by `Close` unless it is null.
template <typename Handle, auto Close>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives up ownership without closing (the object was released elsewhere).
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        if (handle_)
            Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

inline void deleteGdiObject(HGDIOBJ object) {
    DeleteObject(object);
}
inline void destroyIcon(HICON icon) {
    DestroyIcon(icon);
}
inline void destroyMenu(HMENU menu) {
    DestroyMenu(menu);
}
inline void destroyWindow(HWND window) {
    DestroyWindow(window);
}
inline void closeHandle(HANDLE handle) {
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
}
inline void freeArgv(LPWSTR* argv) {
    LocalFree(argv);
}

using OwnedFont = Owned<HFONT, deleteGdiObject>;
using OwnedBitmap = Owned<HBITMAP, deleteGdiObject>;
using OwnedBrush = Owned<HBRUSH, deleteGdiObject>;
using OwnedIcon = Owned<HICON, destroyIcon>;
using OwnedMenu = Owned<HMENU, destroyMenu>;
using OwnedWindow = Owned<HWND, destroyWindow>;
using OwnedFile = Owned<HANDLE, closeHandle>;
using OwnedArgv = Owned<LPWSTR*, freeArgv>;

// A reference to a COM object, released when dropped.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef& other) : object_(other.object_) {
        if (object_)
            object_->AddRef();
    }
    ComRef& operator=(const ComRef& other) {
        if (this != &other) {
            if (other.object_)
                other.object_->AddRef();
            reset();
            object_ = other.object_;
        }
        return *this;
    }
    ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For the out-parameter of a creating call; drops what was held.
    Interface** put() {
        reset();
        return &object_;
    }
    void reset() {
        if (object_)
            std::exchange(object_, nullptr)->Release();
    }

private:
    Interface* object_ = nullptr;
};

// A VARIANT cleared when dropped.
class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&value_); }
    ~OwnedVariant() { VariantClear(&value_); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    VARIANT* get() { return &value_; }
    const VARIANT& value() const { return value_; }

private:
    VARIANT value_;
};

// COM for this thread, single-threaded apartment, for as long as the object lives.
class ComApartment {
public:
    ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (ok_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_;
};

} // namespace tovi::screen
