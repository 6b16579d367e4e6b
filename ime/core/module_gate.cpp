#include "core/module_gate.h"

namespace tovi {

bool ModuleGate::enter(std::chrono::milliseconds wait) {
    const std::thread::id me = std::this_thread::get_id();
    std::unique_lock lock(mutex_);
    if (depth_ > 0 && owner_ == me) {
        ++depth_;
        return true;
    }
    if (!free_.wait_for(lock, wait, [this] { return depth_ == 0; }))
        return false;
    owner_ = me;
    depth_ = 1;
    return true;
}

void ModuleGate::leave() {
    std::unique_lock lock(mutex_);
    if (depth_ == 0 || owner_ != std::this_thread::get_id())
        return;
    if (--depth_ == 0) {
        owner_ = {};
        lock.unlock();
        free_.notify_one();
    }
}

unsigned ModuleGate::depth() const {
    const std::lock_guard lock(mutex_);
    return owner_ == std::this_thread::get_id() ? depth_ : 0;
}

ModuleGate::Released::Released(ModuleGate& gate) : gate_(gate), depth_(0) {
    std::unique_lock lock(gate_.mutex_);
    if (gate_.depth_ == 0 || gate_.owner_ != std::this_thread::get_id())
        return;
    depth_ = gate_.depth_;
    gate_.depth_ = 0;
    gate_.owner_ = {};
    lock.unlock();
    gate_.free_.notify_one();
}

ModuleGate::Released::~Released() {
    if (depth_ == 0)
        return;
    // The code after the modal loop goes on as it began, holding the gate: it waits as long as
    // it takes, since every holder gives the gate back before it waits for anything itself.
    std::unique_lock lock(gate_.mutex_);
    gate_.free_.wait(lock, [this] { return gate_.depth_ == 0; });
    gate_.owner_ = std::this_thread::get_id();
    gate_.depth_ = depth_;
}

} // namespace tovi
