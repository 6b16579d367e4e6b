// A full keystroke on the real tables: the key reaches the engine, the code grows, the table is
// searched and the candidates paged, as when a user types into the worst (largest) bucket.
#include "bench_support.h"
#include "core/module.h"
#include "engine/virtual_keys.h"
#include "platform/shared_memory.h"
#include "platform/shared_section_name.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace tovi {
namespace {

// The module with the real tables of build/dist, for one scheme.
class RealTables {
public:
    explicit RealTables(Scheme scheme) {
        platform::SharedMemory::removeName(kSection);
        platform::setSharedSectionName(kSection);
        module_ = std::make_unique<Module>(host_, folder_.installFolder(), 1);
        module_->settings().setScheme(scheme);
        module_->codeTableLoader().waitIdle();
        std::memset(keys_, 0, sizeof(keys_));
    }
    ~RealTables() {
        module_->codeTableLoader().waitIdle();
        module_.reset();
        platform::setSharedSectionName(u"tovi.VemoraH");
        platform::SharedMemory::removeName(kSection);
    }
    bool loaded() {
        const CodeTable* table = module_->codeTableLoader().table();
        return table && table->view().size() > 0;
    }
    void key(unsigned vk, char16_t unit) {
        if (module_->processKey(1, KeyEvent{vk, 0, 1, keys_}))
            module_->toAscii(1, KeyEvent{vk, unit, 0, keys_});
    }

private:
    static constexpr char16_t kSection[] = u"tovi-keystroke-bench";
    bench::DistFolder folder_{"tovi-keystroke-bench", {"toviwb.mb", "tovipy.mb"}};
    bench::QuietHost host_;
    std::unique_ptr<Module> module_;
    std::uint8_t keys_[256];
};

// Keypad: "1" opens the largest bucket, "5" narrows it, Page Down turns the page.
void KeypadKeystroke(benchmark::State& state) {
    RealTables tables(Scheme::Keypad);
    if (!tables.loaded()) {
        state.SkipWithError("no real tables");
        return;
    }
    for (auto _ : state) {
        tables.key(vk::Numpad1, u'1');
        tables.key(vk::Numpad0 + 5, u'5');
        tables.key(vk::Next, 0);
        tables.key(vk::Escape, 0x1B);
    }
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(KeypadKeystroke)->Unit(benchmark::kMicrosecond);

// Pinyin: "s" opens one of the largest buckets, "h" narrows it, Page Down turns the page.
void PinyinKeystroke(benchmark::State& state) {
    RealTables tables(Scheme::Pinyin);
    if (!tables.loaded()) {
        state.SkipWithError("no real tables");
        return;
    }
    for (auto _ : state) {
        tables.key('S', u's');
        tables.key('H', u'h');
        tables.key(vk::Next, 0);
        tables.key(vk::Escape, 0x1B);
    }
    state.SetItemsProcessed(state.iterations() * 3);
}
BENCHMARK(PinyinKeystroke)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tovi
