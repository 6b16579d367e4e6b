// The reference counting of the host's COM objects, in one place: objects are created only through
// makeCom and delete themselves when the last reference goes.
#pragma once

#include <windows.h>
#include <wrl/client.h>

#include <utility>

namespace tovi::tsfhost {

// A new reference-counted object owned by the returned pointer (the object starts with one
// reference, which the pointer takes over).
template <typename T, typename... Args>
Microsoft::WRL::ComPtr<T> makeCom(Args&&... args) {
    Microsoft::WRL::ComPtr<T> owner;
    owner.Attach(new T(std::forward<Args>(args)...));
    return owner;
}

} // namespace tovi::tsfhost

// IUnknown for a class `C` whose interfaces are listed in its `QueryInterface`: the reference
// count, and Release deleting the object at zero.
#define TOVI_TSFHOST_REFCOUNT(C)                                                                   \
    STDMETHODIMP_(ULONG) AddRef() override {                                                       \
        return ++references_;                                                                      \
    }                                                                                              \
    STDMETHODIMP_(ULONG) Release() override {                                                      \
        const ULONG left = --references_;                                                          \
        if (left == 0)                                                                             \
            delete this;                                                                           \
        return left;                                                                               \
    }
