// Reference counting for the DLL's COM objects, and the count of objects and locks that
// DllCanUnloadNow answers from.
#pragma once

#include <atomic>
#include <memory>
#include <windows.h>

namespace tovi::tsf {

// Live objects plus server locks.
std::atomic<long>& serverReferences();

// A COM object's own reference count. Objects are made by makeComObject and destroy themselves
// when the last reference goes; each counts as one server reference while it lives.
template <typename Derived>
class RefCounted {
public:
    RefCounted() { ++serverReferences(); }
    virtual ~RefCounted() { --serverReferences(); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

protected:
    ULONG addReference() { return static_cast<ULONG>(++references_); }
    ULONG releaseReference() {
        const long left = --references_;
        if (left == 0)
            std::unique_ptr<Derived>{static_cast<Derived*>(this)}; // the last reference owned it
        return static_cast<ULONG>(left);
    }

private:
    std::atomic<long> references_{1};
};

// A new object holding one reference, which the caller owns; null when memory runs out.
template <typename T, typename... Args>
T* makeComObject(Args&&... args) noexcept {
    try {
        return std::make_unique<T>(std::forward<Args>(args)...).release();
    } catch (...) {
        return nullptr;
    }
}

#define TOVI_COM_REFCOUNT                                                                          \
    ULONG STDMETHODCALLTYPE AddRef() override {                                                    \
        return addReference();                                                                     \
    }                                                                                              \
    ULONG STDMETHODCALLTYPE Release() override {                                                   \
        return releaseReference();                                                                 \
    }

} // namespace tovi::tsf
