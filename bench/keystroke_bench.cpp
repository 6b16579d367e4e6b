// A full keystroke on the real tables: the key reaches the engine, the code grows, the table is
// searched and the candidates paged, as when a user types into the worst (largest) bucket.
#include "boundary/module.h"
#include "engine/virtual_keys.h"
#include "platform/install_folder_override.h"
#include "platform/shared_memory.h"
#include "platform/shared_section_name.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace tovi {
namespace {

class QuietHost : public ImeHost {
public:
    bool generateMessage(ContextHandle, std::uint32_t, std::uintptr_t, std::intptr_t) override {
        return true;
    }
    void commitText(ContextHandle, std::u16string_view) override {}
    void endComposition(ContextHandle, bool) override {}
    void invalidateWindows() override {}
    void invalidateStatusWindow() override {}
    void invalidateCandidateWindow() override {}
    void showInfoMessage(std::u16string_view, unsigned) override {}
    void beep() override {}
    bool isKeyDown(unsigned) override { return false; }
    void openUrl(std::u16string_view) override {}
    void startProgram(std::u16string_view) override {}
    void sendBackspace() override {}
    std::shared_ptr<CodeTableReporter> codeTableReporter() override { return reporter; }

    struct Silent : CodeTableReporter {
        void messageBox(std::u16string_view, std::u16string_view, Style) override {}
    };
    std::shared_ptr<Silent> reporter = std::make_shared<Silent>();
};

// The module with the real tables of build/dist, for one scheme.
class RealTables {
public:
    explicit RealTables(int scheme) {
        const std::filesystem::path dist = TOVI_DIST_DIR;
        folder_ = std::filesystem::temp_directory_path() / "tovi-keystroke-bench";
        std::filesystem::create_directories(folder_);
        for (const char* file : {"toviwb.mb", "tovipy.mb"})
            std::filesystem::copy_file(dist / file, folder_ / file,
                                       std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(folder_ / "config.ini");
        std::u16string path;
        for (const char c : folder_.string())
            path += static_cast<char16_t>(c);
        platform::setInstallFolder(path);
        platform::SharedMemory::removeName(kSection);
        platform::setSharedSectionName(kSection);
        attachModule(host_);
        modulePtr()->settings().setScheme(scheme);
        modulePtr()->codeTableLoader().waitIdle();
        modulePtr()->currentContext = 1;
        std::memset(keys_, 0, sizeof(keys_));
    }
    ~RealTables() {
        modulePtr()->codeTableLoader().waitIdle();
        detachModule();
        platform::setSharedSectionName(u"tovi.VemoraH");
        platform::SharedMemory::removeName(kSection);
        std::filesystem::remove_all(folder_);
    }
    bool loaded() {
        return modulePtr()->lookup()->search(1, u"1").totalCount() > 0 ||
               modulePtr()->lookup()->search(2, u"a").totalCount() > 0;
    }
    void key(unsigned vk, char16_t unit) {
        ImeEngine& engine = *modulePtr()->engine();
        if (engine.ProcessKey(1, vk, 1, keys_))
            engine.ToAscii(1, vk | (std::uint32_t{unit} << 16), keys_);
    }

private:
    static constexpr char16_t kSection[] = u"tovi-keystroke-bench";
    std::filesystem::path folder_;
    QuietHost host_;
    std::uint8_t keys_[256];
};

// Keypad: "1" opens the largest bucket, "5" narrows it, Page Down turns the page.
void KeypadKeystroke(benchmark::State& state) {
    RealTables tables(1);
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
    RealTables tables(2);
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
