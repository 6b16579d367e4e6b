// The one lock every entry into the module takes. IMM32 calls the module from each GUI thread
// that has an input context, and USER32 calls the module's window procedures on the threads that
// own the windows; the process-wide state (settings, engine, tables) is used by one of them at a
// time.
//
// The lock is reentrant, because a call into the module often calls back into it on the same
// thread (a generated message reaches the UI window procedure at once). Waiting for it is
// bounded, so that a thread never hangs for good behind another; and a thread that runs a modal
// loop (a menu, a dialog, a message box) lets go of it for the loop's duration, so that the
// other threads' windows keep working meanwhile.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tovi {

class ModuleGate {
public:
    // Takes the gate, or takes it once more on the thread that holds it. False when another
    // thread held it for all of `wait`.
    bool enter(std::chrono::milliseconds wait);
    // Gives back one enter.
    void leave();
    // How often the calling thread holds the gate (0 when it does not).
    unsigned depth() const;

    // Gives the gate back completely for a while, and takes it again as deep as before; on a
    // thread that does not hold it, does nothing.
    class Released {
    public:
        explicit Released(ModuleGate& gate);
        ~Released();
        Released(const Released&) = delete;
        Released& operator=(const Released&) = delete;

    private:
        ModuleGate& gate_;
        unsigned depth_;
    };

private:
    mutable std::mutex mutex_;
    std::condition_variable free_;
    std::thread::id owner_;
    unsigned depth_ = 0;
};

// Holds the gate for a scope when it could be taken.
class GateEntry {
public:
    GateEntry(ModuleGate& gate, std::chrono::milliseconds wait)
        : gate_(gate), entered_(gate.enter(wait)) {}
    ~GateEntry() {
        if (entered_)
            gate_.leave();
    }
    GateEntry(const GateEntry&) = delete;
    GateEntry& operator=(const GateEntry&) = delete;

    bool entered() const { return entered_; }

private:
    ModuleGate& gate_;
    bool entered_;
};

} // namespace tovi
