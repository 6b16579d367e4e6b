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
    std::uint64_t requested = 0; // number of the latest request
    std::uint64_t done = 0;      // number of the latest request a load finished for
    bool running = false;
    std::unique_ptr<CodeTable> ready;

    // A message box may stay open long; nothing is locked meanwhile.
    void messageBox(std::u16string_view text, std::u16string_view caption, Style style) override {
        reporter->messageBox(text, caption, style);
    }

    static void work(const std::shared_ptr<State>& state) {
        for (;;) {
            std::uint64_t number = 0;
            CodeTableOptions options;
            {
                std::unique_lock lock(state->mutex);
                if (state->done == state->requested || state->abandoned) {
                    state->running = false;
                    state->idle.notify_all();
                    return;
                }
                number = state->requested;
                options = state->options;
            }
            auto table = std::make_unique<CodeTable>(options, *state, state->section);
            table->load();
            std::unique_lock lock(state->mutex);
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

void CodeTableLoader::start(Scheme scheme) {
    current_.reset();
    std::unique_ptr<CodeTable> stale;
    bool spawn = false;
    {
        const std::lock_guard lock(state_->mutex);
        stale = std::move(state_->ready);
        state_->options.scheme = scheme;
        ++state_->requested;
        if (!state_->running) {
            state_->running = true;
            spawn = true;
        }
    }
    if (spawn && !platform::startWorker([state = state_] { State::work(state); })) {
        const std::lock_guard lock(state_->mutex);
        state_->running = false; // no thread: the next start tries again
        state_->idle.notify_all();
    }
}

CodeTable* CodeTableLoader::table() {
    {
        const std::lock_guard lock(state_->mutex);
        if (state_->ready)
            current_ = std::move(state_->ready);
    }
    return current_.get();
}

void CodeTableLoader::waitIdle() {
    std::unique_lock lock(state_->mutex);
    state_->idle.wait(lock, [this] { return !state_->running; });
}

} // namespace tovi
