// RAII locks of the memory IMM32 hands to the module: the input context and its component
// blocks. Each lock tests its handle, so a null or dead handle yields an empty lock.
#pragma once

#include "imm_ddk.h"

namespace tovi {

class ContextLock {
public:
    explicit ContextLock(HIMC context)
        : context_(context), ic_(context ? ImmLockIMC(context) : nullptr) {}
    ~ContextLock() {
        if (ic_)
            ImmUnlockIMC(context_);
    }
    ContextLock(const ContextLock&) = delete;
    ContextLock& operator=(const ContextLock&) = delete;

    explicit operator bool() const { return ic_ != nullptr; }
    INPUTCONTEXT* operator->() const { return ic_; }
    INPUTCONTEXT& operator*() const { return *ic_; }
    HIMC handle() const { return context_; }

private:
    HIMC context_;
    INPUTCONTEXT* ic_;
};

template <typename T>
class ComponentLock {
public:
    explicit ComponentLock(HIMCC block)
        : block_(block), data_(block ? static_cast<T*>(ImmLockIMCC(block)) : nullptr) {}
    ~ComponentLock() {
        if (data_)
            ImmUnlockIMCC(block_);
    }
    ComponentLock(const ComponentLock&) = delete;
    ComponentLock& operator=(const ComponentLock&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    T* operator->() const { return data_; }
    T* get() const { return data_; }

private:
    HIMCC block_;
    T* data_;
};

// Locks a movable global memory block, such as the UI window's private block.
template <typename T>
class GlobalMemoryLock {
public:
    explicit GlobalMemoryLock(HGLOBAL block)
        : block_(block), data_(block ? static_cast<T*>(GlobalLock(block)) : nullptr) {}
    ~GlobalMemoryLock() {
        if (data_)
            GlobalUnlock(block_);
    }
    GlobalMemoryLock(const GlobalMemoryLock&) = delete;
    GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    T* operator->() const { return data_; }
    T* get() const { return data_; }

private:
    HGLOBAL block_;
    T* data_;
};

} // namespace tovi
