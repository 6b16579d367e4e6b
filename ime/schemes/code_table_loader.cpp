#include "schemes/code_table_loader.h"

#include "platform/worker_thread.h"

#include <condition_variable>
#include <mutex>

namespace tovi {

struct CodeTableLoader::State : CodeTableReporter {
    std::mutex mutex;
    std::condition_variable idle;
    std::shared_ptr<CodeTableReporter> reporter; // set once, never changed
    bool abandoned = false;
    platform::SharedControlSection* section = nullptr;
    CodeTableOptions options;
    std::function<void()> fault;
    std::uint64_t requested = 0; // number of the latest request
    std::uint64_t done = 0;      // number of the latest request a load finished for
    std::uint64_t failed = 0;    // number of the latest request whose load threw
    bool running = false;
    std::unique_ptr<CodeTable> ready;

    // A message box may stay open long; nothing is locked meanwhile.
    void messageBox(std::u16string_view text, std::u16string_view caption, Style style) override {
        reporter->messageBox(text, caption, style);
    }

    // One load of the latest options, or null when anything in it threw. Nothing of a load that
    // threw is kept: its table object, with whatever it had mapped, is gone when this returns.
    std::unique_ptr<CodeTable> loadOne() noexcept {
        try {
            CodeTableOptions loadOptions;
            std::function<void()> loadFault;
            {
                const std::lock_guard lock(mutex);
                loadOptions = options;
                loadFault = fault;
            }
            auto table = std::make_unique<CodeTable>(std::move(loadOptions), *this, section);
            if (loadFault)
                loadFault();
            table->load();
            return table;
        } catch (...) {
            // Typically std::bad_alloc in a host short of address space. Nothing is shown from
            // here: the next use of the table loads again.
            return nullptr;
        }
    }

    static void work(const std::shared_ptr<State>& state) {
        for (;;) {
            std::uint64_t number = 0;
            {
                std::unique_lock lock(state->mutex);
                if (state->done == state->requested || state->failed == state->requested ||
                    state->abandoned) {
                    state->running = false;
                    state->idle.notify_all();
                    return;
                }
                number = state->requested;
            }
            std::unique_ptr<CodeTable> table = state->loadOne();
            std::unique_lock lock(state->mutex);
            if (!table) {
                // Not retried here, where it would fail again at once: the input thread starts
                // the load again at its next use of the table.
                state->failed = number;
                continue;
            }
            state->done = number;
            if (number == state->requested && !state->abandoned)
                state->ready = std::move(table);
            lock.unlock();
            // An overtaken or abandoned table is freed here, off the input thread.
        }
    }
};

CodeTableLoader::CodeTableLoader(std::shared_ptr<CodeTableReporter> reporter,
                                 platform::SharedControlSection* section,
                                 std::uint32_t instanceNumber)
    : state_(std::make_shared<State>()) {
    state_->reporter = std::move(reporter);
    state_->section = section;
    state_->options.instanceNumber = instanceNumber;
}

CodeTableLoader::~CodeTableLoader() {
    std::unique_ptr<CodeTable> ready;
    {
        const std::lock_guard lock(state_->mutex);
        state_->abandoned = true;
        ready = std::move(state_->ready);
    }
}

void CodeTableLoader::setOptions(const CodeTableOptions& options) {
    const std::lock_guard lock(state_->mutex);
    const std::uint32_t instance = state_->options.instanceNumber;
    state_->options = options;
    state_->options.instanceNumber = instance;
}

void CodeTableLoader::setLoadFault(std::function<void()> fault) {
    const std::lock_guard lock(state_->mutex);
    state_->fault = std::move(fault);
}

void CodeTableLoader::start(Scheme scheme) {
    current_.reset();
    std::unique_ptr<CodeTable> stale;
    {
        const std::lock_guard lock(state_->mutex);
        stale = std::move(state_->ready);
        state_->options.scheme = scheme;
        ++state_->requested;
    }
    spawnIfNeeded();
}

void CodeTableLoader::spawnIfNeeded() {
    {
        const std::lock_guard lock(state_->mutex);
        if (state_->running || state_->abandoned || state_->done == state_->requested)
            return;
        state_->running = true;
        state_->failed = 0; // the request whose load threw is tried again
    }
    bool started = false;
    try {
        started = platform::startWorker([state = state_] { State::work(state); });
    } catch (...) {
        started = false;
    }
    if (!started) {
        const std::lock_guard lock(state_->mutex);
        state_->running = false; // no thread: the next use tries again
        state_->idle.notify_all();
    }
}

CodeTable* CodeTableLoader::table() {
    bool served = false;
    {
        const std::lock_guard lock(state_->mutex);
        if (state_->ready)
            current_ = std::move(state_->ready);
        served = current_ || state_->running || state_->done == state_->requested;
    }
    if (!served)
        spawnIfNeeded();
    return current_.get();
}

void CodeTableLoader::waitIdle() {
    std::unique_lock lock(state_->mutex);
    state_->idle.wait(lock, [this] { return !state_->running; });
}

} // namespace tovi
